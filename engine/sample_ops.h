// The per-sample work on a pixel whose samples are spelled out: depth tests, writes and
// blends over its 1 to 8 samples. With SSE2, four samples at a time (for 4 and 8 samples
// per pixel); unaligned loads and stores only, and no wider vectors, so that the 32-bit
// build needs nothing beyond SSE2 and its 4-byte stack alignment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sampling.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lmx::engine {

inline Packed Blend(Packed dst, Packed src, int a256) {
  uint32_t rb = ((dst & 0xFF00FF) * (256 - a256) + (src & 0xFF00FF) * a256) >> 8;
  uint32_t g = ((dst & 0x00FF00) * (256 - a256) + (src & 0x00FF00) * a256) >> 8;
  return (rb & 0xFF00FF) | (g & 0x00FF00);
}

// Each of blue, green and red times keep / 256 (keep at most 256); the top byte 0.
inline Packed Darken(Packed c, int keep) {
  uint32_t rb = ((c & 0xFF00FF) * keep) >> 8;
  uint32_t g = ((c & 0x00FF00) * keep) >> 8;
  return (rb & 0xFF00FF) | (g & 0x00FF00);
}

#if defined(__SSE2__)
namespace sse {

// All-ones lanes for the set bits of a 4-bit mask.
inline __m128i LaneMask(unsigned bits) {
  const __m128i lane = _mm_set_epi32(8, 4, 2, 1);
  return _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int>(bits)), lane), lane);
}

inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
  return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// (dst * (256 - a) + src * a) >> 8 per channel of four colours; a in 1..255.
inline __m128i Blend4(__m128i dst, __m128i src, int a256) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i keep = _mm_set1_epi16(static_cast<int16_t>(256 - a256)), take = _mm_set1_epi16(static_cast<int16_t>(a256));
  __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(dst, zero), keep),
                             _mm_mullo_epi16(_mm_unpacklo_epi8(src, zero), take));
  __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(dst, zero), keep),
                             _mm_mullo_epi16(_mm_unpackhi_epi8(src, zero), take));
  return _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
}

// Darken for four colours.
inline __m128i Darken4(__m128i c, int keep) {
  const __m128i zero = _mm_setzero_si128(), times = _mm_set1_epi16(static_cast<int16_t>(keep));
  const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(c, zero), times), 8);
  const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(c, zero), times), 8);
  return _mm_and_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(0x00FFFFFF));
}

}  // namespace sse
#endif

// Every sample takes colour c and the depth of the plane z0 + dzx x + dzy y at its
// position (xs[s], ys[s]).
inline void FillSamples(Packed* colour, float* depth, Packed c, float z0, float dzx, float dzy, const float* xs,
                        const float* ys, int samples) {
#if defined(__SSE2__)
  if ((samples & 3) == 0) {
    const __m128i cv = _mm_set1_epi32(static_cast<int>(c));
    const __m128 z = _mm_set1_ps(z0), dx = _mm_set1_ps(dzx), dy = _mm_set1_ps(dzy);
    for (int s = 0; s < samples; s += 4) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(colour + s), cv);
      __m128 plane = _mm_add_ps(_mm_add_ps(z, _mm_mul_ps(dx, _mm_loadu_ps(xs + s))), _mm_mul_ps(dy, _mm_loadu_ps(ys + s)));
      _mm_storeu_ps(depth + s, plane);
    }
    return;
  }
#endif
  for (int s = 0; s < samples; ++s) {
    colour[s] = c;
    depth[s] = z0 + dzx * xs[s] + dzy * ys[s];
  }
}

// The samples (of `mask`) where z0 + offset[s] lies in front of depth[s].
inline unsigned SamplesInFront(const float* depth, const float* offset, float z0, unsigned mask, int samples) {
#if defined(__SSE2__)
  if ((samples & 3) == 0) {
    unsigned front = 0;
    const __m128 z = _mm_set1_ps(z0);
    for (int s = 0; s < samples; s += 4) {
      __m128 mine = _mm_add_ps(z, _mm_loadu_ps(offset + s));
      front |= static_cast<unsigned>(_mm_movemask_ps(_mm_cmpgt_ps(mine, _mm_loadu_ps(depth + s)))) << s;
    }
    return front & mask;
  }
#endif
  unsigned front = 0;
  for (int s = 0; s < samples; ++s) {
    if ((mask >> s & 1u) && z0 + offset[s] > depth[s]) front |= 1u << s;
  }
  return front;
}

