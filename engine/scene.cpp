#include "scene.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lmx::engine {

namespace {

constexpr float kNear = 0.05f;   // nearest distance from the viewer that is drawn
constexpr float kGuard = 3.0f;   // clip x and y at this many times the frame's half size

struct ClipVertex {
  float X, Y, W;
  float u, v, d, s;
};

ClipVertex Mix(const ClipVertex& a, const ClipVertex& b, float t) {
  return {Lerp(a.X, b.X, t), Lerp(a.Y, b.Y, t), Lerp(a.W, b.W, t), Lerp(a.u, b.u, t),
          Lerp(a.v, b.v, t), Lerp(a.d, b.d, t), Lerp(a.s, b.s, t)};
}

// Distance inside plane p (0: near, 1..4: the guard sides); negative is outside.
float Inside(const ClipVertex& c, int p) {
  switch (p) {
    case 0: return c.W - kNear;
    case 1: return kGuard * c.W - c.X;
    case 2: return kGuard * c.W + c.X;
    case 3: return kGuard * c.W - c.Y;
    default: return kGuard * c.W + c.Y;
  }
}

// Whether the vertex lies inside the near plane and the guard band.
bool Unclipped(const ClipVertex& c) {
  for (int p = 0; p < 5; ++p) {
    if (Inside(c, p) < 0) return false;
  }
  return true;
}

// Sutherland-Hodgman against the near plane and the guard band; returns the count.
int ClipPolygon(ClipVertex* poly, int n) {
  ClipVertex tmp[16];
  for (int p = 0; p < 5 && n > 0; ++p) {
    bool allIn = true;
    for (int i = 0; i < n; ++i) allIn = allIn && Inside(poly[i], p) >= 0;
    if (allIn) continue;
    int m = 0;
    for (int i = 0; i < n; ++i) {
      const ClipVertex& a = poly[i];
      const ClipVertex& b = poly[(i + 1) % n];
      float da = Inside(a, p), db = Inside(b, p);
      if (da >= 0) tmp[m++] = a;
      if ((da >= 0) != (db >= 0) && m < 16) tmp[m++] = Mix(a, b, da / (da - db));
    }
    n = std::min(m, 9);
    for (int i = 0; i < n; ++i) poly[i] = tmp[i];
  }
  return n;
}

struct Camera {
  float aspect, width, height;
  ClipVertex ToClip(Vec3 p) const {
    return {p.x * kEyeDistance / aspect, p.y * kEyeDistance, p.z + kEyeDistance, 0, 0, 1, 0};
  }
  ScreenVertex ToScreen(const ClipVertex& c) const {
    float inv = 1.0f / c.W;
    ScreenVertex s;
    s.x = (c.X * inv + 1) * 0.5f * width;
    s.y = (c.Y * inv + 1) * 0.5f * height;
    s.invW = inv;
    s.u = c.u, s.v = c.v, s.diffuse = c.d, s.specular = c.s;
    return s;
  }
};

// Emits the clipped triangle (a, b, c) as a fan of screen triangles.
template <class Emit>
void ClipAndEmit(const Camera& cam, const ClipVertex& a, const ClipVertex& b, const ClipVertex& c, Emit emit) {
  ClipVertex poly[16] = {a, b, c};
  int n = ClipPolygon(poly, 3);
  if (n < 3) return;
  ScreenVertex first = cam.ToScreen(poly[0]);
  for (int i = 1; i + 1 < n; ++i) {
    ScreenVertex tri[3] = {first, cam.ToScreen(poly[i]), cam.ToScreen(poly[i + 1])};
    emit(tri);
  }
}

float Radians(float degrees) { return degrees * (kPi / 180.0f); }

// The kind's placement with what the object adds: a hop when bouncing, turning about the
// path (PathRotation) and following the path's direction (RotatesWithPath).
Placement PlaceWithObject(const Layout& l, const RestPiece& p, const ObjectParams& object, float q) {
  float hop = 0;
  if (l.options.bounce) {
    if (q < 0.3f) {
      float u = q / 0.3f;
      hop = (0.15f + 0.3f * l.options.lift) * std::fabs(std::sin(3 * kPi * u)) * (1 - u);
    }
    q = Clamp01((q - 0.3f) / 0.7f);
  }
  float e = Smooth(q);
  Placement pl = PlacePiece(l, p, e);
  pl.translation.z -= hop;
  if (object.pathRotation <= 0 && !object.rotatesWithPath) return pl;
  Vec3 now = Place(pl, p.centre);
  Mat3 extra;
  if (object.pathRotation > 0) {
    Vec3 axis = Normalized(now - p.centre, {0, 0, -1});
    extra = Rotation(axis, Radians(object.pathRotation) * e);
  }
  if (object.rotatesWithPath) {
    Vec3 ahead = Place(PlacePiece(l, p, std::min(1.0f, e + 0.02f)), p.centre);
    Vec3 behind = Place(PlacePiece(l, p, std::max(0.0f, e - 0.02f)), p.centre);
    Vec3 velocity = ahead - behind;
    float roll = std::atan2(velocity.y, velocity.x);
    float pitch = std::atan2(-velocity.z, std::hypot(velocity.x, velocity.y) + 1e-6f);
    float weight = Smooth(std::min(1.0f, 4 * e));
    extra = Rotation({0, 0, 1}, roll * weight) * Rotation({0, 1, 0}, pitch * weight) * extra;
  }
  Vec3 offset = pl.pivot + pl.translation - now;
  pl.rotation = extra * pl.rotation;
  pl.translation = extra * offset + now - pl.pivot;
  return pl;
}

struct Copy {
  const RestPiece* piece;
  Placement placement;
  const ObjectParams* object;
  float alpha;
  bool trail;
};

struct Lighting {
  bool on;
  Vec3 light;
  float restFacing;  // light . (0, 0, -1)
};

// Diffuse multiplier and highlight at a point with normal n facing the viewer.
void Light(const Lighting& lit, const ObjectParams& object, Vec3 p, Vec3 n, bool back, float& d, float& s) {
  d = 1;
  if (lit.on) d = std::min(1.3f, 0.3f + 0.7f * std::max(0.0f, Dot(n, lit.light)) / lit.restFacing);
  d *= 1 + 0.8f * object.luminosity;
  if (back) d *= 0.7f;
  s = 0;
  if (object.shine > 0) {
    Vec3 view = Normalized(Vec3{0, 0, -kEyeDistance} - p);
    Vec3 half = Normalized(lit.light + view);
    float c = std::max(0.0f, Dot(n, half));
    float c2 = c * c, c4 = c2 * c2, c8 = c4 * c4;
    s = object.shine * c8 * c8 * c4;  // c^20
  }
}

class PieceEmitter {
 public:
  PieceEmitter(const SceneContext& ctx, DrawLists& out)
      : ctx_(ctx), out_(out), cam_{ctx.layout->aspect, static_cast<float>(ctx.width), static_cast<float>(ctx.height)} {
    const FrameParams& p = *ctx.params;
    lit_.on = p.lighting;
    lit_.light = LightVector(p.lightDirection);
    lit_.restFacing = -lit_.light.z;
    const Layout& l = *ctx.layout;
    shadowPlane_ = l.background == 2 ? 2 * (l.options.vertical ? l.aspect : 1.0f) + 0.3f : 0.0f;
  }

