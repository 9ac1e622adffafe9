#include "frame_convert.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumorafx {

namespace {

// Video levels in fixed point: luma x 74/64 from 16, chroma from 128; the SIMD rows
// compute exactly these sums.
constexpr YuvFactors kBt601 = {102, 25, 52, 129, 66, 129, 25, 38, 74, 94, 18};
constexpr YuvFactors kBt709 = {115, 14, 34, 135, 47, 157, 16, 26, 87, 102, 10};

uint8_t Clamp(int v) { return static_cast<uint8_t>(std::min(255, std::max(0, v))); }

void YuvToBgra(const YuvFactors& f, int y, int u, int v, uint8_t* p) {
  const int yy = (y - 16) * 74;
  u -= 128, v -= 128;
  p[0] = Clamp((yy + f.bu * u + 32) >> 6);
  p[1] = Clamp((yy - f.gv * v - f.gu * u + 32) >> 6);
  p[2] = Clamp((yy + f.rv * v + 32) >> 6);
  p[3] = 255;
}

uint8_t LumaOf(const YuvFactors& f, const uint8_t* p) {
  return Clamp(((f.yr * p[2] + f.yg * p[1] + f.yb * p[0] + 128) >> 8) + 16);
}

// Chroma of a pair of pixels from their rounded mean.
void ChromaOf(const YuvFactors& f, const uint8_t* p, const uint8_t* q, uint8_t* u, uint8_t* v) {
  const int b = (p[0] + q[0] + 1) >> 1, g = (p[1] + q[1] + 1) >> 1, r = (p[2] + q[2] + 1) >> 1;
  *u = Clamp(((-f.ur * r - f.ug * g + 112 * b + 128) >> 8) + 128);
  *v = Clamp(((112 * r - f.vg * g - f.vb * b + 128) >> 8) + 128);
}

void SwapRedBlueRow(const uint8_t* in, int first, int width, uint8_t* out) {
  for (int x = first; x < width; ++x) {
    const uint8_t* p = in + x * 4;
    uint8_t* q = out + x * 4;
    q[0] = p[2], q[1] = p[1], q[2] = p[0], q[3] = p[3];
  }
}

#if defined(__SSE2__)
// Eight pixels a step; returns the first pixel left for the plain row.
int Yuv422RowToBgraSimd(const YuvFactors& f, const uint8_t* yuv, int width, uint8_t* bgra) {
  const __m128i low = _mm_set1_epi16(0x00FF), lowHalf = _mm_set1_epi32(0xFFFF);
  const __m128i y16 = _mm_set1_epi16(16), c128 = _mm_set1_epi16(128), round = _mm_set1_epi16(32);
  const __m128i alpha = _mm_set1_epi16(255);
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(yuv + x * 2));
    const __m128i yy = _mm_mullo_epi16(_mm_sub_epi16(_mm_and_si128(in, low), y16), _mm_set1_epi16(74));
    const __m128i c = _mm_srli_epi16(in, 8);  // U0 V0 U1 V1 ...
    __m128i u = _mm_and_si128(c, lowHalf), v = _mm_srli_epi32(c, 16);
    u = _mm_sub_epi16(_mm_or_si128(u, _mm_slli_epi32(u, 16)), c128);  // U0 U0 U1 U1 ...
    v = _mm_sub_epi16(_mm_or_si128(v, _mm_slli_epi32(v, 16)), c128);
    const __m128i base = _mm_add_epi16(yy, round);
    const __m128i b = _mm_srai_epi16(_mm_adds_epi16(base, _mm_mullo_epi16(u, _mm_set1_epi16(f.bu))), 6);
    const __m128i g = _mm_srai_epi16(_mm_sub_epi16(_mm_sub_epi16(base, _mm_mullo_epi16(v, _mm_set1_epi16(f.gv))),
                                                   _mm_mullo_epi16(u, _mm_set1_epi16(f.gu))),
                                     6);
    const __m128i r = _mm_srai_epi16(_mm_adds_epi16(base, _mm_mullo_epi16(v, _mm_set1_epi16(f.rv))), 6);
    const __m128i bg = _mm_packus_epi16(b, g), ra = _mm_packus_epi16(r, alpha);
    const __m128i bgPairs = _mm_unpacklo_epi8(bg, _mm_srli_si128(bg, 8));
    const __m128i raPairs = _mm_unpacklo_epi8(ra, _mm_srli_si128(ra, 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bgra + x * 4), _mm_unpacklo_epi16(bgPairs, raPairs));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bgra + x * 4 + 16), _mm_unpackhi_epi16(bgPairs, raPairs));
  }
  return x;
}

