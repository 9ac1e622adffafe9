#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "sample_ops.h"

namespace lmx::engine {

namespace {

// Sample positions per count: fixed patterns for 2, 4 and 8, spread rows otherwise.
void SamplePattern(int n, float* xs, float* ys) {
  static const float k2[2][2] = {{0.25f, 0.25f}, {0.75f, 0.75f}};
  static const float k4[4][2] = {{0.375f, 0.125f}, {0.875f, 0.375f}, {0.125f, 0.625f}, {0.625f, 0.875f}};
  static const int k8[8][2] = {{1, -3}, {-1, 3}, {5, 1}, {-3, -5}, {-5, 5}, {-7, -1}, {3, 7}, {7, -7}};
  for (int i = 0; i < n; ++i) {
    if (n == 1) {
      xs[i] = ys[i] = 0.5f;
    } else if (n == 2) {
      xs[i] = k2[i][0], ys[i] = k2[i][1];
    } else if (n == 4) {
      xs[i] = k4[i][0], ys[i] = k4[i][1];
    } else if (n == 8) {
      xs[i] = 0.5f + k8[i][0] / 16.0f, ys[i] = 0.5f + k8[i][1] / 16.0f;
    } else {
      xs[i] = (i + 0.5f) / n;
      float g = i * 0.618034f + 0.31f;
      ys[i] = g - std::floor(g);
    }
  }
}

// u, v, diffuse and specular at a point, interpolated together.
#if defined(__SSE2__)
struct Attributes {
  __m128 lanes;  // u, v, diffuse, specular from the lowest lane
  static Attributes Of(float u, float v, float d, float s) { return {_mm_set_ps(s, d, v, u)}; }
  Attributes operator+(Attributes o) const { return {_mm_add_ps(lanes, o.lanes)}; }
  Attributes operator*(float f) const { return {_mm_mul_ps(lanes, _mm_set1_ps(f))}; }
};
#else
struct Attributes {
  float u, v, d, s;
  static Attributes Of(float u, float v, float d, float s) { return {u, v, d, s}; }
  Attributes operator+(Attributes o) const { return {u + o.u, v + o.v, d + o.d, s + o.s}; }
  Attributes operator*(float f) const { return {u * f, v * f, d * f, s * f}; }
};
#endif

// texel * diffuse + specular per channel, at most 255 (diffuse below 0 counts as 0,
// specular is clamped to [0, 1]).
inline Packed Shade(Packed texel, Attributes a) {
#if defined(__SSE2__)
  // d = diffuse * 256 and s = specular * 255 side by side; above 255 every channel but a
  // black one saturates, as it does at 255. (c << 8) * d >> 16 is (c * d) >> 8, and the
  // sum is capped at 255 before packing.
  __m128 ds = _mm_max_ps(_mm_movehl_ps(a.lanes, a.lanes), _mm_setzero_ps());
  ds = _mm_mul_ps(_mm_min_ps(ds, _mm_set_ps(1.0f, 255.0f, 1.0f, 255.0f)), _mm_set_ps(255.0f, 256.0f, 255.0f, 256.0f));
  __m128i dsi = _mm_cvttps_epi32(ds);
  const __m128i zero = _mm_setzero_si128();
  __m128i c = _mm_unpacklo_epi8(zero, _mm_cvtsi32_si128(static_cast<int>(texel)));
  __m128i lit = _mm_adds_epu16(_mm_mulhi_epu16(c, _mm_shufflelo_epi16(dsi, _MM_SHUFFLE(0, 0, 0, 0))),
                               _mm_shufflelo_epi16(dsi, _MM_SHUFFLE(2, 2, 2, 2)));
  lit = _mm_sub_epi16(lit, _mm_subs_epu16(lit, _mm_set1_epi16(255)));
  return static_cast<Packed>(_mm_cvtsi128_si32(_mm_packus_epi16(lit, zero))) & 0xFFFFFF;
#else
  float diffuse = a.d > 0 ? (a.d < 255.0f ? a.d : 255.0f) : 0.0f;
  float specular = a.s > 0 ? (a.s < 1.0f ? a.s : 1.0f) : 0.0f;
  int d = static_cast<int>(diffuse * 256), s = static_cast<int>(specular * 255);
  if (d == 256 && s == 0) return texel;
  int r = std::min(255, ((RedOf(texel) * d) >> 8) + s);
  int g = std::min(255, ((GreenOf(texel) * d) >> 8) + s);
  int b = std::min(255, ((BlueOf(texel) * d) >> 8) + s);
  return Pack(r, g, b);
#endif
}

#if defined(__SSE2__)
// Shade for four texels at once, diffuse and specular of each in the lanes of d and s.
inline __m128i Shade4(__m128i texels, __m128 d, __m128 s) {
  const __m128 zero = _mm_setzero_ps();
  const __m128 dClamped = _mm_min_ps(_mm_max_ps(d, zero), _mm_set1_ps(255.0f));
  const __m128 sClamped = _mm_min_ps(_mm_max_ps(s, zero), _mm_set1_ps(1.0f));
  const __m128i di = _mm_cvttps_epi32(_mm_mul_ps(dClamped, _mm_set1_ps(256.0f)));
  const __m128i si = _mm_cvttps_epi32(_mm_mul_ps(sClamped, _mm_set1_ps(255.0f)));
  __m128i dLo, dHi, sLo, sHi;
  TexelFetch::Spread16(di, dLo, dHi);
  TexelFetch::Spread16(si, sLo, sHi);
  const __m128i zero16 = _mm_setzero_si128(), cap = _mm_set1_epi16(255);
  auto lit = [&](__m128i c, __m128i dd, __m128i ss) {
    __m128i l = _mm_adds_epu16(_mm_mulhi_epu16(c, dd), ss);
    return _mm_sub_epi16(l, _mm_subs_epu16(l, cap));
  };
  const __m128i lo = lit(_mm_unpacklo_epi8(zero16, texels), dLo, sLo);
  const __m128i hi = lit(_mm_unpackhi_epi8(zero16, texels), dHi, sHi);
  return _mm_and_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(0xFFFFFF));
}
#endif

#if defined(__SSE2__)
// The colours of four pixels none of which is split: the background's where a pixel's
// state byte (of `states`) is 0, its whole colour (the first of its four floats from
// whole4 on) otherwise.
inline __m128i ShownColours4(uint32_t states, const float* whole4, const Packed* background) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i state = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(states)), zero), zero);
  const __m128i isBackground = _mm_cmpeq_epi32(state, zero);
  const __m128 firstTwo = _mm_unpacklo_ps(_mm_loadu_ps(whole4), _mm_loadu_ps(whole4 + 4));
  const __m128 lastTwo = _mm_unpacklo_ps(_mm_loadu_ps(whole4 + 8), _mm_loadu_ps(whole4 + 12));
  const __m128i wholeColours = _mm_castps_si128(_mm_movelh_ps(firstTwo, lastTwo));
  const __m128i backgrounds = _mm_loadu_si128(reinterpret_cast<const __m128i*>(background));
  return sse::Select(isBackground, backgrounds, wholeColours);
}
#endif

