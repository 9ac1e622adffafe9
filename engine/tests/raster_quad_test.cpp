// Textured quads drawn as one primitive: shaded as their two halves would be, within a
// level or two along the diagonal; drawn as the halves where those interpolate apart. The
// draw lists join a cell's halves only where nothing comes between them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "job_fixture.h"
#include "scene.h"

namespace lmx::engine::test {
namespace {

constexpr int kWidth = 48, kHeight = 32, kSide = 16;

// A smooth picture: neighbouring texels differ by a few levels.
std::vector<uint8_t> Picture() {
  std::vector<uint8_t> px(static_cast<size_t>(kSide) * kSide * 4);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      uint8_t* p = &px[(static_cast<size_t>(y) * kSide + x) * 4];
      p[0] = static_cast<uint8_t>(40 + 8 * x), p[1] = static_cast<uint8_t>(200 - 6 * y);
      p[2] = static_cast<uint8_t>(90 + 3 * (x + y));
      p[3] = 255;
    }
  }
  return px;
}

struct Drawn {
  std::vector<SampleSum> sums;
  uint64_t fragments;
};

// Draws quad v textured with `picture`, as one primitive or as its halves.
Drawn DrawTextured(const ScreenVertex* v, bool perspective, bool asQuad, const std::vector<uint8_t>& picture) {
  const Sampler sampler = MakeSampler(ImageView{picture.data(), kSide, kSide}, 0, true);
  Material m;
  m.sampler = &sampler;
  m.perspective = perspective;
  Drawn out{};
  out.sums = DrawSums(kWidth, kHeight, 4, 0, [&](SampleFrame& frame) {
    const ScreenVertex second[3] = {v[0], v[2], v[3]};
    if (asQuad) {
      frame.DrawQuad(v, m);
    } else {
      frame.DrawTriangle(v, m);
      frame.DrawTriangle(second, m);
    }
    out.fragments = frame.shadedFragments();
  });
  return out;
}

ScreenVertex Corner(float x, float y, float invW, float u, float v) {
  ScreenVertex c;
  c.x = x, c.y = y, c.invW = invW, c.u = u, c.v = v;
  return c;
}

// A square seen in perspective, leaning away from the viewer: corner (s, t) of the square
// at (-10, -8, 2) + s (20, 0, 0) + t (0, 14, 3), texture coordinates (s, t).
void LeaningSquare(ScreenVertex* quad) {
  const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int i = 0; i < 4; ++i) {
    const float s = st[i][0], t = st[i][1];
    const float x = -10 + 20 * s, y = -8 + 14 * t, z = 2 + 3 * t;
    quad[i] = Corner(24 + 4 * x / z, 16 + 3.5f * y / z, 1 / z, s, t);
  }
}

// The largest difference of a pixel's mean colour between two drawings.
int LargestDifference(const Drawn& a, const Drawn& b) {
  int worst = 0;
  for (size_t i = 0; i < a.sums.size(); ++i) {
    if (i % kSumLanes == 3) continue;
    worst = std::max(worst, std::abs(static_cast<int>(a.sums[i] / 4) - static_cast<int>(b.sums[i] / 4)));
  }
  return worst;
}

TEST(RasterQuad, FlatQuadInPerspectiveIsShadedOncePerPixel) {
  ScreenVertex quad[4];
  LeaningSquare(quad);
  // A highlight towards one corner, which the halves interpolate a little apart (by about
  // a level per pixel): each pixel takes the half that holds its centre.
  quad[3].specular = 0.04f;
  const std::vector<uint8_t> picture = Picture();
  const Drawn whole = DrawTextured(quad, true, true, picture), halves = DrawTextured(quad, true, false, picture);
  EXPECT_LE(LargestDifference(whole, halves), 2);
  // The pixels along the diagonal are shaded once, not once per half.
  EXPECT_LT(whole.fragments, halves.fragments);
}

TEST(RasterQuad, HalvesThatInterpolateApartAreDrawnAsTriangles) {
  // The same square with its texture interpolated across the screen: each half has its
  // own mapping, which meet only along the diagonal.
  ScreenVertex quad[4];
  LeaningSquare(quad);
  const std::vector<uint8_t> picture = Picture();
  const Drawn whole = DrawTextured(quad, false, true, picture), halves = DrawTextured(quad, false, false, picture);
  EXPECT_EQ(whole.sums, halves.sums);
  EXPECT_EQ(whole.fragments, halves.fragments);
  // So does a quad that is not convex.
  const ScreenVertex dart[4] = {Corner(3, 3, 0.5f, 0, 0), Corner(40, 6, 0.5f, 1, 0), Corner(14, 12, 0.5f, 1, 1),
                                Corner(8, 29, 0.5f, 0, 1)};
  EXPECT_EQ(DrawTextured(dart, true, true, picture).sums, DrawTextured(dart, true, false, picture).sums);
}

// A list entry: half `half` of cell `cell` (0: none), its first corner at x = id.
DrawTriangle Half(uint32_t cell, uint8_t half, float id) {
  DrawTriangle t;
  for (int i = 0; i < 3; ++i) t.v[i] = Corner(id, static_cast<float>(i), 1, 0, 0);
  t.v[2].y = half == 0 ? 2.0f : 3.0f;  // the third corner: 2 in the first half, 3 in the second
  t.cell = cell, t.half = half;
  return t;
}

TEST(RasterQuad, CellHalvesJoinOnlyWhenNextToEachOther) {
  // Cell 1 in order, cell 3 the other way round, cell 2 with a triangle between.
  std::vector<DrawTriangle> list = {Half(1, 0, 10), Half(1, 1, 11), Half(0, 0, 20), Half(2, 0, 30),
                                    Half(0, 0, 21), Half(2, 1, 31), Half(3, 1, 41), Half(3, 0, 40)};
  MergeCells(list);
  ASSERT_EQ(list.size(), 6u);
  const float firstCorners[6] = {10, 20, 30, 21, 31, 40};
  const int corners[6] = {4, 3, 3, 3, 3, 4};
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].v[0].x, firstCorners[i]) << i;
    EXPECT_EQ(list[i].corners, corners[i]) << i;
  }
  // A quad's corners: the first half's three, then the second half's last.
  EXPECT_EQ(list[0].v[2].y, 2.0f);
  EXPECT_EQ(list[0].v[3].x, 11.0f);
  EXPECT_EQ(list[0].v[3].y, 3.0f);
  EXPECT_EQ(list[5].v[3].x, 41.0f);
}

}  // namespace
}  // namespace lmx::engine::test
