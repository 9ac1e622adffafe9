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
#include "ui/module_state.h"

namespace lmx {
namespace {

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

int CreatePreviewBuffers(SheetSession& session) {
  PreviewSettings& settings = session.preview;
  RenderFlags& flags = session.render;
  PreviewBuffers& buffers = session.buffers;
  bool filterMode = session.sheet.filterMode;
  settings.frameCount = PreviewFrameCount(ReadRegistryDword("Prev_Frames"), filterMode);
  settings.previewSpeed = EffectivePreviewSpeed(ReadRegistryDword("Prev_Speed"));
  settings.autoRender = ReadRegistryDword("Prev_Render");
  settings.previewQuality = ReadRegistryDword("Prev_Quality");
  buffers.quality = QualityFor(settings.previewQuality, Module().previewQuality);
  Module().previewQuality = buffers.quality;

  flags.renderFrame = -1;
  flags.stopRequested = false;
  flags.restartRequested = false;
  flags.renderBusy = false;
  flags.closing = false;
  buffers.displayFrame = -1;
  buffers.ready = false;
  buffers.renderLock.emplace();
  // From here DestroyPreviewBuffers frees whatever was made, should the rest throw.
  buffers.exists = true;

  FillHeader(buffers.header, buffers.quality);
  FillJob(buffers.job, buffers.quality, settings.frameCount);
  buffers.ready = CreateFrames(buffers.frames, buffers.header, settings.frameCount);
  return 1;
}

void DestroyPreviewBuffers(SheetSession& session) {
  PreviewBuffers& buffers = session.buffers;
  if (!buffers.exists) return;
  // The render thread never waits for this thread (its panel updates are posted), so
  // waiting for it here cannot block both; and every thread is joined, also one that a
  // restart has just begun.
  JoinRenderThreads(session);
  buffers.renderLock->Enter();
  buffers.displayFrame = -2;
  EndRenderTeardown(session.render);
  for (TextureImage& texture : buffers.job.textures) {
    texture.ownsPixels = 1;
    ReleaseTexture(&texture);
  }
  buffers.frames.clear();
  buffers.ready = false;
  for (TextureImage& texture : buffers.job.textures) DestroyTexture(&texture);
  DestroyTexture(&buffers.job.target);
  buffers.renderLock->Leave();
  buffers.renderLock.reset();
  buffers.exists = false;
}

void ShowNextFrame(SheetSession& session, HDC dc, const RECT& rect) {
  PreviewBuffers& buffers = session.buffers;
  int32_t count = session.preview.frameCount;
  if (!buffers.ready || session.render.renderFrame != count) return;
  if (++buffers.displayFrame >= count || buffers.displayFrame < 0) buffers.displayFrame = 0;
  const FrameBuffer& frame = buffers.frames[static_cast<size_t>(buffers.displayFrame)];
  StretchDIBits(dc, rect.left + 1, rect.top + 1, rect.right - rect.left - 2, rect.bottom - rect.top - 2, 0, 0,
                buffers.header.biWidth, buffers.header.biHeight, frame.pixels,
                reinterpret_cast<const BITMAPINFO*>(&buffers.header), DIB_RGB_COLORS, SRCCOPY);
}

bool PreviewReady(const SheetSession& session) { return session.buffers.exists && session.buffers.ready; }
void* FramePixels(SheetSession& session, int32_t frame) {
  std::vector<FrameBuffer>& frames = session.buffers.frames;
  if (frame < 0 || static_cast<size_t>(frame) >= frames.size()) return nullptr;
  return frames[static_cast<size_t>(frame)].pixels;
}

}  // namespace lmx
