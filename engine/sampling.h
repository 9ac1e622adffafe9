// Texture lookups for the renderer: nearest or bilinear, with a checker pattern standing
// in for a clip whose texture is missing.
#pragma once

#include <cstdint>
#include <cstring>

#include "image_view.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lmx::engine {

// A colour packed as 0x00RRGGBB (the byte order of a target pixel on little-endian).
using Packed = uint32_t;

inline Packed Pack(int r, int g, int b) {
  return static_cast<Packed>((r << 16) | (g << 8) | b);
}
inline int RedOf(Packed c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int GreenOf(Packed c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int BlueOf(Packed c) { return static_cast<int>(c & 0xFF); }

struct Sampler {
  ImageView image;
  Packed fallbackLight = 0, fallbackDark = 0;  // checker colours when image is empty
  bool bilinear = false;

  // u, v in [0, 1] (clamped), v upwards.
  Packed At(float u, float v) const {
    if (!image.valid()) return Filtered(u, v);
    return bilinear ? Bilinear(u, v) : Nearest(u, v);
  }
  // The texel under (u, v); image must be valid.
  Packed Nearest(float u, float v) const {
#if defined(__SSE2__)
    // Both coordinates at once: clamped to [0, size - 1] in texels (NaN to 0), truncated.
    const float w = static_cast<float>(image.width), h = static_cast<float>(image.height);
    __m128 t = _mm_mul_ps(_mm_set_ps(0, 0, v, u), _mm_set_ps(0, 0, h, w));
    t = _mm_min_ps(_mm_max_ps(t, _mm_setzero_ps()), _mm_set_ps(0, 0, h - 1, w - 1));
    __m128i xy = _mm_cvttps_epi32(t);
    int x = _mm_cvtsi128_si32(xy), y = _mm_cvtsi128_si32(_mm_srli_si128(xy, 4));
#else
    u = u >= 0 ? (u <= 1 ? u : 1) : 0;  // NaN becomes 0 too
    v = v >= 0 ? (v <= 1 ? v : 1) : 0;
    int x = static_cast<int>(u * image.width), y = static_cast<int>(v * image.height);
    if (x >= image.width) x = image.width - 1;
    if (y >= image.height) y = image.height - 1;
#endif
    return Word(image.pixels + (static_cast<size_t>(y) * image.width + x) * 4) & 0xFFFFFF;
  }
  // Bilinear filtering in 8-bit fixed point; image must be valid.
  Packed Bilinear(float u, float v) const {
#if defined(__SSE2__)
    // Both coordinates at once, in 1/256 texel from the first texel's centre, clamped to
    // [0, (size - 1) * 256] (NaN to 0). Subtracting the half texel is exact in float.
    const float w = static_cast<float>(image.width * 256), h = static_cast<float>(image.height * 256);
    __m128 t = _mm_sub_ps(_mm_mul_ps(_mm_set_ps(0, 0, v, u), _mm_set_ps(0, 0, h, w)), _mm_set1_ps(128.0f));
    t = _mm_min_ps(_mm_max_ps(t, _mm_setzero_ps()), _mm_set_ps(0, 0, h - 256, w - 256));
    __m128i fxy = _mm_cvttps_epi32(t);
    int fx = _mm_cvtsi128_si32(fxy), fy = _mm_cvtsi128_si32(_mm_srli_si128(fxy, 4));
#else
    u = u >= 0 ? (u <= 1 ? u : 1) : 0;
    v = v >= 0 ? (v <= 1 ? v : 1) : 0;
    int fx = static_cast<int>(u * (image.width * 256)) - 128, fy = static_cast<int>(v * (image.height * 256)) - 128;
    int maxX = (image.width - 1) * 256, maxY = (image.height - 1) * 256;
    fx = fx < 0 ? 0 : (fx > maxX ? maxX : fx);
    fy = fy < 0 ? 0 : (fy > maxY ? maxY : fy);
#endif
    int x0 = fx >> 8, y0 = fy >> 8;
    uint32_t wx = static_cast<uint32_t>(fx & 255), wy = static_cast<uint32_t>(fy & 255);
    int dx = x0 + 1 < image.width ? 4 : 0;
    size_t dy = y0 + 1 < image.height ? static_cast<size_t>(image.width) * 4 : 0;
    const uint8_t* p = image.pixels + (static_cast<size_t>(y0) * image.width + x0) * 4;
    uint32_t a = Word(p), b = Word(p + dx), c = Word(p + dy), d = Word(p + dy + dx);
#if defined(__SSE2__)
    // The same steps, both rows at once: along x (a to b, c to d), then along y.
    const __m128i zero = _mm_setzero_si128();
    __m128i ac = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(a)),
                                                      _mm_cvtsi32_si128(static_cast<int>(c))), zero);
    __m128i bd = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(b)),
                                                      _mm_cvtsi32_si128(static_cast<int>(d))), zero);
    __m128i rows = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(ac, _mm_set1_epi16(static_cast<int16_t>(256 - wx))),
                                                _mm_mullo_epi16(bd, _mm_set1_epi16(static_cast<int16_t>(wx)))), 8);
    __m128i both = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(rows, _mm_set1_epi16(static_cast<int16_t>(256 - wy))),
                      _mm_mullo_epi16(_mm_srli_si128(rows, 8), _mm_set1_epi16(static_cast<int16_t>(wy)))), 8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(both, zero))) & 0xFFFFFF;