// a(x, y) = a0 + ax * x + ay * y through three values at the vertices.
struct Plane {
  float a0, ax, ay;
  float At(float x, float y) const { return a0 + ax * x + ay * y; }
};

Plane PlaneThrough(const ScreenVertex* v, float f0, float f1, float f2, float invArea) {
  float dx1 = v[1].x - v[0].x, dy1 = v[1].y - v[0].y;
  float dx2 = v[2].x - v[0].x, dy2 = v[2].y - v[0].y;
  float d1 = f1 - f0, d2 = f2 - f0;
  float ax = (d1 * dy2 - d2 * dy1) * invArea;
  float ay = (d2 * dx1 - d1 * dx2) * invArea;
  return {f0 - ax * v[0].x - ay * v[0].y, ax, ay};
}

// The planes through triangle t (of area 1 / invArea): depth, the texture coordinates
// (divided by the distance, for perspective) and the lighting; depth only without kAll.
enum PlaneIndex { kDepthPlane, kUPlane, kVPlane, kDiffusePlane, kSpecularPlane, kPlanes };
template <bool kAll>
void PlanesThrough(const ScreenVertex* t, float invArea, bool perspective, Plane* planes) {
  planes[kDepthPlane] = PlaneThrough(t, t[0].invW, t[1].invW, t[2].invW, invArea);
  if constexpr (kAll) {
    auto uOf = [&](const ScreenVertex& p) { return perspective ? p.u * p.invW : p.u; };
    auto vOf = [&](const ScreenVertex& p) { return perspective ? p.v * p.invW : p.v; };
    planes[kUPlane] = PlaneThrough(t, uOf(t[0]), uOf(t[1]), uOf(t[2]), invArea);
    planes[kVPlane] = PlaneThrough(t, vOf(t[0]), vOf(t[1]), vOf(t[2]), invArea);
    planes[kDiffusePlane] = PlaneThrough(t, t[0].diffuse, t[1].diffuse, t[2].diffuse, invArea);
    planes[kSpecularPlane] = PlaneThrough(t, t[0].specular, t[1].specular, t[2].specular, invArea);
  }
}

// The depth and attribute planes of a triangle, with what the rasteriser derives from them.
struct Surface {
  Plane depth;
  float halfStep;  // depth from a pixel's centre to its lower left corner
  float depthOff[kMaxSamples];  // depth at each sample position from the pixel's corner
  Attributes attributes0, attributesX, attributesY;
#if defined(__SSE2__)
  __m128 halfStep4, depthX4, depthY4;
  __m128 slopes;  // a whole pixel's depth slopes, twice
#endif
};

// The surface of triangle t (of area 1 / invArea) for material m (null: depth only).
template <bool kDepthOnly>
Surface MakeSurface(const ScreenVertex* t, float invArea, const Material* m, const float* sx, const float* sy,
                    int samples) {
  Plane planes[kPlanes] = {};
  PlanesThrough<!kDepthOnly>(t, invArea, m != nullptr && m->perspective, planes);
  const Plane& depth = planes[kDepthPlane];
  const Plane &pu = planes[kUPlane], &pv = planes[kVPlane], &pd = planes[kDiffusePlane], &ps = planes[kSpecularPlane];
  Surface f;
  f.depth = depth;
  for (int s = 0; s < samples; ++s) f.depthOff[s] = depth.ax * sx[s] + depth.ay * sy[s];
  f.halfStep = 0.5f * (depth.ax + depth.ay);
  f.attributes0 = Attributes::Of(pu.a0, pv.a0, pd.a0, ps.a0);
  f.attributesX = Attributes::Of(pu.ax, pv.ax, pd.ax, ps.ax);
  f.attributesY = Attributes::Of(pu.ay, pv.ay, pd.ay, ps.ay);
#if defined(__SSE2__)
  f.halfStep4 = _mm_set1_ps(f.halfStep), f.depthX4 = _mm_set1_ps(depth.ax), f.depthY4 = _mm_set1_ps(depth.ay);
  f.slopes = _mm_set_ps(depth.ay, depth.ax, depth.ay, depth.ax);
#endif
  return f;
}

// Whether two planes have the same slopes, but for `absolute` and 1/64 of the first's.
bool SameSlopes(const Plane& p, const Plane& q, float absolute) {
  const float apart = std::fabs(p.ax - q.ax) + std::fabs(p.ay - q.ay);
  return apart <= absolute + (std::fabs(p.ax) + std::fabs(p.ay)) / 64;
}

// Whether the halves (0, 1, 2) and (0, 2, 3) of quad v interpolate depth and attributes
// alike: then a pixel the diagonal crosses looks the same shaded by either half (to
// within a level or two, and a hundredth of a texel), and the quad can be drawn as one.
// Halves of a flat piece, with perspective-correct textures, agree; those of a bent one
// or with textures interpolated across the screen often do not.
bool HalvesAgree(const ScreenVertex* v, const Material& m) {
  const ScreenVertex second[3] = {v[0], v[2], v[3]};
  const ScreenVertex* halves[2] = {v, second};
  Plane planes[2][kPlanes];
  for (int h = 0; h < 2; ++h) {
    const ScreenVertex* t = halves[h];
    const float area = (t[1].x - t[0].x) * (t[2].y - t[0].y) - (t[2].x - t[0].x) * (t[1].y - t[0].y);
    if (!(std::fabs(area) > 0)) return false;
    PlanesThrough<true>(t, 1.0f / area, m.perspective, planes[h]);
  }
  constexpr float kLevel = 1.0f / 255;
  const float absolute[kPlanes] = {1e-9f, 1e-6f, 1e-6f, 2 * kLevel, 2 * kLevel};
  for (int i = 0; i < kPlanes; ++i) {
    if (!SameSlopes(planes[0][i], planes[1][i], absolute[i])) return false;
  }
  return true;
}