  void Emit(const Copy& copy) {
    const RestPiece& piece = *copy.piece;
    int nx = piece.triangle ? 1 : piece.nx, ny = piece.triangle ? 1 : piece.ny;
    int count = piece.triangle ? 3 : (nx + 1) * (ny + 1);
    world_.resize(count), uv_.resize(count), normal_.resize(count);
    float a = ctx_.layout->aspect;
    for (int j = 0, k = 0; j <= (piece.triangle ? 0 : ny); ++j) {
      for (int i = 0; i <= (piece.triangle ? 2 : nx); ++i, ++k) {
        Vec3 rest = piece.triangle ? piece.corner[i]
                                   : Vec3{Lerp(piece.x0, piece.x1, static_cast<float>(i) / nx),
                                          Lerp(piece.y0, piece.y1, static_cast<float>(j) / ny), 0};
        world_[k] = Place(copy.placement, rest);
        uv_[k] = {(rest.x / a + 1) * 0.5f, (rest.y + 1) * 0.5f, 0};
      }
    }
    Normals(piece, nx, ny);
    if (piece.triangle) {
      Triangle(copy, 0, 1, 2);
      if (ctx_.params->renderMode == 2) Edges(copy, {{0, 1}, {1, 2}, {2, 0}});
      return;
    }
    auto at = [nx](int i, int j) { return j * (nx + 1) + i; };
    if (ctx_.params->renderMode == 2) {
      std::vector<std::pair<int, int>> edges;
      for (int j = 0; j <= ny; ++j)
        for (int i = 0; i < nx; ++i) edges.push_back({at(i, j), at(i + 1, j)});
      for (int i = 0; i <= nx; ++i)
        for (int j = 0; j < ny; ++j) edges.push_back({at(i, j), at(i, j + 1)});
      Edges(copy, edges);
      if (ctx_.params->shadows && !copy.trail) {
        for (int j = 0; j < ny; ++j)
          for (int i = 0; i < nx; ++i) CellShadow(copy, {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
      }
      return;
    }
    for (int j = 0; j < ny; ++j) {
      for (int i = 0; i < nx; ++i) {
        const std::array<int, 4> cell = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
        Cell(copy, cell);
        if (ctx_.params->shadows && !copy.trail) CellShadow(copy, cell);
      }
    }
  }

 private:
  void Normals(const RestPiece& piece, int nx, int ny) {
    if (piece.triangle) {
      Vec3 n = Normalized(Cross(world_[1] - world_[0], world_[2] - world_[0]) * -1.0f);
      normal_[0] = normal_[1] = normal_[2] = n;
      return;
    }
    for (int j = 0; j <= ny; ++j) {
      for (int i = 0; i <= nx; ++i) {
        int il = std::max(0, i - 1), ir = std::min(nx, i + 1);
        int jd = std::max(0, j - 1), ju = std::min(ny, j + 1);
        Vec3 du = world_[j * (nx + 1) + ir] - world_[j * (nx + 1) + il];
        Vec3 dv = world_[ju * (nx + 1) + i] - world_[jd * (nx + 1) + i];
        normal_[j * (nx + 1) + i] = Normalized(Cross(du, dv) * -1.0f);
      }
    }
  }

  ClipVertex Vertex(const Copy& copy, int k, bool back) const {
    ClipVertex c = cam_.ToClip(world_[k]);
    c.u = uv_[k].x, c.v = uv_[k].y;
    Vec3 n = back ? normal_[k] * -1.0f : normal_[k];
    Light(lit_, *copy.object, world_[k], n, back, c.d, c.s);
    return c;
  }

  // Whether the viewer sees the back of triangle (ia, ib, ic).
  bool Back(int ia, int ib, int ic) const {
    Vec3 face = Cross(world_[ib] - world_[ia], world_[ic] - world_[ia]) * -1.0f;
    return Dot(face, Vec3{0, 0, -kEyeDistance} - world_[ia]) < 0;
  }

  Material MaterialOf(const Copy& copy) const {
    Material m;
    m.alpha = copy.alpha;
    m.perspective = ctx_.params->bestQuality;
    m.sampler = ctx_.clips[copy.piece->clip == kIncoming ? 1 : 0];
    return m;
  }

  void Add(const Copy& copy, const DrawTriangle& t) {
    bool opaque = copy.alpha >= 0.999f && !copy.trail;
    (opaque ? out_.opaque : out_.translucent).push_back(t);
  }

  // The mesh cell with corners k[0..3]: triangles (0, 1, 2) and (0, 2, 3). When it is
  // textured, both halves face the same way and nothing needs clipping, the halves carry
  // the cell's number, so that they can be drawn as one quad where they stay next to
  // each other in drawing order (MergeCells).
  void Cell(const Copy& copy, const std::array<int, 4>& k) {
    const bool back = Back(k[0], k[1], k[2]);
    if (ctx_.params->renderMode != 1 && Back(k[0], k[2], k[3]) == back) {
      ClipVertex c[4];
      bool inside = true;
      for (int i = 0; i < 4; ++i) {
        c[i] = Vertex(copy, k[i], back);
        inside = inside && Unclipped(c[i]);
      }
      if (inside) {
        ScreenVertex s[4];
        for (int i = 0; i < 4; ++i) s[i] = cam_.ToScreen(c[i]);
        ++cells_;
        for (int half = 0; half < 2; ++half) {
          const int second = half == 0 ? 1 : 2, third = half == 0 ? 2 : 3;
          DrawTriangle t;
          t.v[0] = s[0], t.v[1] = s[second], t.v[2] = s[third];
          t.material = MaterialOf(copy);
          const float key = (c[0].W + c[second].W + c[third].W) / 3;
          t.key = std::isfinite(key) ? key : 0;
          t.cell = cells_;
          t.half = half;
          Add(copy, t);
        }
        return;
      }
    }
    Triangle(copy, k[0], k[1], k[2], false);
    Triangle(copy, k[0], k[2], k[3], false);
  }

  void Triangle(const Copy& copy, int ia, int ib, int ic, bool withShadow = true) {
    bool back = Back(ia, ib, ic);
    ClipVertex a = Vertex(copy, ia, back), b = Vertex(copy, ib, back), c = Vertex(copy, ic, back);
    Material m = MaterialOf(copy);
    if (ctx_.params->renderMode == 1) {
      const Sampler* sampler = m.sampler;
      m.sampler = nullptr;
      float u0 = std::min({a.u, b.u, c.u}), u1 = std::max({a.u, b.u, c.u});
      float v0 = std::min({a.v, b.v, c.v}), v1 = std::max({a.v, b.v, c.v});
      m.flat = sampler->MeanOver(u0, v0, u1, v1);
      float d = (a.d + b.d + c.d) / 3, s = (a.s + b.s + c.s) / 3;
      a.d = b.d = c.d = d;
      a.s = b.s = c.s = s;
    }
    float key = (a.W + b.W + c.W) / 3;
    if (!std::isfinite(key)) key = 0;
    ClipAndEmit(cam_, a, b, c, [&](const ScreenVertex* v) {
      DrawTriangle t;
      std::copy(v, v + 3, t.v);
      t.material = m;
      t.key = key;
      Add(copy, t);
    });
    if (withShadow && ctx_.params->shadows && !copy.trail) Shadow(copy, ia, ib, ic);
  }

  // Where vertex k's shadow falls on the shadow plane; false when the vertex lies on it.
  bool ShadowPoint(int k, ClipVertex& c) const {
    Vec3 p = world_[k];
    float depth = shadowPlane_ - std::min(p.z, shadowPlane_);
    Vec3 onPlane = p + lit_.light * (-depth / lit_.light.z);
    onPlane.z = shadowPlane_;
    c = cam_.ToClip(onPlane);
    return depth > 1e-3f;
  }

  static int Keep(const Copy& copy) { return 256 - static_cast<int>(120 * copy.alpha); }

  void Shadow(const Copy& copy, int ia, int ib, int ic) {
    const int idx[3] = {ia, ib, ic};
    bool lifted = false;
    ClipVertex c[3];
    for (int i = 0; i < 3; ++i) lifted = ShadowPoint(idx[i], c[i]) || lifted;
    if (!lifted) return;
    ClipAndEmit(cam_, c[0], c[1], c[2], [&](const ScreenVertex* v) {
      DrawShadow s;
      std::copy(v, v + 3, s.v);
      s.keep = Keep(copy);
      out_.shadows.push_back(s);
    });
  }

  // The shadow of the mesh cell with corners k[0..3] (triangles 0 1 2 and 0 2 3): one
  // quad when both halves cast one and nothing needs clipping, else half by half.
  void CellShadow(const Copy& copy, const std::array<int, 4>& k) {
    ClipVertex c[4];
    bool lifted[4];
    for (int i = 0; i < 4; ++i) lifted[i] = ShadowPoint(k[i], c[i]);
    const bool first = lifted[0] || lifted[1] || lifted[2], second = lifted[0] || lifted[2] || lifted[3];
    bool inside = true;
    for (int i = 0; i < 4; ++i) inside = inside && Unclipped(c[i]);
    if (!(first && second && inside)) {
      if (first) Shadow(copy, k[0], k[1], k[2]);
      if (second) Shadow(copy, k[0], k[2], k[3]);
      return;
    }
    DrawShadow s;
    for (int i = 0; i < 4; ++i) s.v[i] = cam_.ToScreen(c[i]);
    s.corners = 4;
    s.keep = Keep(copy);
    out_.shadows.push_back(s);
  }

  void Edges(const Copy& copy, const std::vector<std::pair<int, int>>& edges) {
    const Sampler* sampler = ctx_.clips[copy.piece->clip == kIncoming ? 1 : 0];
    for (auto [ia, ib] : edges) {
      ClipVertex a = Vertex(copy, ia, false), b = Vertex(copy, ib, false);
      float da = a.W - kNear, db = b.W - kNear;
      if (da < 0 && db < 0) continue;
      if (da < 0) a = Mix(a, b, da / (da - db));
      if (db < 0) b = Mix(b, a, db / (db - da));
      ScreenVertex sa = cam_.ToScreen(a), sb = cam_.ToScreen(b);
      Packed texel = sampler->At((a.u + b.u) / 2, (a.v + b.v) / 2);
      float d = (a.d + b.d) / 2 * copy.alpha, s = (a.s + b.s) / 2;
      int k = static_cast<int>(d * 256);
      Packed colour = Pack(std::min(255, ((RedOf(texel) * k) >> 8) + static_cast<int>(s * 255)),
                           std::min(255, ((GreenOf(texel) * k) >> 8) + static_cast<int>(s * 255)),
                           std::min(255, ((BlueOf(texel) * k) >> 8) + static_cast<int>(s * 255)));
      float key = (a.W + b.W) / 2;
      out_.lines.push_back({sa.x, sa.y, sb.x, sb.y, colour, std::isfinite(key) ? key : 0.0f});
    }
  }

  const SceneContext& ctx_;
  DrawLists& out_;
  Camera cam_;
  uint32_t cells_ = 0;  // cells numbered so far
  Lighting lit_{};
  float shadowPlane_ = 0;
  std::vector<Vec3> world_, uv_, normal_;
};

}  // namespace

Vec3 LightVector(float degrees) {
  float a = Radians(degrees);
  return Normalized({0.75f * std::cos(a), 0.75f * std::sin(a), -1});
}

float PathProgress(const Layout& layout, const RestPiece& piece, const ObjectParams& object, float tau) {
  float start = 0.75f * object.changePeriod;
  float t = Clamp01((Clamp01(tau) - start) / (1 - start));
  if (layout.flyOn && layout.mirrorsInTime) t = 1 - t;
  float s = layout.stagger;
  return Clamp01((t - piece.order * s) / (1 - s));
}

bool AnyPieceInView(const SceneContext& ctx, float tau) {
  const Layout& layout = *ctx.layout;
  const FrameParams& params = *ctx.params;
  for (size_t i = 0; i < layout.pieces.size(); ++i) {
    const RestPiece& piece = layout.pieces[i];
    const ObjectParams& object = params.objects[i % static_cast<size_t>(std::max(1, ctx.objectCount))];
    if (1 - object.transparency <= 0.002f) continue;
    float lag = 0.01f + 0.004f * object.trailSpacing;
    for (int k : {0, object.trailCount}) {
      Placement placement = PlaceWithObject(layout, piece, object, PathProgress(layout, piece, object, tau - k * lag));
      int nx = piece.triangle ? 2 : piece.nx, ny = piece.triangle ? 0 : piece.ny;
      float x0 = 1e30f, x1 = -1e30f, y0 = 1e30f, y1 = -1e30f;
      for (int j = 0; j <= ny; ++j) {
        for (int n = 0; n <= nx; ++n) {
          Vec3 rest = piece.triangle ? piece.corner[n]
                                     : Vec3{Lerp(piece.x0, piece.x1, static_cast<float>(n) / nx),
                                            Lerp(piece.y0, piece.y1, static_cast<float>(j) / ny), 0};
          Vec3 p = Place(placement, rest);
          float w = p.z + kEyeDistance;
          if (!(w > kNear)) return true;  // reaching past the viewer: taken as seen
          float x = p.x * kEyeDistance / layout.aspect / w, y = p.y * kEyeDistance / w;
          x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
      }
      if (x0 < 1 && x1 > -1 && y0 < 1 && y1 > -1) return true;  // the frame spans -1..1
    }
  }
  return false;
}

// Nothing is drawn between two halves that are next to each other: drawn as one quad,
// they change no other primitive's place in the order.
void MergeCells(std::vector<DrawTriangle>& list) {
  size_t kept = 0;
  for (size_t i = 0; i < list.size(); ++i, ++kept) {
    DrawTriangle t = list[i];
    if (t.cell != 0 && i + 1 < list.size() && list[i + 1].cell == t.cell) {
      const DrawTriangle& first = t.half == 0 ? t : list[i + 1];
      const DrawTriangle& second = t.half == 0 ? list[i + 1] : t;
      DrawTriangle quad = first;
      quad.v[3] = second.v[2];
      quad.corners = 4;
      t = quad;
      ++i;
    }
    list[kept] = t;
  }
  list.resize(kept);
}

void BuildPass(const SceneContext& ctx, float tau, DrawLists& out) {
  out.Clear();
  const Layout& layout = *ctx.layout;
  const FrameParams& params = *ctx.params;
  std::vector<Copy> copies;
  copies.reserve(layout.pieces.size() * 2);
  for (size_t i = 0; i < layout.pieces.size(); ++i) {
    const RestPiece& piece = layout.pieces[i];
    const ObjectParams& object = params.objects[i % static_cast<size_t>(std::max(1, ctx.objectCount))];
    float alpha = 1 - object.transparency;
    if (alpha <= 0.002f) continue;
    float lag = 0.01f + 0.004f * object.trailSpacing;
    for (int k = 0; k <= object.trailCount; ++k) {
      float q = PathProgress(layout, piece, object, tau - k * lag);
      float a = alpha;
      if (k > 0) {
        a *= 0.7f * (1 - static_cast<float>(k) / (object.trailCount + 1)) * std::min(1.0f, 8 * q * (1 - q));
        if (a < 0.01f) continue;
      }
      copies.push_back({&piece, PlaceWithObject(layout, piece, object, q), &object, a, k > 0});
    }
  }
  if (params.centerObjects && ctx.filterMode && !copies.empty()) {
    // Keep the objects centred: take away the drift they share.
    Vec3 drift;
    int n = 0;
    for (const Copy& c : copies) {
      if (c.trail) continue;
      drift = drift + (Place(c.placement, c.piece->centre) - c.piece->centre);
      ++n;
    }
    if (n > 0) {
      drift = drift * (1.0f / n);
      drift.z = 0;
      for (Copy& c : copies) c.placement.translation = c.placement.translation - drift;
    }
  }
  PieceEmitter emitter(ctx, out);
  for (const Copy& c : copies) emitter.Emit(c);
  std::stable_sort(out.opaque.begin(), out.opaque.end(),
                   [](const DrawTriangle& a, const DrawTriangle& b) { return a.key < b.key; });
  std::stable_sort(out.translucent.begin(), out.translucent.end(),
                   [](const DrawTriangle& a, const DrawTriangle& b) { return a.key > b.key; });
  MergeCells(out.opaque);
  MergeCells(out.translucent);
  std::stable_sort(out.lines.begin(), out.lines.end(),
                   [](const DrawLine& a, const DrawLine& b) { return a.key > b.key; });
}

}  // namespace lmx::engine
