#include "mixer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "frame_convert.h"
#include "frame_params.h"
#include "image_view.h"
#include "render_frame.h"
#include "report.h"

namespace lumorafx {

namespace {

// The position goes to the engine as a frame of this many.
constexpr int32_t kPositionSteps = 10000;

// The backdrop when the library has no texture 03 or the backdrop is switched off.
const uint8_t kBlack[4] = {0, 0, 0, 255};

// The texture of the largest preview size: the backdrop is stretched to the frame.
constexpr const char* kBackdropTexture = "PREVL_03";

lmx::TextureImage Image(const uint8_t* pixels, int width, int height, uint32_t format) {
  lmx::TextureImage t{};
  t.formatCode = format;
  t.width = t.extentWidth = static_cast<uint32_t>(width);
  t.height = t.extentHeight = static_cast<uint32_t>(height);
  t.scaleX = t.scaleY = 1;
  t.pixels = const_cast<uint8_t*>(pixels);
  t.bytesPerPixel = 4;
  return t;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Processor time of the whole process (the engine's worker threads included) in
// nanoseconds: on a shared machine wall time would count the other work too.
uint64_t ProcessorTime() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000000000u + static_cast<uint64_t>(t.tv_nsec);
}

uint64_t Since(uint64_t start) { return ProcessorTime() - start; }

}  // namespace

Mixer::Mixer(unsigned width, unsigned height, PixelLayout layout)
    : width_(width),
      height_(height),
      layout_(layout),
      sizeUsable_(width >= 1 && height >= 1 && width <= lmx::engine::kMaxImageSide &&
                  height <= lmx::engine::kMaxImageSide) {
  if (!sizeUsable_) {
    ReportOnce("frame size " + std::to_string(width) + " x " + std::to_string(height) + " is outside 1 to " +
               std::to_string(lmx::engine::kMaxImageSide) + " pixels a side; clip A passes through");
  }
}

Mixer::~Mixer() {
  const char* wanted = std::getenv("LUMORAFX_TIMES");
  if (wanted == nullptr || *wanted == '\0' || times_.frames == 0) return;
  const double frames = static_cast<double>(times_.frames);
  const char* layout = layout_ == PixelLayout::Rgba     ? "rgba"
                       : layout_ == PixelLayout::Yuv709 ? "yuv422 709"
                                                        : "yuv422 601";
  std::fprintf(stderr, "lumorafx: %ux%u %s, %llu frames: convert %.2f ms, render %.2f ms a frame\n", width_, height_,
               layout, static_cast<unsigned long long>(times_.frames),
               static_cast<double>(times_.convert) / frames / 1e6, static_cast<double>(times_.render) / frames / 1e6);
}

bool Mixer::Ready() {
  std::string library = options_.library.empty() ? DefaultLibrary() : options_.library;
  std::string effect = options_.effect.empty() ? kDefaultEffect : options_.effect;
  if (loaded_ && loadedEffect_ == effect && loadedLibrary_ == library) return usable_;
  loaded_ = true;
  loadedLibrary_ = std::move(library);
  loadedEffect_ = effect;
  using lmx::engine::FolderRead;
  FolderRead read = lmx::engine::ReadFolderEffect(loadedLibrary_, loadedEffect_, &effect_);
  usable_ = read == FolderRead::Ok;
  const std::string tail = "; clip A passes through";
  switch (read) {
    case FolderRead::Ok: break;
    case FolderRead::NoFolder:
      ReportOnce("library folder " + Quoted(loadedLibrary_) + " not found" +
                 (options_.library.empty() ? " (set parameter \"library\" or LUMORAFX_LIBRARY)" : "") + tail);
      break;
    case FolderRead::BadName:
      ReportOnce("effect name " + Quoted(loadedEffect_) +
                 " is not a short name (1 to 8 characters, no separators or dots)" + tail);
      break;
    case FolderRead::Missing:
      ReportOnce("no effect " + Quoted(loadedEffect_) + " in " + Quoted(loadedLibrary_ + "/EFFECTS") + tail);
      break;
    case FolderRead::Damaged:
      ReportOnce("the effect file of " + Quoted(loadedEffect_) + " in " + Quoted(loadedLibrary_) +
                 " is damaged" + tail);
      break;
  }
  if (usable_) lmx::engine::ReadFolderTexture(loadedLibrary_, kBackdropTexture, &backdrop_);
  return usable_;
}

void Mixer::PassThrough(const uint8_t* a, uint8_t* out) const {
  if (out == nullptr || a == out) return;
  const size_t bytes = static_cast<size_t>(width_) * height_ * BytesPerPixel(layout_);
  if (a != nullptr) std::memcpy(out, a, bytes);
  else std::memset(out, 0, bytes);
}

void Mixer::Update(const uint8_t* a, const uint8_t* b, uint8_t* out) {
  if (out == nullptr) return;
  if (!sizeUsable_) {
    PassThrough(a, out);
    return;
  }
  if (a == nullptr || b == nullptr) {
    ReportOnce("a frame came without both clips; clip A passes through");
    PassThrough(a, out);
    return;
  }
  if (!Ready()) {
    PassThrough(a, out);
    return;
  }
  Render(a, b, out);
}

void Mixer::Render(const uint8_t* a, const uint8_t* b, uint8_t* out) {
  // Both sides are within the engine's limit here.
  const int width = static_cast<int>(width_), height = static_cast<int>(height_);
  const size_t bytes = static_cast<size_t>(width) * height * 4;
  clipA_.resize(bytes);
  clipB_.resize(bytes);
  target_.resize(bytes);
  uint64_t start = ProcessorTime();
  FrameToEngine(layout_, a, width, height, clipA_.data());
  FrameToEngine(layout_, b, width, height, clipB_.data());
  times_.convert += Since(start);

  lmx::RenderJob job{};
  job.frameWidth = width_;
  job.frameHeight = height_;
  job.objectCount = effect_.shape.objectCount;
  job.textures[0] = Image(clipA_.data(), width, height, lmx::kTextureFormat);
  job.textures[1] = Image(clipB_.data(), width, height, lmx::kTextureFormat);
  bool library = BackdropFromLibrary(options_) && !backdrop_.pixels.empty();
  job.textures[2] = library ? Image(backdrop_.pixels.data(), static_cast<int>(backdrop_.width),
                                    static_cast<int>(backdrop_.height), lmx::kTextureFormat)
                            : Image(kBlack, 1, 1, lmx::kTextureFormat);
  job.target = Image(target_.data(), width, height, lmx::kTargetFormat);
  job.lastPosition = kPositionSteps;
  job.position = static_cast<int32_t>(std::lround(PositionOf(options_) * kPositionSteps));

  lmx::EffectSettings settings = SettingsFor(options_, effect_.settings, effect_.options);
  start = ProcessorTime();
  int32_t result = lmx::engine::RenderShape(lmx::engine::ReadFrameParams(settings), effect_.shape, job, nullptr, 0,
                                            &scratch_);
  times_.render += Since(start);
  if (result != lmx::engine::kRendered) {
    ReportOnce("the engine rendered nothing (result " + std::to_string(result) + "); clip A passes through");
    PassThrough(a, out);
    return;
  }
  start = ProcessorTime();
  EngineToFrame(layout_, target_.data(), width, height, out);
  times_.convert += Since(start);
  ++times_.frames;
}

}  // namespace lumorafx
