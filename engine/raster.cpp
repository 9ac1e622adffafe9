#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

inline Packed Blend(Packed dst, Packed src, int a256) {
  uint32_t rb = ((dst & 0xFF00FF) * (256 - a256) + (src & 0xFF00FF) * a256) >> 8;
  uint32_t g = ((dst & 0x00FF00) * (256 - a256) + (src & 0x00FF00) * a256) >> 8;
  return (rb & 0xFF00FF) | (g & 0x00FF00);
}

inline Packed Darken(Packed c, int keep) {
  uint32_t rb = ((c & 0xFF00FF) * keep) >> 8;
  uint32_t g = ((c & 0x00FF00) * keep) >> 8;
  return (rb & 0xFF00FF) | (g & 0x00FF00);
}

inline Packed Shade(Packed texel, float diffuse, float specular) {
  int d = static_cast<int>(diffuse * 256);
  int s = static_cast<int>(specular * 255);
  int r = std::min(255, ((RedOf(texel) * d) >> 8) + s);
  int g = std::min(255, ((GreenOf(texel) * d) >> 8) + s);
  int b = std::min(255, ((BlueOf(texel) * d) >> 8) + s);
  return Pack(r, g, b);
}

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

bool Finite(const ScreenVertex& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.invW) && std::isfinite(v.u) &&
         std::isfinite(v.v) && std::isfinite(v.diffuse) && std::isfinite(v.specular);
}

}  // namespace

void SampleFrame::Reset(int width, int height, int samples) {
  width_ = width, height_ = height;
  samples_ = std::clamp(samples, 1, kMaxSamples);
  SamplePattern(samples_, sx_, sy_);
  size_t n = static_cast<size_t>(width) * height * samples_;
  colour_.resize(n);
  depth_.resize(n);
  shadowed_.resize(n);
  firstRow_ = 0, rowStep_ = 1;
}

void SampleFrame::SetRows(int first, int step) {
  firstRow_ = std::max(0, first);
  rowStep_ = std::max(1, step);
}

void SampleFrame::Fill(const std::vector<Packed>& background) {
  size_t pixels = static_cast<size_t>(width_) * height_;
  for (size_t i = 0; i < pixels; ++i) {
    Packed c = background[i];
    Packed* out = &colour_[i * samples_];
    for (int s = 0; s < samples_; ++s) out[s] = c;
  }
  std::fill(depth_.begin(), depth_.end(), 0.0f);
  std::fill(shadowed_.begin(), shadowed_.end(), static_cast<uint8_t>(0));
}

void SampleFrame::DrawTriangle(const ScreenVertex* v, const Material& m) { Rasterise<false>(v, &m, 0); }

void SampleFrame::DrawShadow(const ScreenVertex* v, int keep) { Rasterise<true>(v, nullptr, keep); }

