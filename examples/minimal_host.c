/* minimal_host.c: the least a host does with Lumora FX. It loads LMX_GUI.DLL from the
   installation, lets the user choose a transition on the sheet, and renders frame 25 of 50
   of it with LMX_Render of the installation's LMX.DLL into a 32-bit BMP.
     minimal_host [OUT.BMP]        (default minimal_host.bmp; exit 0 rendered, 1 cancelled, 2 failed)
     i686-w64-mingw32-gcc -std=c11 minimal_host.c -o minimal_host.exe -ladvapi32
   (x86_64-w64-mingw32-gcc for a 64-bit host, which finds the 64-bit installation) */
#include <windows.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

/* The host's settings block, src/model/effect_settings.h. */
typedef struct { uint16_t reserved, tag; float value; } SpecialValue;
typedef struct {
  char effectName[12];
  float generalValues[30];
  float objectValues[20][10];
  uint32_t specialCount;
  SpecialValue specialValues[10];
} EffectSettings;
_Static_assert(sizeof(EffectSettings) == 1016, "EffectSettings is 1016 bytes");

/* What LMXGUI_GetEffectInfo fills, src/model/effect_info.h. */
#pragma pack(push, 1)
typedef struct { uint32_t effectType; char shortName[9]; char longName[43]; uint32_t objectCount; } EffectInfo;
#pragma pack(pop)
_Static_assert(sizeof(EffectInfo) == 60, "EffectInfo is 60 bytes");

/* An image the engine reads or draws: 4 bytes a pixel (blue, green, red, alpha), rows
   bottom-up, src/model/texture_image.h. */
typedef struct {
  char name[9]; uint8_t alignment[3];
  uint32_t formatCode, width, height, extentWidth, extentHeight;
  float scaleX, scaleY;
  uint8_t* pixels;
  uint32_t ownsPixels, bytesPerPixel;
  uint8_t reserved[8];
} TextureImage;
#ifdef _WIN64
_Static_assert(sizeof(TextureImage) == 64, "TextureImage is 64 bytes in a 64-bit host");
#else
_Static_assert(sizeof(TextureImage) == 60, "TextureImage is 60 bytes");
#endif

/* One frame's job, src/model/render_job.h. Textures 01 and 02 are the outgoing and the
   incoming clip, 03 the backdrop behind a turning cube. */
typedef struct {
  uint32_t frameWidth, frameHeight, objectCount;
  TextureImage textures[20];
  TextureImage target;
  uint32_t reserved0;
  int32_t position, lastPosition;
  int16_t(__cdecl* progressCallback)(int32_t percent); /* given only for a filter */
  int16_t(__cdecl* abortCallback)(void);
  uint8_t reserved1[20]; uint32_t reserved2; uint16_t reserved3, reserved4;
} RenderJob;
#ifdef _WIN64
_Static_assert(sizeof(RenderJob) == 1424, "RenderJob is 1424 bytes in a 64-bit host");
#else
_Static_assert(sizeof(RenderJob) == 1320, "RenderJob is 1320 bytes");
#endif

typedef int16_t(__cdecl* SelectFn)(HWND owner, void* settings, int32_t filterMode);
typedef int16_t(__cdecl* InfoFn)(const char* name, EffectInfo* info);
typedef int32_t(__cdecl* RenderFn)(EffectSettings* settings, RenderJob* job, int32_t flags);

enum { kWidth = 320, kHeight = 240, kFrames = 50, kFrame = 25 };
static uint32_t clipA[kWidth * kHeight], clipB[kWidth * kHeight], frame[kWidth * kHeight];

static int16_t __cdecl NeverStop(void) { return 0; }

static TextureImage Image(uint32_t* pixels) {
  TextureImage image;
  memset(&image, 0, sizeof image);
  image.width = image.extentWidth = kWidth;
  image.height = image.extentHeight = kHeight;
  image.scaleX = image.scaleY = 1.0f;
  image.pixels = (uint8_t*)pixels;
  image.bytesPerPixel = 4;
  return image;
}