// The colour of a primitive's fragments, from the attributes at a pixel centre.
class FragmentShader {
 public:
  // m may be null (a shadow): Colour is then never called.
  explicit FragmentShader(const Material* m)
      : flat_(m ? m->flat : 0), textured_(m && m->sampler), perspective_(m && m->perspective),
        fetch_(m ? m->sampler : nullptr) {}

  // z: the depth plane's value (1 / distance), for perspective.
  Packed Colour(float z, Attributes a) const {
    Packed colour = flat_;
    if (textured_) {
      float inv = perspective_ ? (z > 1e-12f ? 1.0f / z : 0.0f) : 1.0f;
#if defined(__SSE2__)
      colour = fetch_.At(perspective_ ? _mm_mul_ps(a.lanes, _mm_set1_ps(inv)) : a.lanes);
#else
      colour = fetch_.At(a.u * inv, a.v * inv);
#endif
    }
    return Shade(colour, a);
  }
#if defined(__SSE2__)
  // Whether Colour4 serves this primitive.
  bool HasLanes() const { return !textured_ || fetch_.HasLanes(); }
  // Colour for four pixels at once, each value's four pixels in its lanes; HasLanes()
  // must hold. The same colours as Colour, lane by lane.
  __m128i Colour4(__m128 z, __m128 u, __m128 v, __m128 d, __m128 s) const {
    __m128i texels = _mm_set1_epi32(static_cast<int>(flat_));
    if (textured_) {
      if (perspective_) {
        const __m128 inv = _mm_and_ps(_mm_cmpgt_ps(z, _mm_set1_ps(1e-12f)), _mm_div_ps(_mm_set1_ps(1.0f), z));
        u = _mm_mul_ps(u, inv), v = _mm_mul_ps(v, inv);
      }
      texels = fetch_.At4(u, v);
    }
    return Shade4(texels, d, s);
  }
#endif

 private:
  Packed flat_;
  bool textured_, perspective_;
  TexelFetch fetch_;
};

// floor(num / den) for den > 0, clamped to [lo, hi] (a span of a few thousand).
[[gnu::always_inline]] inline int FloorDivIn(int64_t num, int64_t den, int lo, int hi) {
#if defined(__x86_64__) || defined(__aarch64__)
  // One division instruction gives quotient and remainder.
  int64_t q = num / den;
  if (num % den != 0 && num < 0) --q;
  return static_cast<int>(std::clamp<int64_t>(q, lo, hi));
#else
  // A 32-bit target divides 64-bit integers in a runtime call: one division in double
  // instead, put right by one step with exact products (the double's quotient is off by
  // less than one wherever the clamp does not decide).
  const double below = lo - 2.0;
  const double q = std::min(std::max(static_cast<double>(num) / static_cast<double>(den), below), hi + 2.0);
  int k = static_cast<int>(q - below) + (lo - 2);  // truncating a value >= 0 floors it
  if (k >= lo && static_cast<int64_t>(k) * den > num) {
    --k;
  } else if (k <= hi && static_cast<int64_t>(k + 1) * den <= num) {
    ++k;
  }
  return std::clamp(k, lo, hi);
#endif
}

// Narrows [first, last] (pixel offsets 0..n along a row) to the k with v + step * k > 0.
[[gnu::always_inline]] inline void Passing(int64_t v, int64_t step, int n, int& first, int& last) {
  if (step > 0) {
    first = std::max(first, FloorDivIn(-v, step, -1, n) + 1);  // the smallest k passing
  } else if (step < 0) {
    last = std::min(last, -FloorDivIn(-v, -step, -n - 1, 0) - 1);  // the largest: ceil(v / -step) - 1
  } else if (v <= 0) {
    first = n + 1;
  }
}

bool Finite(const ScreenVertex& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.invW) && std::isfinite(v.u) &&
         std::isfinite(v.v) && std::isfinite(v.diffuse) && std::isfinite(v.specular);
}

// A vertex's position in 1/kSubPixels of a pixel; false when it lies too far out.
bool Snap(const ScreenVertex& v, int64_t& x, int64_t& y) {
  if (!(std::fabs(v.x) < kMaxCoordinate && std::fabs(v.y) < kMaxCoordinate)) return false;
  x = std::llround(v.x * kSubPixels), y = std::llround(v.y * kSubPixels);
  return true;
}

// Whether quad v[0..3] is convex once snapped to the grid: every turn along its outline
// the same way, none straight.
bool ConvexOnGrid(const ScreenVertex* v) {
  int64_t X[4], Y[4];
  for (int i = 0; i < 4; ++i) {
    if (!Finite(v[i]) || !Snap(v[i], X[i], Y[i])) return false;
  }
  int sign = 0;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4, k = (i + 2) % 4;
    const int64_t turn = (X[j] - X[i]) * (Y[k] - Y[j]) - (Y[j] - Y[i]) * (X[k] - X[j]);
    const int turnSign = turn > 0 ? 1 : (turn < 0 ? -1 : 0);
    if (turnSign == 0 || (sign != 0 && turnSign != sign)) return false;
    sign = turnSign;
  }
  return true;
}

}  // namespace

void SampleFrame::Reset(int width, int height, int samples, int tileRows) {
  width_ = width, height_ = height;
  samples_ = std::clamp(samples, 1, kMaxSamples);
  SamplePattern(samples_, sx_, sy_);
  for (int s = 0; s < samples_; ++s) {
    subX_[s] = std::lround(sx_[s] * kSubPixels), subY_[s] = std::lround(sy_[s] * kSubPixels);
    sx_[s] = subX_[s] / kSubPixels, sy_[s] = subY_[s] / kSubPixels;
  }
  tileRows_ = tileRows > 0 ? std::min(tileRows, height) : height;
  const size_t pixels = static_cast<size_t>(width) * tileRows_;
  state_.resize(pixels);
  whole_.resize(pixels);
  wholeShadow_.resize(pixels);
  // A slot's size may have changed: the slots given out start again.
  slotCapacity_ = colour_.size() / samples_;
  splitCount_ = 0;
  SetTile(0, tileRows_);
  firstRow_ = 0, rowStep_ = 1;
  fragments_ = written_ = 0;
}

