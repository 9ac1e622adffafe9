// One plugin instance: a frame size, the parameters, the effect read from the library and
// the frame buffers, kept from one frame to the next. Renders clip A (outgoing) and clip B
// (incoming) through the engine; whenever it cannot, clip A passes through unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library_folder.h"
#include "render_frame.h"
#include "parameters.h"

namespace lumorafx {

class Mixer {
 public:
  Mixer(unsigned width, unsigned height);
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  Options& options() { return options_; }
  const Options& options() const { return options_; }

  // Writes width x height pixels into out from a and b (either may be missing).
  void Update(const uint32_t* a, const uint32_t* b, uint32_t* out);
  // Copies clip A into out (black without clip A).
  void PassThrough(const uint32_t* a, uint32_t* out) const;

 private:
  // Reads the effect and the backdrop when the library or the effect name changed since
  // the last frame. True when there is an effect to render.
  bool Ready();
  void Render(const uint32_t* a, const uint32_t* b, uint32_t* out);

  unsigned width_;
  unsigned height_;
  bool sizeUsable_;
  Options options_;

  std::string loadedLibrary_, loadedEffect_;
  bool loaded_ = false;
  bool usable_ = false;
  lmx::engine::FolderEffect effect_;
  lmx::engine::FolderTexture backdrop_;

  std::vector<uint8_t> clipA_, clipB_, target_;
  // The engine's buffers for this instance: MLT may run an instance per thread.
  lmx::engine::RenderScratch scratch_;
};

}  // namespace lumorafx