static int Fail(const char* what) { fprintf(stderr, "minimal_host: %s\n", what); return 2; }

int main(int argc, char** argv) {
  const char* out = argc > 1 ? argv[1] : "minimal_host.bmp";
  char folder[MAX_PATH] = "", path[MAX_PATH + 32];
  DWORD size = sizeof folder - 1;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Corvane\\LumoraFX\\CurrentVersion", 0, KEY_READ, &key)) {
    return Fail("Lumora FX is not installed (no registry key)");
  }
  LONG read = RegQueryValueExA(key, "Path", NULL, NULL, (BYTE*)folder, &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS) return Fail("the registry value \"Path\" cannot be read");

  snprintf(path, sizeof path, "%s\\LMX_GUI.DLL", folder);
  HMODULE gui = LoadLibraryA(path);
  snprintf(path, sizeof path, "%s\\LIBS\\LMX.DLL", folder);
  HMODULE engine = LoadLibraryA(path);
  SelectFn select = gui ? (SelectFn)(void*)GetProcAddress(gui, "LMXGUI_Select") : NULL;
  InfoFn info = gui ? (InfoFn)(void*)GetProcAddress(gui, "LMXGUI_GetEffectInfo") : NULL;
  RenderFn render = engine ? (RenderFn)(void*)GetProcAddress(engine, "LMX_Render") : NULL;
  if (!select || !info || !render) return Fail("LMX_GUI.DLL or LIBS\\LMX.DLL cannot be loaded");

  static EffectSettings settings; /* a host keeps it between calls; empty: the defaults */
  EffectSettings kept = settings;
  int16_t result = select(NULL, &settings, 0);
  if (result != 0) {
    settings = kept; /* the sheet edits the block in place: a cancel keeps the host's copy */
    return result == 1 ? 1 : Fail("the sheet cannot be shown");
  }
  EffectInfo chosen;
  info(settings.effectName, &chosen);

  for (int y = 0; y < kHeight; ++y) { /* the host's two clips: a warm ramp, a cool checker */
    for (int x = 0; x < kWidth; ++x) {
      clipA[y * kWidth + x] = 0xFF000000u | (uint32_t)(255 - y) << 16 | (uint32_t)(x * 255 / kWidth) << 8 | 40;
      clipB[y * kWidth + x] = ((x / 32 + y / 32) % 2) ? 0xFF2050C0u : 0xFFE0E8F0u;
    }
  }
  static RenderJob job;
  job.frameWidth = kWidth;
  job.frameHeight = kHeight;
  job.objectCount = chosen.objectCount;
  job.textures[0] = Image(clipA);
  job.textures[1] = Image(clipB);
  job.target = Image(frame);
  job.target.formatCode = 0x0204;
  job.position = kFrame;
  job.lastPosition = kFrames - 1;
  job.abortCallback = NeverStop;
  if (render(&settings, &job, 1) != 0) return Fail("LMX_Render drew nothing");

  BITMAPINFOHEADER header = {sizeof header, kWidth, kHeight, 1, 32, BI_RGB, sizeof frame, 0, 0, 0, 0};
  BITMAPFILEHEADER file = {0x4D42, sizeof file + sizeof header + sizeof frame, 0, 0, sizeof file + sizeof header};
  FILE* bmp = fopen(out, "wb");
  int written = bmp && fwrite(&file, sizeof file, 1, bmp) && fwrite(&header, sizeof header, 1, bmp) &&
                fwrite(frame, sizeof frame, 1, bmp);
  if (bmp && fclose(bmp) != 0) written = 0;
  if (!written) return Fail("the picture cannot be written");
  printf("frame %d of %d of \"%s\" in %s\n", kFrame, kFrames, chosen.longName, out);
  return 0;
}