void SampleFrame::SetTile(int first, int rows) {
  tileFirst_ = std::clamp(first, 0, height_);
  tileEnd_ = std::clamp(first + std::min(rows, tileRows_), tileFirst_, height_);
}

void SampleFrame::GrowSlots(size_t slots) {
  // Doubling keeps the copies few; a pass rarely splits more than a part of its pixels.
  const size_t grown = std::max({slots, 2 * slotCapacity_, size_t{1024}});
  const size_t n = grown * samples_;
  colour_.resize(n);
  depth_.resize(n);
  shadowed_.resize(n);
  slotCapacity_ = grown;
}

void SampleFrame::TrimSamples() {
  const size_t keep = peakSplit_ * samples_;
  if (colour_.size() > 2 * keep + 4096) {
    // shrink_to_fit copies what is kept into a buffer of its size.
    colour_.resize(keep), colour_.shrink_to_fit();
    depth_.resize(keep), depth_.shrink_to_fit();
    shadowed_.resize(keep), shadowed_.shrink_to_fit();
    slotCapacity_ = peakSplit_;
  }
  peakSplit_ = 0;
}

size_t SampleFrame::heldBytes() const {
  return colour_.capacity() * sizeof(Packed) + depth_.capacity() * sizeof(float) + shadowed_.capacity() +
         state_.capacity() + whole_.capacity() * sizeof(WholePixel) + wholeShadow_.capacity();
}

void SampleFrame::SetRows(int first, int step) {
  firstRow_ = std::max(0, first);
  rowStep_ = std::max(1, step);
}

void SampleFrame::SetBackground(const std::vector<Packed>& background) { background_ = &background; }

void SampleFrame::BeginPass() {
  std::fill(state_.begin(), state_.begin() + static_cast<ptrdiff_t>(PixelAt(0, tileEnd_)),
            static_cast<uint8_t>(kBackground));
  splitCount_ = 0;
}

bool SampleFrame::OutsideTile(const ScreenVertex* v, int corners) const {
  // A pixel of margin covers the snapping to the grid; NaN is never outside here.
  float lo = v[0].y, hi = v[0].y;
  for (int i = 1; i < corners; ++i) lo = std::min(lo, v[i].y), hi = std::max(hi, v[i].y);
  return hi < static_cast<float>(tileFirst_) - 1 || lo > static_cast<float>(tileEnd_) + 1;
}

void SampleFrame::DrawTriangle(const ScreenVertex* v, const Material& m) {
  if (!OutsideTile(v, 3)) Rasterise<false, 3>(v, &m, 0);
}

void SampleFrame::DrawShadow(const ScreenVertex* v, int keep) {
  if (!OutsideTile(v, 3)) Rasterise<true, 3>(v, nullptr, keep);
}

void SampleFrame::DrawShadowQuad(const ScreenVertex* v, int keep) {
  if (OutsideTile(v, 4)) return;
  if (ConvexOnGrid(v)) return Rasterise<true, 4>(v, nullptr, keep);
  const ScreenVertex second[3] = {v[0], v[2], v[3]};
  DrawShadow(v, keep);
  DrawShadow(second, keep);
}

void SampleFrame::DrawQuad(const ScreenVertex* v, const Material& m) {
  if (OutsideTile(v, 4)) return;
  if (ConvexOnGrid(v) && HalvesAgree(v, m)) return Rasterise<false, 4>(v, &m, 0);
  const ScreenVertex second[3] = {v[0], v[2], v[3]};
  DrawTriangle(v, m);
  DrawTriangle(second, m);
}