template <bool kShadow>
void SampleFrame::Rasterise(const ScreenVertex* in, const Material* m, int keep) {
  if (!Finite(in[0]) || !Finite(in[1]) || !Finite(in[2])) return;
  ScreenVertex v[3] = {in[0], in[1], in[2]};
  // Snap to 1/256 pixel so that shared edges give the same answers on both sides.
  for (ScreenVertex& p : v) {
    p.x = std::round(p.x * 256) / 256;
    p.y = std::round(p.y * 256) / 256;
  }
  float area = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[2].x - v[0].x) * (v[1].y - v[0].y);
  if (!(std::fabs(area) > 1e-8f)) return;
  if (area < 0) {
    std::swap(v[1], v[2]);
    area = -area;
  }
  float minX = std::min({v[0].x, v[1].x, v[2].x}), maxX = std::max({v[0].x, v[1].x, v[2].x});
  float minY = std::min({v[0].y, v[1].y, v[2].y}), maxY = std::max({v[0].y, v[1].y, v[2].y});
  if (maxX <= 0 || maxY <= 0 || minX >= width_ || minY >= height_) return;
  int x0 = std::max(0, static_cast<int>(std::floor(minX)));
  int x1 = std::min(width_ - 1, static_cast<int>(std::floor(maxX)));
  int y0 = std::max(0, static_cast<int>(std::floor(minY)));
  int y1 = std::min(height_ - 1, static_cast<int>(std::floor(maxY)));

  // Edge i runs from v[i] to v[i+1]; inside is where every edge function is positive,
  // or zero on a top-left edge.
  float ea[3], eb[3], ec[3], bias[3];
  for (int i = 0; i < 3; ++i) {
    const ScreenVertex& p = v[i];
    const ScreenVertex& q = v[(i + 1) % 3];
    ea[i] = -(q.y - p.y);
    eb[i] = q.x - p.x;
    ec[i] = -(ea[i] * p.x + eb[i] * p.y);
    bool topLeft = (q.y - p.y) < 0 || ((q.y - p.y) == 0 && (q.x - p.x) > 0);
    bias[i] = topLeft ? -1e-9f : 0.0f;
  }
  float off[3][kMaxSamples], maxOff[3];
  for (int i = 0; i < 3; ++i) {
    maxOff[i] = -1e30f;
    for (int s = 0; s < samples_; ++s) {
      off[i][s] = ea[i] * sx_[s] + eb[i] * sy_[s];
      maxOff[i] = std::max(maxOff[i], off[i][s]);
    }
  }
  float invArea = 1.0f / area;
  Plane depth = PlaneThrough(v, v[0].invW, v[1].invW, v[2].invW, invArea);
  float depthOff[kMaxSamples];
  for (int s = 0; s < samples_; ++s) depthOff[s] = depth.ax * sx_[s] + depth.ay * sy_[s];

  Plane pu{}, pv{}, pd{}, ps{};
  bool textured = false, perspective = false;
  int alpha256 = 256;
  if constexpr (!kShadow) {
    textured = m->sampler != nullptr;
    perspective = m->perspective;
    alpha256 = std::clamp(static_cast<int>(m->alpha * 256 + 0.5f), 0, 256);
    if (alpha256 == 0) return;
    auto uOf = [&](const ScreenVertex& p) { return perspective ? p.u * p.invW : p.u; };
    auto vOf = [&](const ScreenVertex& p) { return perspective ? p.v * p.invW : p.v; };
    pu = PlaneThrough(v, uOf(v[0]), uOf(v[1]), uOf(v[2]), invArea);
    pv = PlaneThrough(v, vOf(v[0]), vOf(v[1]), vOf(v[2]), invArea);
    pd = PlaneThrough(v, v[0].diffuse, v[1].diffuse, v[2].diffuse, invArea);
    ps = PlaneThrough(v, v[0].specular, v[1].specular, v[2].specular, invArea);
  }

  const int S = samples_;
  for (int y = y0; y <= y1; ++y) {
    if (!RowDrawn(y)) continue;
    float fy = static_cast<float>(y);
    float e[3];
    for (int i = 0; i < 3; ++i) e[i] = ea[i] * x0 + eb[i] * fy + ec[i];
    for (int x = x0; x <= x1; ++x, e[0] += ea[0], e[1] += ea[1], e[2] += ea[2]) {
      if (e[0] + maxOff[0] <= bias[0] || e[1] + maxOff[1] <= bias[1] || e[2] + maxOff[2] <= bias[2]) continue;
      unsigned mask = 0;
      for (int s = 0; s < S; ++s) {
        if (e[0] + off[0][s] > bias[0] && e[1] + off[1][s] > bias[1] && e[2] + off[2][s] > bias[2]) mask |= 1u << s;
      }
      if (mask == 0) continue;
      size_t base = (static_cast<size_t>(y) * width_ + x) * S;
      float fx = static_cast<float>(x);
      if constexpr (kShadow) {
        for (int s = 0; s < S; ++s) {
          if ((mask >> s & 1u) && !shadowed_[base + s]) {
            shadowed_[base + s] = 1;
            colour_[base + s] = Darken(colour_[base + s], keep);
          }
        }
      } else {
        float z0 = depth.At(fx, fy);
        unsigned visible = 0;
        for (int s = 0; s < S; ++s) {
          if ((mask >> s & 1u) && z0 + depthOff[s] > depth_[base + s]) visible |= 1u << s;
        }
        if (visible == 0) continue;
        ++fragments_;
        float cx = fx + 0.5f, cy = fy + 0.5f;
        Packed colour = m->flat;
        if (textured) {
          float u = pu.At(cx, cy), t = pv.At(cx, cy);
          if (perspective) {
            float w = depth.At(cx, cy);
            float inv = w > 1e-12f ? 1.0f / w : 0.0f;
            u *= inv, t *= inv;
          }
          colour = m->sampler->At(u, t);
        }
        colour = Shade(colour, std::max(0.0f, pd.At(cx, cy)), std::clamp(ps.At(cx, cy), 0.0f, 1.0f));
        for (int s = 0; s < S; ++s) {
          if (!(visible >> s & 1u)) continue;
          ++written_;
          if (alpha256 >= 256) {
            colour_[base + s] = colour;
            depth_[base + s] = z0 + depthOff[s];
          } else {
            colour_[base + s] = Blend(colour_[base + s], colour, alpha256);
          }
        }
      }
    }
  }
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
    size_t base = (static_cast<size_t>(y) * width_ + x) * samples_;
    for (int s = 0; s < samples_; ++s) colour_[base + s] = colour;
    written_ += samples_;
  }
}

void SampleFrame::Accumulate(std::vector<uint32_t>& sums) const {
  for (int y = firstRow_; y < height_; y += rowStep_) {
    for (int x = 0; x < width_; ++x) {
      size_t pixel = static_cast<size_t>(y) * width_ + x;
      const Packed* c = &colour_[pixel * samples_];
      uint32_t r = 0, g = 0, b = 0;
      for (int s = 0; s < samples_; ++s) {
        r += (c[s] >> 16) & 0xFF;
        g += (c[s] >> 8) & 0xFF;
        b += c[s] & 0xFF;
      }
      sums[pixel * 3] += b;
      sums[pixel * 3 + 1] += g;
      sums[pixel * 3 + 2] += r;
    }
  }
}

}  // namespace lmx::engine