#else
    return Lerp2(Lerp2(a, b, wx), Lerp2(c, d, wx), wy) & 0xFFFFFF;
#endif
  }
  // A texel's blue, green and red as 0x00RRGGBB (the bytes of a little-endian word).
  static uint32_t Word(const uint8_t* p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
  }
  // Red and blue in one word, green in another: two channels per multiplication.
  static uint32_t Lerp2(uint32_t p, uint32_t q, uint32_t w) {
    uint32_t rb = (((p & 0xFF00FF) * (256 - w) + (q & 0xFF00FF) * w) >> 8) & 0xFF00FF;
    uint32_t g = (((p & 0x00FF00) * (256 - w) + (q & 0x00FF00) * w) >> 8) & 0x00FF00;
    return rb | g;
  }
  // Bilinear filtering, and the stand-in pattern.
  Packed Filtered(float u, float v) const;
  // The mean colour over the rectangle [u0, u1] x [v0, v1], from a few samples.
  Packed MeanOver(float u0, float v0, float u1, float v1) const;
};

// Many lookups through one sampler (the fragments of one primitive), its constants worked
// out once; the same colours as Sampler::At.
class TexelFetch {
 public:
  // sampler may be null: At is then never called.
  explicit TexelFetch(const Sampler* sampler) : sampler_(sampler) {
    if (sampler == nullptr || !sampler->image.valid()) return;
    const ImageView& image = sampler->image;
    mode_ = sampler->bilinear ? kBilinear : kNearest;
    pixels_ = image.pixels;
    const float unit = sampler->bilinear ? 256.0f : 1.0f;
    scale_[0] = static_cast<float>(image.width) * unit, scale_[1] = static_cast<float>(image.height) * unit;
    limit_[0] = static_cast<float>(image.width - 1) * unit, limit_[1] = static_cast<float>(image.height - 1) * unit;
    offset_[0] = offset_[1] = sampler->bilinear ? 128.0f : 0.0f;
    rowWeights_[0] = 1, rowWeights_[1] = static_cast<int16_t>(image.width);
    lastTexel_[0] = image.width - 1, lastTexel_[1] = image.height - 1;
    nextBytes_[0] = 4, nextBytes_[1] = image.width * 4;
    for (int k = 0; k < 4; ++k) {
      wide_.scaleU[k] = scale_[0], wide_.scaleV[k] = scale_[1], wide_.offset[k] = offset_[0];
      wide_.limitU[k] = limit_[0], wide_.limitV[k] = limit_[1];
      wide_.lastX[k] = lastTexel_[0], wide_.lastY[k] = lastTexel_[1];
      wide_.nextX[k] = nextBytes_[0], wide_.nextY[k] = nextBytes_[1];
      wide_.rowWeights[k] = (static_cast<int32_t>(rowWeights_[1]) << 16) | 1;
    }
  }

