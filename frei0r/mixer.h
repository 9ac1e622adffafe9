// One transition instance, shared by the frei0r plugin and the MLT service: a frame size,
// the parameters, the effect read from the library and the frame buffers, kept from one
// frame to the next. Renders clip A (outgoing) and clip B (incoming) through the engine;
// whenever it cannot, clip A passes through unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame_convert.h"
#include "library_folder.h"
#include "parameters.h"
#include "render_frame.h"

namespace lumorafx {

// Where a frame's time went, for the benchmark: the process's processor time converting
// and rendering, in nanoseconds.
struct MixerTimes {
  uint64_t convert = 0, render = 0;
  uint64_t frames = 0;
};

class Mixer {
 public:
  Mixer(unsigned width, unsigned height, PixelLayout layout);
  // With LUMORAFX_TIMES set in the environment, writes the frames' mean times to stderr.
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  unsigned width() const { return width_; }
  unsigned height() const { return height_; }
  PixelLayout layout() const { return layout_; }
  Options& options() { return options_; }
  const Options& options() const { return options_; }
  const MixerTimes& times() const { return times_; }

  // Writes width x height pixels into out from a and b (either may be missing). out may
  // be a itself.
  void Update(const uint8_t* a, const uint8_t* b, uint8_t* out);
  // Copies clip A into out (black without clip A).
  void PassThrough(const uint8_t* a, uint8_t* out) const;

 private:
  // Reads the effect and the backdrop when the library or the effect name changed since
  // the last frame. True when there is an effect to render.
  bool Ready();
  void Render(const uint8_t* a, const uint8_t* b, uint8_t* out);

  unsigned width_;
  unsigned height_;
  PixelLayout layout_;
  bool sizeUsable_;
  Options options_;

  std::string loadedLibrary_, loadedEffect_;
  bool loaded_ = false;
  bool usable_ = false;
  lmx::engine::FolderEffect effect_;
  lmx::engine::FolderTexture backdrop_;

  std::vector<uint8_t> clipA_, clipB_, target_;
  // The engine's buffers for this instance: a host may run an instance per thread.
  lmx::engine::RenderScratch scratch_;
  MixerTimes times_;
};

}  // namespace lumorafx