template <bool kShadow, int kCorners>
void SampleFrame::Rasterise(const ScreenVertex* in, const Material* m, int keep) {
  static_assert(kCorners == 3 || kCorners == 4);
  ScreenVertex v[kCorners];
  // Positions in 1/256 pixel, as integers: every edge function below is exact, so two
  // triangles sharing an edge get exactly opposite values at every sample and the
  // top-left rule gives each sample to exactly one of them.
  int64_t X[kCorners], Y[kCorners];
  for (int i = 0; i < kCorners; ++i) {
    if (!Finite(in[i])) return;
    v[i] = in[i];
    if (!Snap(v[i], X[i], Y[i])) return;
  }
  int64_t area2 = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  if (area2 == 0) return;
  if (area2 < 0) {  // turned round: the last corner and the second change places
    constexpr int last = kCorners - 1;
    std::swap(v[1], v[last]), std::swap(X[1], X[last]), std::swap(Y[1], Y[last]);
    area2 = -area2;
  }
  for (int i = 0; i < kCorners; ++i) v[i].x = X[i] / kSubPixels, v[i].y = Y[i] / kSubPixels;
  int64_t minX = X[0], maxX = X[0], minY = Y[0], maxY = Y[0];
  for (int i = 1; i < kCorners; ++i) {
    minX = std::min(minX, X[i]), maxX = std::max(maxX, X[i]);
    minY = std::min(minY, Y[i]), maxY = std::max(maxY, Y[i]);
  }
  const int64_t sub = static_cast<int64_t>(kSubPixels);
  if (maxX <= 0 || maxY <= tileFirst_ * sub || minX >= width_ * sub || minY >= tileEnd_ * sub) return;
  int x0 = static_cast<int>(std::max<int64_t>(0, minX / sub));
  int x1 = static_cast<int>(std::min<int64_t>(width_ - 1, maxX / sub));
  int y0 = static_cast<int>(std::max<int64_t>(tileFirst_, minY / sub));
  int y1 = static_cast<int>(std::min<int64_t>(tileEnd_ - 1, maxY / sub));

  // Edge i runs from vertex i to vertex i + 1: E = a (x - xi) + b (y - yi), in 1/65536
  // of a square pixel. A sample is inside where E + topLeft > 0 for every edge: E > 0, or
  // E = 0 on a top or left edge. A convex quad is the two triangles (0, 1, 2) and
  // (0, 2, 3) with the same samples, without the edge between them.
  constexpr int kEdges = kCorners;
  const int S = samples_;
  int64_t a[kEdges], b[kEdges], rejectBias[kEdges], acceptBias[kEdges], sampleBias[kEdges][kMaxSamples];
  constexpr int32_t kNarrow = 1 << 30;
  bool narrow = true;
  for (int i = 0; i < kEdges; ++i) {
    int j = (i + 1) % kEdges;
    a[i] = -(Y[j] - Y[i]);
    b[i] = X[j] - X[i];
    int64_t topLeft = (Y[j] - Y[i]) < 0 || ((Y[j] - Y[i]) == 0 && (X[j] - X[i]) > 0) ? 1 : 0;
    int64_t lo = INT64_MAX, hi = INT64_MIN;
    for (int s = 0; s < S; ++s) {
      sampleBias[i][s] = a[i] * subX_[s] + b[i] * subY_[s] + topLeft;
      lo = std::min(lo, sampleBias[i][s]), hi = std::max(hi, sampleBias[i][s]);
    }
    rejectBias[i] = hi;  // no sample of the pixel inside when E + hi <= 0
    acceptBias[i] = lo;  // every sample inside when E + lo > 0
    narrow = narrow && hi - lo < kNarrow;
  }
  // Where every edge's biases span less than kNarrow, a pixel that an edge crosses
  // (E + hi > 0 >= E + lo) is tested in 32 bits: sample s is inside where
  // (E + lo) + (bias[s] - lo) > 0, both terms within kNarrow of 0.
  int32_t sampleRise[kEdges][kMaxSamples];
  if (narrow) {
    for (int i = 0; i < kEdges; ++i) {
      for (int s = 0; s < kMaxSamples; ++s) {
        sampleRise[i][s] = s < S ? static_cast<int32_t>(sampleBias[i][s] - acceptBias[i]) : -kNarrow;
      }
    }
  }
  const FragmentShader shader(m);
  int alpha256 = 256;
  if constexpr (!kShadow) {
    alpha256 = std::clamp(static_cast<int>(m->alpha * 256 + 0.5f), 0, 256);
    if (alpha256 == 0) return;
  }
  // The depth and attribute planes: of the triangle, or of each half of a quad, the
  // pixels whose centre lies beyond the diagonal from corner 0 to 2 taking the second's.
  constexpr int kSurfaces = kCorners == 4 && !kShadow ? 2 : 1;
  Surface surfaces[kSurfaces];
  for (int h = 0; h < kSurfaces; ++h) {
    const int i0 = 0, i1 = h == 0 ? 1 : 2, i2 = h == 0 ? 2 : 3;
    const ScreenVertex t[3] = {v[i0], v[i1], v[i2]};
    const int64_t twice = (X[i1] - X[i0]) * (Y[i2] - Y[i0]) - (X[i2] - X[i0]) * (Y[i1] - Y[i0]);
    const float area = static_cast<float>(twice) / (kSubPixels * kSubPixels);
    surfaces[h] = MakeSurface<kShadow>(t, 1.0f / area, m, sx_, sy_, samples_);
  }
#if defined(__SSE2__)
  const bool quads = shader.HasLanes();
#endif

  // The buffers through pointers of their own, which stores to bytes cannot change.
  uint8_t* const pixelState = state_.data();
  WholePixel* const wholes = whole_.data();
  uint8_t* const wholeShadow = wholeShadow_.data();
  // The split samples' slots may move when they grow, at the start of a row.
  Packed* sampleColour = colour_.data();
  float* sampleDepth = depth_.data();
  uint8_t* sampleShadowed = shadowed_.data();
  [[maybe_unused]] const Packed* const backgroundPixels = background_->data();
  uint64_t fragments = 0, written = 0;
  const unsigned fullMask = (1u << S) - 1;
  int64_t step[kEdges];
  for (int i = 0; i < kEdges; ++i) step[i] = a[i] * sub;
  const int n = x1 - x0;
  // The rows drawn, every rowStep_-th from firstRow_, with E at the lower left corner of
  // pixel (x0, y) stepped from one to the next.
  int yFirst = std::max(y0, firstRow_);
  yFirst += ((firstRow_ - yFirst) % rowStep_ + rowStep_) % rowStep_;
  // For a quad: the diagonal's edge function (corner 0 to 2) at the centre of pixel
  // (x0, yFirst), and its steps along the row and from one drawn row to the next.
  int64_t diagonal = 0, diagonalStep = 0, rowDiagonal = 0;
  if constexpr (kSurfaces == 2) {
    const int64_t ad = -(Y[2] - Y[0]), bd = X[2] - X[0];
    diagonal = ad * (x0 * sub + sub / 2 - X[0]) + bd * (yFirst * sub + sub / 2 - Y[0]);
    diagonalStep = ad * sub;
    rowDiagonal = bd * sub * rowStep_;
  }
  int64_t e[kEdges], rowStep[kEdges];
  for (int i = 0; i < kEdges; ++i) {
    e[i] = a[i] * (x0 * sub - X[i]) + b[i] * (yFirst * sub - Y[i]) - rowStep_ * b[i] * sub;
    rowStep[i] = b[i] * sub * rowStep_;
  }
  for (int y = yFirst; y <= y1; y += rowStep_) {
    for (int i = 0; i < kEdges; ++i) e[i] += rowStep[i];
    // The pixels of the row with some sample inside ([rs, re] after x0) and those with
    // every sample inside ([as, ae]).
    int rs = 0, re = n, as = 0, ae = n;
    for (int i = 0; i < kEdges; ++i) {
      Passing(e[i] + rejectBias[i], step[i], n, rs, re);
      Passing(e[i] + acceptBias[i], step[i], n, as, ae);
    }
    if (rs > re) continue;
    if (splitCount_ + static_cast<size_t>(re - rs + 1) > slotCapacity_) {
      // Every pixel of the row may split once.
      GrowSlots(splitCount_ + static_cast<size_t>(re - rs + 1));
      sampleColour = colour_.data(), sampleDepth = depth_.data(), sampleShadowed = shadowed_.data();
    }
    // Pixels xs..xe of the row with the planes of surface f.
    auto drawRun = [&](const int xs, const int xe, const Surface& f) __attribute__((always_inline)) {
      // Attributes at the first pixel centre of the span, stepped along x.
      float cy = y + 0.5f, cx0 = xs + 0.5f;
      float zAt = f.depth.At(cx0, cy);
      Attributes aAt = f.attributes0 + f.attributesX * cx0 + f.attributesY * cy;
      // One pixel, its coverage sample by sample where an edge crosses it.
      // `known`: the pixel's colour when the four-pixel path has worked it out already.
      auto drawPixel = [&](int x, float zc, Attributes ac, const Packed* known = nullptr)
                           __attribute__((always_inline)) {
        unsigned mask = fullMask;  // inside [as, ae] the pixel lies wholly inside
        const int k = x - x0;
        if (k < as || k > ae) {
          // Sample by sample, against the edges that cross the pixel.
          for (int i = 0; i < kEdges; ++i) {
            int64_t ei = e[i] + step[i] * k;
            if (ei + acceptBias[i] > 0) continue;
            unsigned inside = 0;
            if (narrow) {
              inside = SamplesAbove(static_cast<int32_t>(ei + acceptBias[i]), sampleRise[i], S);
            } else {
              for (int s = 0; s < S; ++s) inside |= static_cast<unsigned>(ei + sampleBias[i][s] > 0) << s;
            }
            mask &= inside;
          }
        }
        if (mask == 0) return;
        size_t pixel = PixelAt(x, y);
        if constexpr (kShadow) {
          MakeWhole(pixel);
          if (pixelState[pixel] == kWhole && mask == fullMask) {
            if (!wholeShadow[pixel]) {
              wholeShadow[pixel] = 1;
              wholes[pixel].colour = Darken(wholes[pixel].colour, keep);
            }
            return;
          }
          Split(pixel);
          const size_t base = SamplesOf(pixel);
          for (int s = 0; s < S; ++s) {
            if ((mask >> s & 1u) && !sampleShadowed[base + s]) {
              sampleShadowed[base + s] = 1;
              sampleColour[base + s] = Darken(sampleColour[base + s], keep);
            }
          }
        } else {
          const float z0 = zc - f.halfStep;  // at the pixel's corner
          uint8_t state = pixelState[pixel];
          unsigned visible = 0;
          if (state != kSplit && mask == fullMask) {
            // A whole pixel stays whole when the primitive covers it and is in front of it
            // at every sample.
            if (state == kBackground) {
              visible = fullMask;
            } else {
              // The depth difference is a plane: decided at the pixel's corners when it has
              // one sign there, sample by sample otherwise.
              const WholePixel& w = wholes[pixel];
              float d0 = z0 - w.z, ddx = f.depth.ax - w.dzx, ddy = f.depth.ay - w.dzy;
              float lo = d0 + std::min(0.0f, ddx) + std::min(0.0f, ddy);
              float hi = d0 + std::max(0.0f, ddx) + std::max(0.0f, ddy);
              if (lo > 0) {
                visible = fullMask;
              } else if (hi > 0) {
                for (int s = 0; s < S; ++s) {
                  if (z0 + f.depthOff[s] > WholeDepth(pixel, s)) visible |= 1u << s;
                }
              }
            }
            if (visible == 0) return;
            if (visible == fullMask) {
              Packed colour = known ? *known : shader.Colour(zc, ac);
              ++fragments;
              written += S;
              if (alpha256 >= 256) {
                pixelState[pixel] = kWhole;
                if (state == kBackground) wholeShadow[pixel] = 0;
                wholes[pixel] = {colour, z0, f.depth.ax, f.depth.ay};
              } else {
                MakeWhole(pixel);
                wholes[pixel].colour = Blend(wholes[pixel].colour, colour, alpha256);
              }
              return;
            }
          }
          Split(pixel);
          const size_t base = SamplesOf(pixel);
          visible = SamplesInFront(sampleDepth + base, f.depthOff, z0, mask, S);
          if (visible == 0) return;
          ++fragments;
          written += CountOf(visible);
          Packed colour = known ? *known : shader.Colour(zc, ac);
          if (alpha256 >= 256) {
            WriteSamples(sampleColour + base, sampleDepth + base, f.depthOff, colour, z0, visible, S);
          } else {
            BlendSamples(sampleColour + base, colour, alpha256, visible, S);
          }
        }
      };
      int x = xs;
#if defined(__SSE2__)
      if constexpr (!kShadow) {
        // Four pixels at a time where they lie wholly inside: depth tests and colours in
        // lanes; a pixel whose samples are spelled out, or whose depth test needs them,
        // goes through drawPixel.
        const int quadEnd = std::min(xe, x0 + ae) - 3;  // the last first pixel of four
        if (quads) {
          for (; x < x0 + as && x <= xe; ++x, zAt += f.depth.ax, aAt = aAt + f.attributesX) drawPixel(x, zAt, aAt);
          const size_t rowPixel = PixelAt(0, y);  // the row's first pixel
          for (; x <= quadEnd; x += 4) {
            const Attributes a1 = aAt + f.attributesX, a2 = a1 + f.attributesX, a3 = a2 + f.attributesX;
            const float z1 = zAt + f.depth.ax, z2 = z1 + f.depth.ax, z3 = z2 + f.depth.ax;
            const size_t pixel = rowPixel + x;
            uint32_t states;
            std::memcpy(&states, pixelState + pixel, 4);
            float* const whole4 = reinterpret_cast<float*>(wholes + pixel);  // 4 floats a pixel
            const __m128 z0 = _mm_sub_ps(_mm_set_ps(z3, z2, z1, zAt), f.halfStep4);
            unsigned background = 15, visible = 15, perSample = 0;  // four background pixels
            if (states != 0) {
              const __m128i zero32 = _mm_setzero_si128();
              const __m128i state =
                  _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(states)), zero32), zero32);
              auto lanesWhere = [](__m128 m) { return static_cast<unsigned>(_mm_movemask_ps(m)); };
              background = lanesWhere(_mm_castsi128_ps(_mm_cmpeq_epi32(state, zero32)));
              const unsigned split = lanesWhere(_mm_castsi128_ps(_mm_cmpeq_epi32(state, _mm_set1_epi32(kSplit))));
              // The whole pixels' depth planes against this one's, as drawPixel decides them.
              __m128 wc = _mm_loadu_ps(whole4), wz = _mm_loadu_ps(whole4 + 4);
              __m128 wdx = _mm_loadu_ps(whole4 + 8), wdy = _mm_loadu_ps(whole4 + 12);
              _MM_TRANSPOSE4_PS(wc, wz, wdx, wdy);
              const __m128 zero = _mm_setzero_ps();
              const __m128 d0 = _mm_sub_ps(z0, wz);
              const __m128 ddx = _mm_sub_ps(f.depthX4, wdx), ddy = _mm_sub_ps(f.depthY4, wdy);
              const __m128 lo = _mm_add_ps(_mm_add_ps(d0, _mm_min_ps(ddx, zero)), _mm_min_ps(ddy, zero));
              const __m128 hi = _mm_add_ps(_mm_add_ps(d0, _mm_max_ps(ddx, zero)), _mm_max_ps(ddy, zero));
              const unsigned front = lanesWhere(_mm_cmpgt_ps(lo, zero)), partly = lanesWhere(_mm_cmpgt_ps(hi, zero));
              visible = background | (front & ~split);
              perSample = split | (partly & ~front & ~background);
            }
            uint32_t colours[4];  // the four colours, where visible != 0 and a pixel goes on below
            if (visible != 0) {
              __m128 u = aAt.lanes, v = a1.lanes, d = a2.lanes, s = a3.lanes;
              _MM_TRANSPOSE4_PS(u, v, d, s);
              float corner[4];
              const __m128i colour4 = shader.Colour4(_mm_set_ps(z3, z2, z1, zAt), u, v, d, s);
              if (visible == 15 && alpha256 >= 256) {
                // All four opaque and in front: whole pixels in four stores, the shadow
                // flags of those that were background cleared.
                const __m128 c = _mm_castsi128_ps(colour4);
                const __m128 firstTwo = _mm_unpacklo_ps(c, z0), lastTwo = _mm_unpackhi_ps(c, z0);  // colour, z
                _mm_storeu_ps(whole4, _mm_movelh_ps(firstTwo, f.slopes));
                _mm_storeu_ps(whole4 + 4, _mm_movehl_ps(f.slopes, firstTwo));
                _mm_storeu_ps(whole4 + 8, _mm_movelh_ps(lastTwo, f.slopes));
                _mm_storeu_ps(whole4 + 12, _mm_movehl_ps(f.slopes, lastTwo));
                const uint32_t allWhole = 0x01010101u * kWhole;
                std::memcpy(pixelState + pixel, &allWhole, 4);
                uint32_t shadows;  // each state byte is kBackground (0) or kWhole (1) here
                std::memcpy(&shadows, wholeShadow + pixel, 4);
                shadows &= states * 0xFFu;
                std::memcpy(wholeShadow + pixel, &shadows, 4);
                fragments += 4;
                written += 4 * S;
              } else {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(colours), colour4);
                _mm_storeu_ps(corner, z0);
                for (int k = 0; k < 4; ++k) {
                  if (!(visible >> k & 1u)) continue;
                  const size_t p = pixel + k;
                  ++fragments;
                  written += S;
                  if (alpha256 >= 256) {
                    pixelState[p] = kWhole;
                    if (background >> k & 1u) wholeShadow[p] = 0;
                    wholes[p] = {colours[k], corner[k], f.depth.ax, f.depth.ay};
                  } else {
                    MakeWhole(p);
                    wholes[p].colour = Blend(wholes[p].colour, colours[k], alpha256);
                  }
                }
              }
            }
            if (perSample != 0) {
              // Pixels that need their samples; their colours are known if any of the
              // four was drawn whole above.
              const Packed* known = visible != 0 ? colours : nullptr;
              if (perSample & 1u) drawPixel(x, zAt, aAt, known);
              if (perSample & 2u) drawPixel(x + 1, z1, a1, known ? known + 1 : nullptr);
              if (perSample & 4u) drawPixel(x + 2, z2, a2, known ? known + 2 : nullptr);
              if (perSample & 8u) drawPixel(x + 3, z3, a3, known ? known + 3 : nullptr);
            }
            zAt = z3 + f.depth.ax, aAt = a3 + f.attributesX;
          }
        }
      } else {
        // Four pixels at a time where the shadow covers them wholly and they still show the
        // background (shadows come first in a pass): they become whole pixels of the
        // darkened background. Other groups go pixel by pixel.
        const int quadEnd = std::min(xe, x0 + ae) - 3;
        for (; x < x0 + as && x <= xe; ++x) drawPixel(x, zAt, aAt);
        const size_t rowPixel = PixelAt(0, y);
        for (; x <= quadEnd; x += 4) {
          const size_t pixel = rowPixel + x;
          uint32_t states;
          std::memcpy(&states, pixelState + pixel, 4);
          if (states != 0) {
            for (int k = 0; k < 4; ++k) drawPixel(x + k, zAt, aAt);
            continue;
          }
          const __m128i shown = _mm_loadu_si128(reinterpret_cast<const __m128i*>(backgroundPixels + pixel));
          const __m128i dark = sse::Darken4(shown, keep);
          // Pixel k: its colour in the lowest lane, no depth and no slopes.
          __m128i* const whole4 = reinterpret_cast<__m128i*>(wholes + pixel);
          _mm_storeu_si128(whole4, _mm_srli_si128(_mm_slli_si128(dark, 12), 12));
          _mm_storeu_si128(whole4 + 1, _mm_srli_si128(_mm_slli_si128(dark, 8), 12));
          _mm_storeu_si128(whole4 + 2, _mm_srli_si128(_mm_slli_si128(dark, 4), 12));
          _mm_storeu_si128(whole4 + 3, _mm_srli_si128(dark, 12));
          const uint32_t allOnes = 0x01010101u;  // kWhole, and shadowed
          std::memcpy(pixelState + pixel, &allOnes, 4);
          std::memcpy(wholeShadow + pixel, &allOnes, 4);
        }
      }
