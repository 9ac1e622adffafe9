// The stretch of the transition in which some piece can be seen. Paths run until their
// pieces are well out of view, which for fast paths is long before the transition ends
// (or, flying on, long after it starts); a frame's moment is spread over the visible
// stretch instead, so that every frame of a preview shows motion.
#pragma once

#include <vector>

#include "scene.h"

namespace lmx::engine {

struct VisibleSpan {
  float begin = 0, end = 1;
  // The moment of the paths that transition time tau (0..1) shows.
  float At(float tau) const { return begin + (end - begin) * tau; }
};

// Searches the pieces' paths: the first and last moments at which a piece is in view.
VisibleSpan FindVisibleSpan(const SceneContext& context);

// The span of the last context asked about, found again only when something that moves
// the pieces changed (a preview asks once per frame with the same values).
class VisibleSpanCache {
 public:
  VisibleSpan Get(const SceneContext& context);

 private:
  std::vector<float> key_;
  VisibleSpan span_;
};

}  // namespace lmx::engine
