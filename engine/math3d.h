// Small vector and rotation helpers for the renderer: right-handed world, x to the right,
// y up, z away from the viewer.
#pragma once

#include <cmath>

namespace lmx::engine {

inline constexpr float kPi = 3.14159265358979f;

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Normalized(Vec3 a, Vec3 fallback = {0, 0, -1}) {
  float n = Length(a);
  return n > 1e-12f && std::isfinite(n) ? a * (1.0f / n) : fallback;
}

// A rotation matrix, rows r[0..2].
struct Mat3 {
  Vec3 r[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

inline Vec3 operator*(const Mat3& m, Vec3 v) { return {Dot(m.r[0], v), Dot(m.r[1], v), Dot(m.r[2], v)}; }

inline Mat3 operator*(const Mat3& a, const Mat3& b) {
  Mat3 out;
  for (int i = 0; i < 3; ++i) {
    Vec3 row = a.r[i];
    out.r[i] = {row.x * b.r[0].x + row.y * b.r[1].x + row.z * b.r[2].x,
                row.x * b.r[0].y + row.y * b.r[1].y + row.z * b.r[2].y,
                row.x * b.r[0].z + row.y * b.r[1].z + row.z * b.r[2].z};
  }
  return out;
}

// Rotation by angle (radians) about a unit axis.
inline Mat3 Rotation(Vec3 axis, float angle) {
  float c = std::cos(angle), s = std::sin(angle), k = 1 - c;
  Vec3 a = axis;
  Mat3 m;
  m.r[0] = {c + a.x * a.x * k, a.x * a.y * k - a.z * s, a.x * a.z * k + a.y * s};
  m.r[1] = {a.y * a.x * k + a.z * s, c + a.y * a.y * k, a.y * a.z * k - a.x * s};
  m.r[2] = {a.z * a.x * k - a.y * s, a.z * a.y * k + a.x * s, c + a.z * a.z * k};
  return m;
}

inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float Smooth(float p) { return p * p * (3 - 2 * p); }
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }

// A repeatable pseudo-random value in [0, 1) for a piece and a purpose.
inline float Hash01(unsigned seed, unsigned salt) {
  unsigned h = seed * 0x9E3779B1u ^ (salt + 0x7F4A7C15u) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

}  // namespace lmx::engine
