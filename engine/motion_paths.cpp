// Where each kind puts a piece at progress q along its path.
#include <algorithm>
#include <cmath>

#include "motion.h"

namespace lmx::engine {

namespace {

float RadiusOf(const RestPiece& p) {
  if (p.triangle) {
    float r = 0;
    for (const Vec3& c : p.corner) r = std::max(r, Length(c - p.centre));
    return r;
  }
  return std::hypot(p.x1 - p.x0, p.y1 - p.y0) / 2;
}

// A distance along which a piece starting anywhere in the picture leaves the view.
float Reach(const Layout& l, const RestPiece& p) {
  return 2 * std::hypot(l.aspect, 1.0f) + RadiusOf(p) + 0.3f;
}

Vec3 RandomAxis(unsigned seed) {
  return Normalized({Hash01(seed, 5) - 0.5f, Hash01(seed, 6) - 0.5f, Hash01(seed, 7) - 0.5f}, {0, 1, 0});
}

// Out along a direction in the picture plane, rising towards the viewer on the way.
Placement FlyAway(const Layout& l, const RestPiece& p, float q, Vec3 direction, Vec3 axis, float angle) {
  Placement out;
  out.pivot = p.centre;
  float reach = Reach(l, p);
  out.translation = direction * (reach * q * q * q);
  out.translation.z = -l.options.lift * 1.1f * std::sin(kPi * q);
  out.rotation = Rotation(axis, angle * q);
  if (l.options.twist != 0) out.rotation = Rotation({0, 0, 1}, l.options.twist * q) * out.rotation;
  return out;
}

Vec3 Outward(const Layout& l, const RestPiece& p) {
  float s = l.options.scatter;
  float angle = 2 * kPi * Hash01(p.seed, 8);
  Vec3 random{std::cos(angle), std::sin(angle), 0};
  Vec3 radial = Normalized({p.centre.x, p.centre.y, 0}, random);
  return Normalized(radial * (1 - 0.7f * s) + random * (0.7f * s), random);
}

Placement PlacePlane(const Layout& l, const RestPiece& p, float q) {
  float tilt = 0.25f + 0.5f * l.options.scatter;
  Vec3 direction = Normalized({1, tilt, 0});
  Vec3 axis = l.options.vertical ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
  return FlyAway(l, p, q, direction, axis, l.options.spin);
}

Placement PlaceTile(const Layout& l, const RestPiece& p, float q) {
  Vec3 base = l.options.vertical ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
  Vec3 axis = Normalized(base + RandomAxis(p.seed) * (0.3f + l.options.scatter));
  Vec3 direction = Outward(l, p);
  // Shards on the horizontal axis fall: their burst bends downwards.
  if (l.kind == MotionKind::Shards && !l.options.vertical) direction = Normalized(direction + Vec3{0, -1.5f, 0});
  return FlyAway(l, p, q, direction, axis, l.options.spin);
}

Placement PlaceSpiral(const Layout& l, const RestPiece& p, float q) {
  Placement out;
  out.pivot = p.centre;
  float r0 = std::hypot(p.centre.x, p.centre.y);
  float a0 = r0 > 1e-4f ? std::atan2(p.centre.y, p.centre.x) : 2 * kPi * Hash01(p.seed, 9);
  float turn = (l.options.twist > 0 ? l.options.twist : 0.5f * kPi) * q;
  float r = r0 + Reach(l, p) * q * q * q;
  Vec3 at{r * std::cos(a0 + turn), r * std::sin(a0 + turn), -l.options.lift * std::sin(kPi * q)};
  out.translation = at - p.centre;
  out.rotation = Rotation({0, 0, 1}, turn) * Rotation(Normalized({-std::sin(a0), std::cos(a0), 0}), l.options.spin * q);
  return out;
}

// A strip rolls up from its far end and then drops out of the picture.
Placement PlaceStrip(const Layout& l, const RestPiece& p, float q) {
  Placement out;
  out.curled = true;
  out.radius = 0.04f + 0.3f * l.options.curl;
  float roll = Clamp01(q / 0.65f), drop = Clamp01((q - 0.35f) / 0.65f);
  float length = l.options.vertical ? p.y1 - p.y0 : p.x1 - p.x0;
  float travel = length + kPi * out.radius;
  if (l.options.vertical) {
    out.curlAlongY = true;  // the top end rolls down
    out.curlSign = 1;
    out.fold = p.y1 - travel * roll;
    out.translation = {0, -(2.2f + kPi * out.radius) * drop * drop, -l.options.lift * 0.6f * std::sin(kPi * drop)};
  } else {
    out.curlSign = 1;  // the right end rolls to the left
    out.fold = p.x1 - travel * roll;
    out.translation = {-(2 * l.aspect + 0.2f + kPi * out.radius) * drop * drop, 0,
                       -l.options.lift * 0.6f * std::sin(kPi * drop)};
  }
  return out;
}

// Two doors swing towards the viewer about their outer edges and slide apart.
Placement PlaceDoor(const Layout& l, const RestPiece& p, float q) {
  Placement out;
  float angle = (100.0f * kPi / 180.0f) * q;
  float slide = (0.5f + l.options.lift) * q * q;
  if (l.options.vertical) {
    bool left = p.centre.x < 0;
    out.pivot = {left ? p.x0 : p.x1, 0, 0};
    out.rotation = Rotation({0, 1, 0}, left ? angle : -angle);
    out.translation = {left ? -slide : slide, 0, 0};
  } else {
    bool top = p.centre.y > 0;
    out.pivot = {0, top ? p.y1 : p.y0, 0};
    out.rotation = Rotation({1, 0, 0}, top ? angle : -angle);
    out.translation = {0, top ? slide : -slide, 0};
  }
  return out;
}

// A cube whose front face carries the outgoing clip turns the incoming face to the front.
Placement PlaceCubeFace(const Layout& l, const RestPiece& p, float q) {
  Placement out;
  float a = l.options.vertical ? l.aspect : 1.0f;
  out.pivot = {0, 0, a};
  float sign = l.flyOn ? -1.0f : 1.0f;  // Fly-On turns the other way
  Vec3 axis = l.options.vertical ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
  float turn = sign * (kPi / 2) * q;
  float side = p.clip == kIncoming ? -sign * (kPi / 2) : 0.0f;
  out.rotation = Rotation(axis, turn) * Rotation(axis, side);
  out.translation = {0, 0, (0.4f + l.options.lift) * a * std::sin(kPi * q)};
  return out;
}

Placement PlacePage(const Layout& l, const RestPiece& p, float q) {
  Placement out;
  out.curled = true;
  out.radius = 0.12f + 0.35f * l.options.curl;
  float a = l.aspect;
  if (l.options.vertical) {
    out.curlSign = 1;  // the right edge turns over to the left
    out.fold = a - (2 * a + kPi * out.radius + 0.05f) * q;
  } else {
    out.curlAlongY = true;
    out.curlSign = -1;  // the bottom edge turns up over the top
    out.fold = -1 + (2 + kPi * out.radius + 0.05f) * q;
  }
  out.translation = {0, 0, -l.options.lift * 0.3f * std::sin(kPi * q)};
  return out;
}

}  // namespace

Placement PlacePiece(const Layout& l, const RestPiece& p, float q) {
  switch (l.kind) {
    case MotionKind::Tiles:
    case MotionKind::Shards: return PlaceTile(l, p, q);
    case MotionKind::Spiral: return PlaceSpiral(l, p, q);
    case MotionKind::Strips: return PlaceStrip(l, p, q);
    case MotionKind::Doors: return PlaceDoor(l, p, q);
    case MotionKind::Cube: return PlaceCubeFace(l, p, q);
    case MotionKind::Page: return PlacePage(l, p, q);
    default: return PlacePlane(l, p, q);
  }
}

Vec3 Bend(const Placement& pl, Vec3 rest) {
  if (!pl.curled) return rest;
  float s = pl.curlAlongY ? rest.y : rest.x;
  float d = pl.curlSign * (s - pl.fold);
  if (d <= 0) return rest;
  float r = pl.radius;
  float along, z;
  if (d < kPi * r) {
    float phi = d / r;
    along = pl.fold + pl.curlSign * r * std::sin(phi);
    z = -r * (1 - std::cos(phi));
  } else {
    along = pl.fold - pl.curlSign * (d - kPi * r);
    z = -2 * r;
  }
  Vec3 out = rest;
  (pl.curlAlongY ? out.y : out.x) = along;
  out.z += z;
  return out;
}

}  // namespace lmx::engine