#endif
      for (; x <= xe; ++x, zAt += f.depth.ax, aAt = aAt + f.attributesX) drawPixel(x, zAt, aAt);
    };
    if constexpr (kSurfaces == 1) {
      drawRun(x0 + rs, x0 + re, surfaces[0]);
    } else {
      // The second half's pixels: those whose centre lies beyond the diagonal.
      int bs = rs, be = re;
      Passing(diagonal + rowDiagonal * ((y - yFirst) / rowStep_), diagonalStep, n, bs, be);
      if (bs > be) {
        drawRun(x0 + rs, x0 + re, surfaces[0]);
      } else {
        if (bs > rs) drawRun(x0 + rs, x0 + bs - 1, surfaces[0]);
        drawRun(x0 + bs, x0 + be, surfaces[1]);
        if (be < re) drawRun(x0 + be + 1, x0 + re, surfaces[0]);
      }
    }
  }
  fragments_ += fragments;
  written_ += written;
}

void SampleFrame::DrawLine(float x0, float y0, float x1, float y1, Packed colour) {
  if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
  // Clip the segment to the frame (Liang-Barsky) so that the walk below stays short.
  float t0 = 0, t1 = 1, dx = x1 - x0, dy = y1 - y0;
  const float p[4] = {-dx, dx, -dy, dy};
  const float q[4] = {x0, width_ - 1e-3f - x0, y0, height_ - 1e-3f - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return;
    } else {
      float r = q[i] / p[i];
      if (p[i] < 0) t0 = std::max(t0, r);
      else t1 = std::min(t1, r);
    }
  }
  if (t0 > t1) return;
  float ax = x0 + t0 * dx, ay = y0 + t0 * dy, bx = x0 + t1 * dx, by = y0 + t1 * dy;
  int steps = static_cast<int>(std::ceil(std::max(std::fabs(bx - ax), std::fabs(by - ay)))) + 1;
  for (int i = 0; i <= steps; ++i) {
    float t = static_cast<float>(i) / steps;
    int x = static_cast<int>(ax + (bx - ax) * t), y = static_cast<int>(ay + (by - ay) * t);
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || !RowDrawn(y)) continue;
    size_t pixel = PixelAt(x, y);
    written_ += samples_;
    MakeWhole(pixel);
    if (state_[pixel] == kWhole) {
      whole_[pixel].colour = colour;
      continue;
    }
    size_t base = SamplesOf(pixel);
    for (int s = 0; s < samples_; ++s) colour_[base + s] = colour;
  }
}

