#include "frame_convert.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumorafx {

namespace {

// Swaps red and blue and turns the rows over: the same step in both directions.
void SwapAndFlip(const uint8_t* in, int width, int height, uint8_t* out) {
  const size_t row = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = in + static_cast<size_t>(y) * row;
    uint8_t* q = out + static_cast<size_t>(height - 1 - y) * row;
    size_t x = 0;
#if defined(__SSE2__)
    // Four pixels at a time: green and alpha stay, the bytes of red and blue trade places.
    const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF00FF00u)), low = _mm_set1_epi32(0xFF);
    for (; x + 16 <= row; x += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x));
      const __m128i swapped = _mm_or_si128(_mm_and_si128(v, keep),
                                           _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 16), low),
                                                        _mm_slli_epi32(_mm_and_si128(v, low), 16)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(q + x), swapped);
    }
#endif
    for (; x < row; x += 4) {
      q[x] = p[x + 2];
      q[x + 1] = p[x + 1];
      q[x + 2] = p[x];
      q[x + 3] = p[x + 3];
    }
  }
}

}  // namespace

void FrameToEngine(const uint32_t* rgba, int width, int height, uint8_t* bgra) {
  SwapAndFlip(reinterpret_cast<const uint8_t*>(rgba), width, height, bgra);
}

void EngineToFrame(const uint8_t* bgra, int width, int height, uint32_t* rgba) {
  SwapAndFlip(bgra, width, height, reinterpret_cast<uint8_t*>(rgba));
}

}  // namespace lumorafx
