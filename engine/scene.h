// One pass of a frame as lists of things to draw: the pieces of the layout placed at a
// moment of the transition, lit, seen through the camera and clipped, with their trails
// and shadows.
#pragma once

#include <cstdint>
#include <vector>

#include "frame_params.h"
#include "motion.h"
#include "raster.h"

namespace lmx::engine {

// A triangle's or a quad's corners as triangles, three by three: the first three for a
// triangle, all six for a quad.
inline constexpr int kTriangleCorners[6] = {0, 1, 2, 0, 2, 3};
inline int TriangleCornerCount(int corners) { return corners == 4 ? 6 : 3; }

struct DrawTriangle {
  ScreenVertex v[4];
  int corners = 3;  // a triangle, or the quad of triangles (0, 1, 2) and (0, 2, 3)
  Material material;
  float key = 0;  // distance from the viewer, for ordering
  uint32_t cell = 0;  // the mesh cell this is half of (0: none), and which half (0 or 1)
  uint8_t half = 0;
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
// Joins the two halves of each mesh cell that stand next to each other in the list into
// one quad; halves with something drawn between them stay apart.
void MergeCells(std::vector<DrawTriangle>& list);
// Whether some piece (or trail copy) at transition time tau overlaps the view.
bool AnyPieceInView(const SceneContext& context, float tau);

}  // namespace lmx::engine
