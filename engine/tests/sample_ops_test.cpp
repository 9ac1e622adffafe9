// The per-pixel arithmetic of the sample buffers against its plain integer form (the
// mean colour of a pixel, sample sums, sample masks, darkening), and a primitive's texel
// lookups against the sampler's.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "raster.h"
#include "sample_ops.h"
#include "sampling.h"

namespace lmx::engine::test {
namespace {

TEST(SampleOps, MeanColoursRoundLikeIntegerDivision) {
  // Every sum a pixel can reach for sample counts of the usual settings and a few odd
  // ones up to the largest the lanes hold, near each quotient's edges in particular.
  for (uint32_t count : {1u, 2u, 3u, 7u, 8u, 24u, 88u, 176u, 255u, kMaxSumCount}) {
    std::vector<SampleSum> sums;
    for (uint32_t level = 0; level <= 255; ++level) {
      for (uint32_t offset : {0u, 1u, count / 2 - (count > 1 ? 1 : 0), count / 2, count / 2 + 1, count - 1}) {
        uint32_t n = level * count + offset;
        if (n <= 255 * count) {
          sums.insert(sums.end(), {static_cast<SampleSum>(n), static_cast<SampleSum>(255 * count - n),
                                   static_cast<SampleSum>(n / 2), 0});
        }
      }
    }
    size_t pixels = sums.size() / 4;
    std::vector<uint8_t> out(pixels * 4);
    MeanColours(sums.data(), count, out.data(), pixels);
    int wrong = 0;
    for (size_t p = 0; p < pixels; ++p) {
      for (int c = 0; c < 3; ++c) wrong += out[p * 4 + c] != (sums[p * 4 + c] + count / 2) / count;
      wrong += out[p * 4 + 3] != 0xFF;
    }
    EXPECT_EQ(wrong, 0) << "count " << count;
  }
}

TEST(SampleOps, SumsAndMasksMatchTheirPlainForms) {
  std::vector<Packed> colours;
  for (uint32_t i = 0; i < 8; ++i) colours.push_back(0x00FFFFFFu - i * 0x00251C13u);
  for (int samples = 1; samples <= 8; ++samples) {
    SampleSum sum[4] = {7, 8, 9, 0};
    AddSamples(sum, colours.data(), samples);
    uint32_t b = 7, g = 8, r = 9;
    for (int s = 0; s < samples; ++s) b += BlueOf(colours[s]), g += GreenOf(colours[s]), r += RedOf(colours[s]);
    EXPECT_EQ(sum[0], b) << samples;
    EXPECT_EQ(sum[1], g) << samples;
    EXPECT_EQ(sum[2], r) << samples;

    SampleSum whole[4] = {1, 2, 3, 0};
    AddColour(whole, colours[samples - 1], samples);
    EXPECT_EQ(whole[0], 1u + BlueOf(colours[samples - 1]) * samples);
    EXPECT_EQ(whole[2], 3u + RedOf(colours[samples - 1]) * samples);

    const int32_t rise[8] = {0, 5, -3, 1 << 29, 2, -(1 << 29), 7, 4};
    for (int32_t t : {-(1 << 29), -6, -5, -4, 0, 3}) {
      unsigned expected = 0;
      for (int s = 0; s < samples; ++s) expected |= static_cast<unsigned>(t + rise[s] > 0) << s;
      EXPECT_EQ(SamplesAbove(t, rise, samples), expected) << samples << " samples, t " << t;
    }
  }
  for (unsigned mask = 0; mask < 256; ++mask) {
    int bits = 0;
    for (unsigned m = mask; m != 0; m >>= 1) bits += m & 1;
    EXPECT_EQ(CountOf(mask), bits) << mask;
  }
}

#if defined(__SSE2__)
TEST(SampleOps, FourDarkenedAtOnceAsEachAlone) {
  const Packed colours[4] = {0xFFFFFFFFu, 0x00010203u, 0x7F80FF00u, 0x12345678u};
  for (int keep : {0, 1, 136, 200, 255, 256}) {
    Packed lanes[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes),
                     sse::Darken4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(colours)), keep));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(lanes[k], Darken(colours[k], keep)) << "lane " << k << ", keep " << keep;
  }
}
#endif

// Coordinates outside, on and between the texel edges, not a number and far off.
std::vector<float> Coordinates(int steps) {
  std::vector<float> at = {-1.0f, -0.0f, 0.0f, 1.0f, 1.5f, std::numeric_limits<float>::quiet_NaN(), 1e30f, -1e30f,
                           0.999f};
  for (int i = 0; i <= steps; ++i) at.push_back(static_cast<float>(i) / steps + 0.002f * static_cast<float>(i % 7));
  return at;
}

std::vector<uint8_t> Pixels(int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 53 + 7);
  return pixels;
}

TEST(SampleOps, TexelFetchGivesTheSamplersColoursOneOrFourAtATime) {
  // A single column and row (no neighbour to blend with), two columns (the pair at the
  // last column is the first pair of the row) and odd, unequal sides, so that the last
  // column and row and the row stride matter; and no picture (the stand-in pattern).
  const std::vector<float> coordinates = Coordinates(48);
  const size_t n = coordinates.size();
  for (auto [width, height] : {std::pair{1, 1}, {1, 4}, {2, 1}, {2, 3}, {5, 3}, {0, 0}}) {
    const std::vector<uint8_t> pixels = Pixels(width, height);
    for (bool bilinear : {false, true}) {
      Sampler sampler = MakeSampler(width ? ImageView{pixels.data(), width, height} : ImageView{}, 1, bilinear);
      const TexelFetch fetch(&sampler);
      int wrong = 0;
      for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) {
          wrong += fetch.At(coordinates[i], coordinates[j]) != sampler.At(coordinates[i], coordinates[j]);
#if defined(__SSE2__)
          if (!fetch.HasLanes()) continue;
          // Each lane its own point, so that lanes mixed up show.
          float u[4], v[4];
          for (size_t k = 0; k < 4; ++k) u[k] = coordinates[(i + k) % n], v[k] = coordinates[(j + 3 * k) % n];
          uint32_t got[4];
          _mm_storeu_si128(reinterpret_cast<__m128i*>(got), fetch.At4(_mm_loadu_ps(u), _mm_loadu_ps(v)));
          for (int k = 0; k < 4; ++k) wrong += got[k] != sampler.At(u[k], v[k]);
#endif
        }
      }
#if defined(__SSE2__)
      EXPECT_EQ(fetch.HasLanes(), width != 0);
#endif
      EXPECT_EQ(wrong, 0) << width << " x " << height << (bilinear ? ", bilinear" : ", nearest");
    }
  }
}

}  // namespace
}  // namespace lmx::engine::test