  Packed At(float u, float v) const {
#if defined(__SSE2__)
    if (mode_ != kOther) return At(_mm_set_ps(0, 0, v, u));
#endif
    return sampler_->At(u, v);
  }
#if defined(__SSE2__)
  // u and v in the two low lanes (the others are ignored).
  Packed At(__m128 uv) const {
    if (mode_ == kOther) {
      float u = _mm_cvtss_f32(uv), v = _mm_cvtss_f32(_mm_shuffle_ps(uv, uv, _MM_SHUFFLE(1, 1, 1, 1)));
      return sampler_->At(u, v);
    }
    // Both coordinates at once, in texels (1/256 texel from the first texel's centre
    // when bilinear), clamped to the image (NaN to 0); the two upper lanes come out 0.
    // Subtracting the half texel is exact in float, so this is the sampler's own
    // arithmetic.
    __m128 t = _mm_sub_ps(_mm_mul_ps(uv, _mm_loadu_ps(scale_)), _mm_loadu_ps(offset_));
    t = _mm_min_ps(_mm_max_ps(t, _mm_setzero_ps()), _mm_loadu_ps(limit_));
    __m128i xy = _mm_cvttps_epi32(t);
    if (mode_ == kBilinear) return Blend(xy);
    return Sampler::Word(pixels_ + static_cast<size_t>(TexelIndex(xy)) * 4) & 0xFFFFFF;
  }
  // Whether At4 serves this sampler (an image to read; the stand-in pattern goes through At).
  bool HasLanes() const { return mode_ != kOther; }
  // Four lookups at once, u and v of each in the lanes of u and v; HasLanes() must hold.
  // The same colours as At, lane by lane.
  __m128i At4(__m128 u, __m128 v) const {
    const __m128 zero = _mm_setzero_ps(), offset = _mm_loadu_ps(wide_.offset);
    __m128 tx = _mm_sub_ps(_mm_mul_ps(u, _mm_loadu_ps(wide_.scaleU)), offset);
    __m128 ty = _mm_sub_ps(_mm_mul_ps(v, _mm_loadu_ps(wide_.scaleV)), offset);
    tx = _mm_min_ps(_mm_max_ps(tx, zero), _mm_loadu_ps(wide_.limitU));
    ty = _mm_min_ps(_mm_max_ps(ty, zero), _mm_loadu_ps(wide_.limitV));
    const __m128i fx = _mm_cvttps_epi32(tx), fy = _mm_cvttps_epi32(ty);
    const __m128i rowWeights = Load4(wide_.rowWeights);
    const __m128i colourBits = _mm_set1_epi32(0xFFFFFF);
    uint32_t texels[16];
    int32_t offsets[16];
    if (mode_ == kNearest) {
      // x + y * width in each lane, as bytes.
      const __m128i index = _mm_madd_epi16(_mm_or_si128(fx, _mm_slli_epi32(fy, 16)), rowWeights);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(offsets), _mm_slli_epi32(index, 2));
      for (int k = 0; k < 4; ++k) texels[k] = Sampler::Word(pixels_ + offsets[k]);
      return _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(texels)), colourBits);
    }
    const __m128i x0 = _mm_srai_epi32(fx, 8), y0 = _mm_srai_epi32(fy, 8);
    const __m128i dx = _mm_and_si128(_mm_cmplt_epi32(x0, Load4(wide_.lastX)), Load4(wide_.nextX));
    const __m128i dy = _mm_and_si128(_mm_cmplt_epi32(y0, Load4(wide_.lastY)), Load4(wide_.nextY));
    const __m128i at = _mm_slli_epi32(_mm_madd_epi16(_mm_or_si128(x0, _mm_slli_epi32(y0, 16)), rowWeights), 2);
    __m128i a, b, c, d;
    if (wide_.nextY[0] >= 8) {
      // A row of two texels or more: each pair of neighbours along x in one 8-byte load,
      // at the last column the pair that ends there (whose second texel stands for both).
      const __m128i pair = _mm_add_epi32(at, _mm_sub_epi32(dx, _mm_set1_epi32(4)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(offsets), pair);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(offsets + 4), _mm_add_epi32(pair, dy));
      const __m128 lastColumn = _mm_castsi128_ps(_mm_cmpeq_epi32(dx, _mm_setzero_si128()));
      const bool atLast = _mm_movemask_ps(lastColumn) != 0;
      auto pairs = [&](const int32_t* at4, __m128i& first, __m128i& second) {
        const __m128 p01 = _mm_castsi128_ps(_mm_unpacklo_epi64(Pair(at4[0]), Pair(at4[1])));
        const __m128 p23 = _mm_castsi128_ps(_mm_unpacklo_epi64(Pair(at4[2]), Pair(at4[3])));
        const __m128 left = _mm_shuffle_ps(p01, p23, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 right = _mm_shuffle_ps(p01, p23, _MM_SHUFFLE(3, 1, 3, 1));
        const __m128 chosen = atLast ? _mm_or_ps(_mm_and_ps(lastColumn, right), _mm_andnot_ps(lastColumn, left)) : left;
        first = _mm_castps_si128(chosen);
        second = _mm_castps_si128(right);
      };
      pairs(offsets, a, b);
      pairs(offsets + 4, c, d);
    } else {
      const __m128i below = _mm_add_epi32(at, dy);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(offsets), at);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(offsets + 4), _mm_add_epi32(at, dx));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(offsets + 8), below);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(offsets + 12), _mm_add_epi32(below, dx));
      for (int k = 0; k < 16; ++k) texels[k] = Sampler::Word(pixels_ + offsets[k]);
      a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels));
      b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + 4));
      c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + 8));
      d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + 12));
    }
    // (a (256 - w) + b w) >> 8 stays below 2^16: 16-bit lanes, two texels per register.
    __m128i wxLo, wxHi, wyLo, wyHi;
    Spread16(_mm_and_si128(fx, _mm_set1_epi32(255)), wxLo, wxHi);
    Spread16(_mm_and_si128(fy, _mm_set1_epi32(255)), wyLo, wyHi);
    const __m128i full = _mm_set1_epi16(256), zero16 = _mm_setzero_si128();
    auto lerp = [&](__m128i a, __m128i b, __m128i w) {
      return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, _mm_sub_epi16(full, w)), _mm_mullo_epi16(b, w)), 8);
    };
    const __m128i topLo = lerp(_mm_unpacklo_epi8(a, zero16), _mm_unpacklo_epi8(b, zero16), wxLo);
    const __m128i topHi = lerp(_mm_unpackhi_epi8(a, zero16), _mm_unpackhi_epi8(b, zero16), wxHi);
    const __m128i bottomLo = lerp(_mm_unpacklo_epi8(c, zero16), _mm_unpacklo_epi8(d, zero16), wxLo);
    const __m128i bottomHi = lerp(_mm_unpackhi_epi8(c, zero16), _mm_unpackhi_epi8(d, zero16), wxHi);
    return _mm_and_si128(_mm_packus_epi16(lerp(topLo, bottomLo, wyLo), lerp(topHi, bottomHi, wyHi)), colourBits);
  }
  static __m128i Load4(const int32_t* lanes) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes)); }
  // The two texels from byte `offset` on, in the low 64 bits.
  __m128i Pair(int32_t offset) const {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixels_ + offset));
  }
  // The low 16 bits of each 32-bit lane, four times over: lanes 0 and 1 into lo, 2 and 3
  // into hi (one value per texel's four channels).
  static void Spread16(__m128i v, __m128i& lo, __m128i& hi) {
    const __m128i pairs = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
    lo = _mm_unpacklo_epi32(pairs, pairs);
    hi = _mm_unpackhi_epi32(pairs, pairs);
  }
