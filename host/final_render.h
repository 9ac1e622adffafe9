// A host's final render of a transition: clip A and clip B go to the engine as the job's
// first two textures, frame k of N at position k of N - 1, with a progress callback (which
// makes each a filter frame, drawn on every core), into a target of the frame's size.
#pragma once

#include <vector>

#include "image.h"
#include "model/render_job.h"

namespace lmx::host {

class FinalRender {
 public:
  // The clips may have any size the engine takes: it lays each over the whole frame.
  FinalRender(const Image& clipA, const Image& clipB, int width, int height, int frames, ProgressCallbackFn progress);
  // The job points into the object's own buffers.
  FinalRender(const FinalRender&) = delete;
  FinalRender& operator=(const FinalRender&) = delete;

  // The job for frame k, from 0 to frames - 1.
  RenderJob* Frame(int k);
  // The target as the engine left it, top row first.
  Image Target() const;

 private:
  std::vector<uint8_t> clips_[2];
  std::vector<uint8_t> target_;
  RenderJob job_{};
};

}  // namespace lmx::host
