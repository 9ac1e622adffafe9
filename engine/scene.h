// One pass of a frame as lists of things to draw: the pieces of the layout placed at a
// moment of the transition, lit, seen through the camera and clipped, with their trails
// and shadows.
#pragma once

#include <vector>

#include "frame_params.h"
#include "motion.h"
#include "raster.h"

namespace lmx::engine {

struct DrawTriangle {
  ScreenVertex v[3];
  Material material;
  float key = 0;  // distance from the viewer, for ordering
};

struct DrawShadow {
  ScreenVertex v[4];
  int corners = 3;  // a triangle, or the quad of triangles (0, 1, 2) and (0, 2, 3)
  int keep = 256;
};

struct DrawLine {
  float x0, y0, x1, y1;
  Packed colour;
  float key;
};

struct DrawLists {
  std::vector<DrawTriangle> opaque;       // front to back
  std::vector<DrawTriangle> translucent;  // back to front
  std::vector<DrawShadow> shadows;
  std::vector<DrawLine> lines;            // back to front
  void Clear() {
    opaque.clear(), translucent.clear(), shadows.clear(), lines.clear();
  }
};

struct SceneContext {
  const Layout* layout = nullptr;
  const FrameParams* params = nullptr;
  const Sampler* clips[2] = {};  // outgoing, incoming
  int objectCount = 1;           // 1..20: piece i takes object row i % objectCount
  bool filterMode = false;
  int width = 0, height = 0;
};

// The direction towards the light for a light direction in degrees.
Vec3 LightVector(float degrees);
// The progress of a piece along its path at transition time tau (0..1), before easing.
float PathProgress(const Layout& layout, const RestPiece& piece, const ObjectParams& object, float tau);
void BuildPass(const SceneContext& context, float tau, DrawLists& out);
// Whether some piece (or trail copy) at transition time tau overlaps the view.
bool AnyPieceInView(const SceneContext& context, float tau);

}  // namespace lmx::engine
