// The options of each kind and how each kind cuts the clips into pieces.
#include <algorithm>
#include <cmath>

#include "motion.h"

namespace lmx::engine {

namespace {

float Radians(float degrees) { return degrees * (kPi / 180.0f); }

struct KindDefaults {
  int rows, columns;
  float spinDegrees, lift, scatter, curl, twistDegrees;
  bool vertical;
};

KindDefaults DefaultsOf(MotionKind kind) {
  switch (kind) {
    case MotionKind::Tiles: return {4, 4, 360, 60, 40, 0, 0, false};
    case MotionKind::Strips: return {8, 8, 0, 40, 20, 50, 0, true};
    case MotionKind::Doors: return {1, 2, 0, 30, 0, 0, 0, true};
    case MotionKind::Cube: return {1, 1, 0, 50, 0, 0, 0, true};
    case MotionKind::Page: return {1, 1, 0, 30, 0, 50, 0, true};
    case MotionKind::Shards: return {4, 4, 360, 50, 50, 0, 0, false};
    case MotionKind::Spiral: return {4, 4, 180, 40, 20, 0, 270, false};
    default: return {1, 1, 180, 50, 0, 0, 0, true};
  }
}

RestPiece Rectangle(float x0, float y0, float x1, float y1, int nx, int ny, int clip) {
  RestPiece p;
  p.x0 = x0, p.y0 = y0, p.x1 = x1, p.y1 = y1;
  p.nx = std::max(1, nx), p.ny = std::max(1, ny);
  p.clip = clip;
  p.centre = {(x0 + x1) / 2, (y0 + y1) / 2, 0};
  return p;
}

// A grid of rows x columns rectangles over the picture, row 0 at the top.
void Grid(Layout& layout, int rows, int columns, int detail, int clip) {
  float a = layout.aspect;
  int sub = std::max(1, 4 * detail / std::max(rows, columns));
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      float x0 = -a + 2 * a * c / columns, x1 = -a + 2 * a * (c + 1) / columns;
      float y1 = 1 - 2.0f * r / rows, y0 = 1 - 2.0f * (r + 1) / rows;
      RestPiece p = Rectangle(x0, y0, x1, y1, sub, sub, clip);
      p.seed = static_cast<unsigned>(r * 8 + c + 1);
      layout.pieces.push_back(p);
    }
  }
}

// Orders from 0 (first) to 1 (last) by a key per piece, nudged by scatter.
void OrderBy(Layout& layout, float (*key)(const Layout&, const RestPiece&)) {
  float lo = 1e30f, hi = -1e30f;
  for (const RestPiece& p : layout.pieces) {
    float k = key(layout, p);
    lo = std::min(lo, k), hi = std::max(hi, k);
  }
  float span = hi > lo ? hi - lo : 1;
  for (RestPiece& p : layout.pieces) {
    float o = (key(layout, p) - lo) / span;
    o = Clamp01(o + (Hash01(p.seed, 1) - 0.5f) * layout.options.scatter * 0.6f);
    p.order = layout.options.reverse ? 1 - o : o;
  }
}

float DiagonalKey(const Layout& l, const RestPiece& p) { return p.centre.x / l.aspect - p.centre.y; }
float CentreKey(const Layout&, const RestPiece& p) { return std::hypot(p.centre.x, p.centre.y); }
float AlongKey(const Layout& l, const RestPiece& p) { return l.options.vertical ? p.centre.x : -p.centre.y; }

// Triangular shards from a jittered grid; border points stay on the border.
void Shards(Layout& layout, int rows, int columns) {
  float a = layout.aspect;
  auto point = [&](int r, int c) {
    float x = -a + 2 * a * c / columns, y = 1 - 2.0f * r / rows;
    unsigned s = static_cast<unsigned>(r * 17 + c + 3);
    float jitter = 0.25f + 0.5f * layout.options.scatter;
    if (c > 0 && c < columns) x += (Hash01(s, 2) - 0.5f) * jitter * 2 * a / columns;
    if (r > 0 && r < rows) y += (Hash01(s, 3) - 0.5f) * jitter * 2.0f / rows;
    return Vec3{x, y, 0};
  };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      Vec3 p00 = point(r, c), p01 = point(r, c + 1), p10 = point(r + 1, c), p11 = point(r + 1, c + 1);
      unsigned seed = static_cast<unsigned>(r * 8 + c + 1);
      bool flip = Hash01(seed, 4) < 0.5f;
      Vec3 tris[2][3] = {{p00, p10, flip ? p11 : p01}, {flip ? p00 : p10, p11, p01}};
      for (int t = 0; t < 2; ++t) {
        RestPiece piece;
        piece.triangle = true;
        for (int k = 0; k < 3; ++k) piece.corner[k] = tris[t][k];
        piece.centre = (tris[t][0] + tris[t][1] + tris[t][2]) * (1.0f / 3);
        piece.seed = seed * 2 + static_cast<unsigned>(t);
        piece.clip = kOutgoing;
        layout.pieces.push_back(piece);
      }
    }
  }
}

}  // namespace

