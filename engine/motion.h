// Motion kinds: how the clips are cut into pieces (the layout) and where each piece is at
// a given progress along its path (the placement). Progress q runs from 0 (the piece in
// its place in the picture) to 1 (the piece gone from view).
#pragma once

#include <cstdint>
#include <vector>

#include "frame_params.h"
#include "math3d.h"
#include "motion_kinds.h"

namespace lmx::engine {

enum Clip : int { kOutgoing = 0, kIncoming = 1 };

// The picture plane z = 0 spans [-aspect, aspect] x [-1, 1]; the viewer sits at z = -kEyeDistance.
inline constexpr float kEyeDistance = 2.5f;

// The kind's own options (the effect's option tags), already clamped.
struct KindOptions {
  int rows = 4;
  int columns = 4;
  float spin = 0;      // radians over the whole path
  float lift = 0.5f;   // 0..1
  bool vertical = false;
  float scatter = 0.3f;
  float curl = 0.5f;
  float twist = 0;     // radians
  bool reverse = false;
  bool bounce = false;
};

// A piece at rest: a rectangle of the picture (cut nx by ny for shading and bending) or a
// triangle, showing one clip.
struct RestPiece {
  bool triangle = false;
  Vec3 corner[3];              // triangle corners, z = 0
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // rectangle
  int nx = 1, ny = 1;
  int clip = kOutgoing;
  float order = 0;             // 0 leaves first, 1 last
  unsigned seed = 0;
  Vec3 centre;
};

struct Layout {
  MotionKind kind = MotionKind::Plane;
  std::vector<RestPiece> pieces;
  float stagger = 0;           // share of the transition over which departures spread
  bool mirrorsInTime = true;   // Fly-On plays the Fly-Off path backwards
  int background = 1;          // texture shown behind the pieces (a clip or the backdrop)
  float aspect = 1;
  KindOptions options;
  bool flyOn = false;
};

// Where a piece is: world = rotation * (bent(rest) - pivot) + pivot + translation.
struct Placement {
  Mat3 rotation;
  Vec3 pivot;
  Vec3 translation;
  bool curled = false;
  bool curlAlongY = false;  // the fold line runs along x and moves in y
  float fold = 0;           // position of the fold line
  float radius = 0.2f;
  float curlSign = 1;       // +1: the side beyond the fold (greater x or y) rolls up
};

KindOptions ReadKindOptions(MotionKind kind, const FrameParams& params);
// Unknown kinds become Plane.
MotionKind KnownKind(uint32_t secondType);
// The pieces of a kind. `detail` 1 (fastest) or 2 (best) scales the tessellation.
Layout BuildLayout(MotionKind kind, const KindOptions& options, float aspect, bool flyOn, int detail);
// The kind's own placement of a piece at progress q (0..1, already eased).
Placement PlacePiece(const Layout& layout, const RestPiece& piece, float q);
// A rest point bent by the placement's curl, before the rigid part.
Vec3 Bend(const Placement& placement, Vec3 rest);
inline Vec3 Place(const Placement& placement, Vec3 rest) {
  return placement.rotation * (Bend(placement, rest) - placement.pivot) + placement.pivot + placement.translation;
}

}  // namespace lmx::engine