// Opaque: colour and depth z0 + offset[s] into the samples of `mask`.
inline void WriteSamples(Packed* colour, float* depth, const float* offset, Packed c, float z0, unsigned mask,
                         int samples) {
#if defined(__SSE2__)
  if ((samples & 3) == 0) {
    const __m128i cv = _mm_set1_epi32(static_cast<int>(c));
    const __m128 z = _mm_set1_ps(z0);
    for (int s = 0; s < samples; s += 4) {
      unsigned bits = mask >> s & 15u;
      if (bits == 0) continue;
      __m128i lanes = sse::LaneMask(bits);
      __m128i* cp = reinterpret_cast<__m128i*>(colour + s);
      _mm_storeu_si128(cp, sse::Select(lanes, cv, _mm_loadu_si128(cp)));
      __m128 zs = _mm_add_ps(z, _mm_loadu_ps(offset + s));
      __m128 old = _mm_loadu_ps(depth + s);
      __m128 m = _mm_castsi128_ps(lanes);
      _mm_storeu_ps(depth + s, _mm_or_ps(_mm_and_ps(m, zs), _mm_andnot_ps(m, old)));
    }
    return;
  }
#endif
  for (int s = 0; s < samples; ++s) {
    if (!(mask >> s & 1u)) continue;
    colour[s] = c;
    depth[s] = z0 + offset[s];
  }
}

// Translucent (a256 in 1..255): blends colour over the samples of `mask`.
inline void BlendSamples(Packed* colour, Packed c, int a256, unsigned mask, int samples) {
#if defined(__SSE2__)
  if ((samples & 3) == 0) {
    const __m128i cv = _mm_set1_epi32(static_cast<int>(c));
    for (int s = 0; s < samples; s += 4) {
      unsigned bits = mask >> s & 15u;
      if (bits == 0) continue;
      __m128i* cp = reinterpret_cast<__m128i*>(colour + s);
      __m128i old = _mm_loadu_si128(cp);
      _mm_storeu_si128(cp, sse::Select(sse::LaneMask(bits), sse::Blend4(old, cv, a256), old));
    }
    return;
  }
#endif
  for (int s = 0; s < samples; ++s) {
    if (mask >> s & 1u) colour[s] = Blend(colour[s], c, a256);
  }
}

// Adds colour c, `times` over, to the running sums of blue, green and red in sum[0..2]
// (sum[3] is left as it is, or gets c's top byte times `times`).
inline void AddColour(uint16_t* sum, Packed c, int times) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(c)), zero);
  v = _mm_mullo_epi16(v, _mm_set1_epi16(static_cast<int16_t>(times)));  // channel * times stays below 16 bits
  __m128i* p = reinterpret_cast<__m128i*>(sum);
  _mm_storel_epi64(p, _mm_add_epi16(_mm_loadl_epi64(p), v));
#else
  sum[0] = static_cast<uint16_t>(sum[0] + BlueOf(c) * times);
  sum[1] = static_cast<uint16_t>(sum[1] + GreenOf(c) * times);
  sum[2] = static_cast<uint16_t>(sum[2] + RedOf(c) * times);
#endif
}

// Adds the sums of blue, green and red over a pixel's samples to sum[0..2], as AddColour.
inline void AddSamples(uint16_t* sum, const Packed* colour, int samples) {
#if defined(__SSE2__)
  if ((samples & 3) == 0) {
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;  // two colours' channels side by side, 16 bits each
    for (int s = 0; s < samples; s += 4) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colour + s));
      acc = _mm_add_epi16(acc, _mm_add_epi16(_mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero)));
    }
    acc = _mm_add_epi16(acc, _mm_srli_si128(acc, 8));
    __m128i* p = reinterpret_cast<__m128i*>(sum);
    _mm_storel_epi64(p, _mm_add_epi16(_mm_loadl_epi64(p), acc));
    return;
  }
  if (samples == 2) {
    const __m128i zero = _mm_setzero_si128();
    __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(colour)), zero);
    v = _mm_add_epi16(v, _mm_srli_si128(v, 8));
    __m128i* p = reinterpret_cast<__m128i*>(sum);
    _mm_storel_epi64(p, _mm_add_epi16(_mm_loadl_epi64(p), v));
    return;
  }