#endif

 private:
  static_assert(kMaxImageSide < 32768, "texel positions are multiplied in 16 bits");
#if defined(__SSE2__)
  // x + y * width for texel (x, y) in the two low lanes, the upper lanes 0.
  int TexelIndex(__m128i xy) const {
    __m128i pair = _mm_packs_epi32(xy, xy);
    return _mm_cvtsi128_si32(_mm_madd_epi16(pair, _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowWeights_))));
  }
  // Bilinear: (a (256 - wx) + b wx) >> 8 along x for both rows, then the same along y,
  // two channels of a pair per multiply-add.
  Packed Blend(__m128i fxy) const {
    const __m128i xy0 = _mm_srai_epi32(fxy, 8);
    // The step to the next texel along x and y, 0 at the last column or row.
    const __m128i next = _mm_and_si128(_mm_cmplt_epi32(xy0, _mm_loadu_si128(reinterpret_cast<const __m128i*>(lastTexel_))),
                                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(nextBytes_)));
    const int dx = _mm_cvtsi128_si32(next), dy = _mm_cvtsi128_si32(_mm_srli_si128(next, 4));
    const uint8_t* p = pixels_ + static_cast<size_t>(TexelIndex(xy0)) * 4;
    // (w << 16) | (256 - w) for wx and wy, each spread over a register.
    __m128i w = _mm_and_si128(fxy, _mm_set1_epi32(255));
    w = _mm_or_si128(_mm_slli_epi32(w, 16), _mm_sub_epi32(_mm_set1_epi32(256), w));
    const __m128i weightX = _mm_shuffle_epi32(w, _MM_SHUFFLE(0, 0, 0, 0));
    const __m128i weightY = _mm_shuffle_epi32(w, _MM_SHUFFLE(1, 1, 1, 1));
    const __m128i zero = _mm_setzero_si128();
    __m128i ac = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(Sampler::Word(p))),
                                                      _mm_cvtsi32_si128(static_cast<int>(Sampler::Word(p + dy)))),
                                   zero);
    __m128i bd = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(Sampler::Word(p + dx))),
                                                      _mm_cvtsi32_si128(static_cast<int>(Sampler::Word(p + dy + dx)))),
                                   zero);
    __m128i top = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(ac, bd), weightX), 8);
    __m128i bottom = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(ac, bd), weightX), 8);
    __m128i both = _mm_srli_epi32(
        _mm_madd_epi16(_mm_unpacklo_epi16(_mm_packs_epi32(top, zero), _mm_packs_epi32(bottom, zero)), weightY), 8);
    __m128i packed = _mm_packs_epi32(both, zero);
    return static_cast<Packed>(_mm_cvtsi128_si32(_mm_packus_epi16(packed, zero))) & 0xFFFFFF;
  }
#endif
  enum Mode { kOther, kNearest, kBilinear };
  const Sampler* sampler_;
  Mode mode_ = kOther;
  const uint8_t* pixels_ = nullptr;
  // Four lanes each, for unaligned loads; the lanes after the first two stay 0.
  float scale_[4] = {}, limit_[4] = {}, offset_[4] = {};
  int16_t rowWeights_[8] = {};
  int32_t lastTexel_[4] = {}, nextBytes_[4] = {};
  // The same, each value in four lanes, for At4 (u and v apart).
  struct {
    float scaleU[4], scaleV[4], offset[4], limitU[4], limitV[4];
    int32_t lastX[4], lastY[4], nextX[4], nextY[4], rowWeights[4];
  } wide_ = {};
};

// The sampler for texture `index` of a job, with its stand-in colours.
Sampler MakeSampler(const ImageView& image, int index, bool bilinear);

}  // namespace lmx::engine
