// The benchmark's scenes: the settings, the effect's shape, the frame size and count, and
// synthetic clips, shared by the engine's benchmark and the OpenGL ES comparison.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "effect_source.h"
#include "model/render_job.h"

namespace lmx::bench {

struct Scene {
  std::string name;
  int width = 64, height = 64;
  int frames = 20;       // preview frames, positions 0 .. frames - 1
  bool filterMode = false;  // one frame at FilterPercent of FilterFrames, with progress
  EffectSettings settings{};
  engine::EffectShape shape;
  std::vector<std::vector<uint8_t>> textures;  // outgoing, incoming, backdrop
};

// The preview scenes "typical", "maximum" and "filter"; or the one scene named: one of
// those, or a video-size filter frame, "720p", "hd" (1920 x 1080), "1440p" or "uhd"
// (3840 x 2160). Their textures are of the frame's size.
std::vector<Scene> Scenes(const std::string& only = "");

// A job over the scene's textures writing into `target` (width x height x 4 bytes).
RenderJob MakeJob(const Scene& scene, std::vector<uint8_t>& target);
// The position and last position of frame k.
void SetFrame(const Scene& scene, RenderJob& job, int k);

}  // namespace lmx::bench