template <class One, class Four>
void SampleFrame::ForEachDrawnPixel(One one, [[maybe_unused]] Four four) const {
  [[maybe_unused]] const uint8_t* const pixelState = state_.data();
  [[maybe_unused]] const float* const wholes = reinterpret_cast<const float*>(whole_.data());  // 4 floats a pixel
  [[maybe_unused]] const Packed* const background = background_->data();
  for (int y = tileFirst_; y < tileEnd_; ++y) {
    if (!RowDrawn(y)) continue;
    size_t pixel = PixelAt(0, y);
    const size_t end = pixel + width_;
#if defined(__SSE2__)
    for (; pixel + 4 <= end; pixel += 4) {
      uint32_t states;
      std::memcpy(&states, pixelState + pixel, 4);
      if (states & (0x01010101u * kSplit)) {
        for (size_t p = pixel; p < pixel + 4; ++p) one(p);
      } else {
        four(pixel, ShownColours4(states, wholes + pixel * 4, background + pixel));
      }
    }
#endif
    for (; pixel < end; ++pixel) one(pixel);
  }
}

void SampleFrame::Accumulate(std::vector<SampleSum>& sums) const {
  SampleSum* const out = sums.data();
  const Packed* const background = background_->data();
  const uint8_t* const pixelState = state_.data();
  const WholePixel* const wholes = whole_.data();
  const Packed* const sampleColour = colour_.data();
  const int S = samples_;
  auto addPixel = [&](size_t p) {
    SampleSum* sum = out + p * kSumLanes;
    uint8_t state = pixelState[p];
    if (state == kSplit) {
      AddSamples(sum, sampleColour + SamplesOf(p), S);
    } else {
      AddColour(sum, state == kBackground ? background[p] : wholes[p].colour, S);
    }
  };
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), times = _mm_set1_epi16(static_cast<int16_t>(S));
  auto addFour = [&](size_t pixel, __m128i colours) {
    // Channel * S stays below 16 bits; two pixels' sums to a vector.
    __m128i* const sum = reinterpret_cast<__m128i*>(out + pixel * kSumLanes);
    const __m128i firstSums = _mm_mullo_epi16(_mm_unpacklo_epi8(colours, zero), times);
    const __m128i lastSums = _mm_mullo_epi16(_mm_unpackhi_epi8(colours, zero), times);
    _mm_storeu_si128(sum, _mm_add_epi16(_mm_loadu_si128(sum), firstSums));
    _mm_storeu_si128(sum + 1, _mm_add_epi16(_mm_loadu_si128(sum + 1), lastSums));
  };