MotionKind KnownKind(uint32_t secondType) {
  if (secondType == 0 || secondType >= kMotionKindCount) return MotionKind::Plane;
  return static_cast<MotionKind>(secondType);
}

KindOptions ReadKindOptions(MotionKind kind, const FrameParams& params) {
  KindDefaults d = DefaultsOf(kind);
  KindOptions o;
  o.rows = static_cast<int>(params.Option(TagRows, static_cast<float>(d.rows), 1, 8));
  o.columns = static_cast<int>(params.Option(TagColumns, static_cast<float>(d.columns), 1, 8));
  o.spin = Radians(params.Option(TagSpin, d.spinDegrees, 0, 720));
  o.lift = params.Option(TagLift, d.lift, 0, 100) / 100.0f;
  o.vertical = params.Option(TagAxis, d.vertical ? 1.0f : 0.0f, 0, 1) >= 0.5f;
  o.scatter = params.Option(TagScatter, d.scatter, 0, 100) / 100.0f;
  o.curl = params.Option(TagCurl, d.curl, 0, 100) / 100.0f;
  o.twist = Radians(params.Option(TagTwist, d.twistDegrees, 0, 360));
  o.reverse = params.Option(TagReverse, 0, 0, 1) >= 0.5f;
  o.bounce = params.Option(TagBounce, 0, 0, 1) >= 0.5f;
  return o;
}

Layout BuildLayout(MotionKind kind, const KindOptions& options, float aspect, bool flyOn, int detail) {
  Layout layout;
  layout.kind = kind;
  layout.options = options;
  layout.aspect = aspect;
  layout.flyOn = flyOn;
  int moving = flyOn ? kIncoming : kOutgoing;
  layout.background = flyOn ? kOutgoing : kIncoming;
  float a = aspect;
  int full = 4 * detail;
  switch (kind) {
    case MotionKind::Tiles:
      Grid(layout, options.rows, options.columns, detail, moving);
      OrderBy(layout, DiagonalKey);
      layout.stagger = 0.55f;
      break;
    case MotionKind::Strips: {
      int n = options.vertical ? options.columns : options.rows;
      for (int i = 0; i < n; ++i) {
        RestPiece p = options.vertical
                          ? Rectangle(-a + 2 * a * i / n, -1, -a + 2 * a * (i + 1) / n, 1, 1, 6 * detail, moving)
                          : Rectangle(-a, 1 - 2.0f * (i + 1) / n, a, 1 - 2.0f * i / n, 6 * detail, 1, moving);
        p.seed = static_cast<unsigned>(i + 1);
        layout.pieces.push_back(p);
      }
      OrderBy(layout, AlongKey);
      layout.stagger = 0.6f;
      break;
    }
    case MotionKind::Doors:
      if (options.vertical) {
        layout.pieces.push_back(Rectangle(-a, -1, 0, 1, full / 2, full, moving));
        layout.pieces.push_back(Rectangle(0, -1, a, 1, full / 2, full, moving));
      } else {
        layout.pieces.push_back(Rectangle(-a, 0, a, 1, full, full / 2, moving));
        layout.pieces.push_back(Rectangle(-a, -1, a, 0, full, full / 2, moving));
      }
      for (size_t i = 0; i < layout.pieces.size(); ++i) layout.pieces[i].seed = static_cast<unsigned>(i + 1);
      break;
    case MotionKind::Cube:
      // The outgoing clip on the front face, the incoming one on the face that turns in.
      layout.pieces.push_back(Rectangle(-a, -1, a, 1, full, full, kOutgoing));
      layout.pieces.push_back(Rectangle(-a, -1, a, 1, full, full, kIncoming));
      layout.pieces[1].seed = 1;
      layout.mirrorsInTime = false;
      layout.background = 2;
      break;
    case MotionKind::Page:
      layout.pieces.push_back(options.vertical ? Rectangle(-a, -1, a, 1, 16 * detail, 2, moving)
                                               : Rectangle(-a, -1, a, 1, 2, 16 * detail, moving));
      break;
    case MotionKind::Shards:
      Shards(layout, options.rows, options.columns);
      for (RestPiece& p : layout.pieces) p.clip = moving;
      OrderBy(layout, CentreKey);
      layout.stagger = 0.5f;
      break;
    case MotionKind::Spiral:
      Grid(layout, options.rows, options.columns, detail, moving);
      OrderBy(layout, CentreKey);
      layout.stagger = 0.5f;
      break;
    default:
      layout.kind = MotionKind::Plane;
      layout.pieces.push_back(Rectangle(-a, -1, a, 1, full, full, moving));
      break;
  }
  return layout;
}

}  // namespace lmx::engine
