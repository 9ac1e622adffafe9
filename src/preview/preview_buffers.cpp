#include <windows.h>

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "config/installed_files.h"
#include "config/registry.h"
#include "library/texture_reader.h"
#include "platform/win32/gdi.h"
#include "preview/preview.h"
#include "selection/render_control.h"
#include "selection/sheet_state.h"

namespace lmx {
namespace {

struct FrameBuffer {
  Bitmap section;
  void* pixels = nullptr;
};

struct PreviewBuffers {
  bool exists = false;  // between CreatePreviewBuffers and DestroyPreviewBuffers
  bool ready = false;   // every frame was created
  PreviewQuality quality = kFirstQuality;
  BITMAPINFOHEADER header = {};
  std::vector<FrameBuffer> frames;
  RenderJob job = {};
  int32_t displayFrame = -2;
  std::optional<CriticalSection> renderLock;
};

// The one sheet's preview. Global because the engine's callbacks (AbortCallback,
// ProgressCallback) are plain C functions with no context argument, and the render
// thread reaches the buffers through them.
PreviewSettings g_settings;
RenderFlags g_flags;
PreviewBuffers g_buffers;

void FillHeader(BITMAPINFOHEADER& header, const PreviewQuality& quality) {
  header = {};
  header.biSize = sizeof header;
  header.biWidth = static_cast<LONG>(quality.width);
  header.biHeight = static_cast<LONG>(quality.height);
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biSizeImage = ((quality.width * 32 + 31) & ~31u) / 8 * quality.height;
}

// All frames, or none: a preview with a missing frame never reaches the engine.
bool CreateFrames(std::vector<FrameBuffer>& frames, const BITMAPINFOHEADER& header, int32_t count) {
  frames.clear();
  frames.resize(static_cast<size_t>(count));
  WindowDc screen(nullptr);
  for (FrameBuffer& frame : frames) {
    void* bits = nullptr;
    frame.section.reset(CreateDIBSection(screen.get(), reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                         &bits, nullptr, 0));
    frame.pixels = bits;
    if (!frame.section || !bits) {
      frames.clear();
      return false;
    }
  }
  return true;
}

void FillJob(RenderJob& job, const PreviewQuality& quality, int32_t frameCount) {
  std::memset(&job, 0, sizeof job);
  for (TextureImage& texture : job.textures) ConstructTexture(&texture);
  ConstructTexture(&job.target);
  job.frameWidth = quality.width;
  job.frameHeight = quality.height;
  job.objectCount = 20;
  for (int i = 0; i < kPreviewTextures; ++i) {
    char name[16];
    TextureName(name, quality.texturePrefix, i);
    ReadInstalledTexture(&job.textures[i], name);
    job.textures[i].ownsPixels = 0;  // the engine must not free them; the teardown does
  }
  TextureImage& target = job.target;
  target.formatCode = kTargetFormat;
  target.width = target.extentWidth = quality.width;
  target.height = target.extentHeight = quality.height;
  target.scaleX = target.scaleY = 1.0f;
  target.ownsPixels = 0;
  target.bytesPerPixel = 4;
  job.position = 0;
  job.lastPosition = frameCount - 1;
}

}  // namespace

PreviewSettings& Preview() { return g_settings; }
RenderFlags& Render() { return g_flags; }

int CreatePreviewBuffers() {
  bool filterMode = Sheet().filterMode;
  g_settings.frameCount = PreviewFrameCount(ReadRegistryDword("Prev_Frames"), filterMode);
  g_settings.previewSpeed = EffectivePreviewSpeed(ReadRegistryDword("Prev_Speed"));
  g_settings.autoRender = ReadRegistryDword("Prev_Render");
  g_settings.previewQuality = ReadRegistryDword("Prev_Quality");
  g_buffers.quality = QualityFor(g_settings.previewQuality, g_buffers.quality);

  g_flags.renderFrame = -1;
  g_flags.stopRequested = false;
  g_flags.restartRequested = false;
  g_flags.renderBusy = false;
  g_flags.closing = false;
  g_buffers.displayFrame = -1;
  g_buffers.ready = false;
  g_buffers.renderLock.emplace();
  // From here DestroyPreviewBuffers frees whatever was made, should the rest throw.
  g_buffers.exists = true;

  FillHeader(g_buffers.header, g_buffers.quality);
  FillJob(g_buffers.job, g_buffers.quality, g_settings.frameCount);
  g_buffers.ready = CreateFrames(g_buffers.frames, g_buffers.header, g_settings.frameCount);
  return 1;
}

void DestroyPreviewBuffers() {
  if (!g_buffers.exists) return;
  // The render thread never waits for this thread (its panel updates are posted), so
  // waiting for it here cannot block both; and every thread is joined, also one that a
  // restart has just begun.
  JoinRenderThreads();
  g_buffers.renderLock->Enter();
  g_buffers.displayFrame = -2;
  EndRenderTeardown(g_flags);
  for (TextureImage& texture : g_buffers.job.textures) {
    texture.ownsPixels = 1;
    ReleaseTexture(&texture);
  }
  g_buffers.frames.clear();
  g_buffers.ready = false;
  for (TextureImage& texture : g_buffers.job.textures) DestroyTexture(&texture);
  DestroyTexture(&g_buffers.job.target);
  g_buffers.renderLock->Leave();
  g_buffers.renderLock.reset();
  g_buffers.exists = false;
}

void ShowNextFrame(HDC dc, const RECT& rect) {
  int32_t count = g_settings.frameCount;
  if (!g_buffers.ready || g_flags.renderFrame != count) return;
  if (++g_buffers.displayFrame >= count || g_buffers.displayFrame < 0) g_buffers.displayFrame = 0;
  const FrameBuffer& frame = g_buffers.frames[static_cast<size_t>(g_buffers.displayFrame)];
  StretchDIBits(dc, rect.left + 1, rect.top + 1, rect.right - rect.left - 2, rect.bottom - rect.top - 2, 0, 0,
                g_buffers.header.biWidth, g_buffers.header.biHeight, frame.pixels,
                reinterpret_cast<const BITMAPINFO*>(&g_buffers.header), DIB_RGB_COLORS, SRCCOPY);
}

bool PreviewReady() { return g_buffers.exists && g_buffers.ready; }
RenderJob& PreviewJob() { return g_buffers.job; }
void* FramePixels(int32_t frame) {
  if (frame < 0 || static_cast<size_t>(frame) >= g_buffers.frames.size()) return nullptr;
  return g_buffers.frames[static_cast<size_t>(frame)].pixels;
}
void EnterRenderLock() { g_buffers.renderLock->Enter(); }
void LeaveRenderLock() { g_buffers.renderLock->Leave(); }

}  // namespace lmx