#endif
  // Red and blue side by side: eight samples stay below 16 bits each.
  uint32_t rb = 0, gg = 0;
  for (int s = 0; s < samples; ++s) {
    rb += colour[s] & 0xFF00FF;
    gg += colour[s] & 0x00FF00;
  }
  sum[0] = static_cast<uint16_t>(sum[0] + (rb & 0xFFFF));
  sum[1] = static_cast<uint16_t>(sum[1] + (gg >> 8));
  sum[2] = static_cast<uint16_t>(sum[2] + (rb >> 16));
}

// Each pixel's mean colour, rounded, from its sums of blue, green and red (4 lanes per
// pixel, the fourth not used) over `count` samples; out gets blue, green, red and 255.
inline void MeanColours(const uint16_t* sums, uint32_t count, uint8_t* out, size_t pixels) {
  const uint32_t half = count / 2;
#if defined(__SSE2__)
  // In float, where (sum + half) and q * count stay below 2^24 and are exact: a quotient
  // from the reciprocal, put right by the remainder.
  if (count < (1u << 16)) {
    const __m128 d = _mm_set1_ps(static_cast<float>(count)), inv = _mm_set1_ps(1.0f / static_cast<float>(count));
    const __m128 h = _mm_set1_ps(static_cast<float>(half)), zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
    const __m128i zero16 = _mm_setzero_si128();
    for (size_t p = 0; p < pixels; ++p) {
      const __m128i sum = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(sums + p * 4)), zero16);
      __m128 n = _mm_add_ps(_mm_cvtepi32_ps(sum), h);
      __m128 q = _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_mul_ps(n, inv)));
      __m128 r = _mm_sub_ps(n, _mm_mul_ps(q, d));
      q = _mm_add_ps(q, _mm_and_ps(_mm_cmpge_ps(r, d), one));
      q = _mm_sub_ps(q, _mm_and_ps(_mm_cmplt_ps(r, zero), one));
      __m128i bytes = _mm_packs_epi32(_mm_cvttps_epi32(q), _mm_setzero_si128());
      uint32_t bgr = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(bytes, bytes)));
      bgr = (bgr & 0xFFFFFF) | 0xFF000000u;
      std::memcpy(out + p * 4, &bgr, 4);
    }
    return;
  }
#endif
  for (size_t p = 0; p < pixels; ++p) {
    for (int c = 0; c < 3; ++c) out[p * 4 + c] = static_cast<uint8_t>((sums[p * 4 + c] + half) / count);
    out[p * 4 + 3] = 0xFF;
  }
}

// The bits set in a sample mask (at most kMaxSamples bits).
inline int CountOf(unsigned mask) {
  static const uint8_t kBits[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
  return kBits[mask & 15] + kBits[(mask >> 4) & 15];
}

// The samples s < samples (at most 8) where t + rise[s] > 0; rise holds 8 values, and
// t + rise[s] must not overflow.
inline unsigned SamplesAbove(int32_t t, const int32_t* rise, int samples) {
#if defined(__SSE2__)
  const __m128i tv = _mm_set1_epi32(t), zero = _mm_setzero_si128();
  unsigned above = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(
      _mm_cmpgt_epi32(_mm_add_epi32(tv, _mm_loadu_si128(reinterpret_cast<const __m128i*>(rise))), zero))));
  if (samples > 4) {
    above |= static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(
                 _mm_add_epi32(tv, _mm_loadu_si128(reinterpret_cast<const __m128i*>(rise + 4))), zero))))
             << 4;
  }
  return above & ((1u << samples) - 1);
#else
  unsigned above = 0;
  for (int s = 0; s < samples; ++s) above |= static_cast<unsigned>(t + rise[s] > 0) << s;
  return above;
#endif
}

}  // namespace lmx::engine