int BgraRowToYuv422Simd(const YuvFactors& f, const uint8_t* bgra, int width, uint8_t* yuv) {
  const __m128i mask = _mm_set1_epi32(0xFF), ones = _mm_set1_epi16(1), one32 = _mm_set1_epi32(1);
  const __m128i half = _mm_set1_epi16(128), y16 = _mm_set1_epi16(16);
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgra + x * 4));
    const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgra + x * 4 + 16));
    const __m128i b = _mm_packs_epi32(_mm_and_si128(p0, mask), _mm_and_si128(p1, mask));
    const __m128i g =
        _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(p0, 8), mask), _mm_and_si128(_mm_srli_epi32(p1, 8), mask));
    const __m128i r =
        _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(p0, 16), mask), _mm_and_si128(_mm_srli_epi32(p1, 16), mask));
    __m128i y = _mm_add_epi16(_mm_mullo_epi16(r, _mm_set1_epi16(f.yr)), _mm_mullo_epi16(g, _mm_set1_epi16(f.yg)));
    y = _mm_add_epi16(_mm_add_epi16(y, _mm_mullo_epi16(b, _mm_set1_epi16(f.yb))), half);
    y = _mm_add_epi16(_mm_srli_epi16(y, 8), y16);
    // The pairs' rounded means, in lanes 0 to 3.
    auto mean = [&](__m128i c) {
      const __m128i m = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(c, ones), one32), 1);
      return _mm_packs_epi32(m, m);
    };
    const __m128i rm = mean(r), gm = mean(g), bm = mean(b);
    __m128i u = _mm_sub_epi16(
        _mm_mullo_epi16(bm, _mm_set1_epi16(112)),
        _mm_add_epi16(_mm_mullo_epi16(rm, _mm_set1_epi16(f.ur)), _mm_mullo_epi16(gm, _mm_set1_epi16(f.ug))));
    __m128i v = _mm_sub_epi16(
        _mm_mullo_epi16(rm, _mm_set1_epi16(112)),
        _mm_add_epi16(_mm_mullo_epi16(gm, _mm_set1_epi16(f.vg)), _mm_mullo_epi16(bm, _mm_set1_epi16(f.vb))));
    u = _mm_add_epi16(_mm_srai_epi16(_mm_add_epi16(u, half), 8), half);
    v = _mm_add_epi16(_mm_srai_epi16(_mm_add_epi16(v, half), 8), half);
    const __m128i uv = _mm_unpacklo_epi16(u, v);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(yuv + x * 2),
                     _mm_packus_epi16(_mm_unpacklo_epi16(y, uv), _mm_unpackhi_epi16(y, uv)));
  }
  return x;
}

// Red and blue swapped, four pixels a step.
int SwapRedBlueRowSimd(const uint8_t* in, int width, uint8_t* out) {
  const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF00FF00u)), low = _mm_set1_epi32(0xFF);
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x * 4));
    const __m128i swapped = _mm_or_si128(
        _mm_and_si128(p, keep),
        _mm_or_si128(_mm_and_si128(_mm_srli_epi32(p, 16), low), _mm_slli_epi32(_mm_and_si128(p, low), 16)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), swapped);
  }
  return x;
}
#else
int Yuv422RowToBgraSimd(const YuvFactors&, const uint8_t*, int, uint8_t*) { return 0; }
int BgraRowToYuv422Simd(const YuvFactors&, const uint8_t*, int, uint8_t*) { return 0; }
int SwapRedBlueRowSimd(const uint8_t*, int, uint8_t*) { return 0; }
#endif

}  // namespace

const YuvFactors& FactorsOf(PixelLayout layout) { return layout == PixelLayout::Yuv709 ? kBt709 : kBt601; }

void Yuv422RowToBgra(const YuvFactors& f, const uint8_t* yuv, int first, int width, uint8_t* bgra) {
  for (int x = first; x < width; ++x) {
    const int pair = x & ~1;
    const int u = yuv[pair * 2 + 1], v = pair + 1 < width ? yuv[pair * 2 + 3] : 128;
    YuvToBgra(f, yuv[x * 2], u, v, bgra + x * 4);
  }
}

void BgraRowToYuv422(const YuvFactors& f, const uint8_t* bgra, int first, int width, uint8_t* yuv) {
  for (int x = first; x < width; x += 2) {
    const uint8_t* p = bgra + x * 4;
    const uint8_t* q = x + 1 < width ? p + 4 : p;
    uint8_t u, v;
    ChromaOf(f, p, q, &u, &v);
    yuv[x * 2] = LumaOf(f, p);
    yuv[x * 2 + 1] = u;
    if (x + 1 < width) yuv[x * 2 + 2] = LumaOf(f, q), yuv[x * 2 + 3] = v;
  }
}

size_t BytesPerPixel(PixelLayout layout) { return layout == PixelLayout::Rgba ? 4 : 2; }

void FrameToEngine(PixelLayout layout, const uint8_t* in, int width, int height, uint8_t* bgra) {
  const size_t inRow = static_cast<size_t>(width) * BytesPerPixel(layout), outRow = static_cast<size_t>(width) * 4;
  const YuvFactors& f = FactorsOf(layout);
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = in + static_cast<size_t>(y) * inRow;
    uint8_t* q = bgra + static_cast<size_t>(height - 1 - y) * outRow;
    if (layout != PixelLayout::Rgba) Yuv422RowToBgra(f, p, Yuv422RowToBgraSimd(f, p, width, q), width, q);
    else SwapRedBlueRow(p, SwapRedBlueRowSimd(p, width, q), width, q);
  }
}

void EngineToFrame(PixelLayout layout, const uint8_t* bgra, int width, int height, uint8_t* out) {
  const size_t inRow = static_cast<size_t>(width) * 4, outRow = static_cast<size_t>(width) * BytesPerPixel(layout);
  const YuvFactors& f = FactorsOf(layout);
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = bgra + static_cast<size_t>(height - 1 - y) * inRow;
    uint8_t* q = out + static_cast<size_t>(y) * outRow;
    if (layout != PixelLayout::Rgba) BgraRowToYuv422(f, p, BgraRowToYuv422Simd(f, p, width, q), width, q);
    else SwapRedBlueRow(p, SwapRedBlueRowSimd(p, width, q), width, q);
  }
}

}  // namespace lumorafx