#else
  auto addFour = [](size_t, int) {};
#endif
  ForEachDrawnPixel(addPixel, addFour);
}

void SampleFrame::Resolve(uint8_t* out) const {
  const Packed* const background = background_->data();
  const uint8_t* const pixelState = state_.data();
  const WholePixel* const wholes = whole_.data();
  const int S = samples_;
  auto resolvePixel = [&](size_t p) {
    Packed c;
    const uint8_t state = pixelState[p];
    if (state == kSplit) {
      // The rounded mean over the samples: (sum + S / 2) / S per channel.
      SampleSum sum[kSumLanes] = {};
      AddSamples(sum, colour_.data() + SamplesOf(p), S);
      const int half = S / 2;
      c = Pack((sum[2] + half) / S, (sum[1] + half) / S, (sum[0] + half) / S);
    } else {
      c = state == kBackground ? background[p] : wholes[p].colour;
    }
    c = (c & 0xFFFFFF) | 0xFF000000u;
    std::memcpy(out + p * 4, &c, 4);
  };
#if defined(__SSE2__)
  // A whole pixel's mean is its colour.
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  auto resolveFour = [&](size_t pixel, __m128i colours) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + pixel * 4), _mm_or_si128(colours, opaque));
  };
#else
  auto resolveFour = [](size_t, int) {};
#endif
  ForEachDrawnPixel(resolvePixel, resolveFour);
}

}  // namespace lmx::engine
