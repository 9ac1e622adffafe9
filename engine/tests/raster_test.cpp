// The rasteriser: coverage of shared edges, slivers and fans at every sample count, depth
// where planes cross inside a pixel, and quads against their two halves.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "job_fixture.h"
#include "scene.h"

namespace lmx::engine::test {
namespace {

constexpr Packed kBackground = 0x000000;
constexpr Packed kMeshColour = 0xC8C8C8;  // drawn at half opacity: 0x646464 once, 0x969696 twice

ScreenVertex Corner(float x, float y, float invW, float u, float v) {
  ScreenVertex c;
  c.x = x, c.y = y, c.invW = invW, c.u = u, c.v = v;
  return c;
}

ScreenVertex At(float x, float y) { return Corner(x, y, 0.5f, 0, 0); }

// Quad v[0..3] drawn as one primitive, or as its halves (0, 1, 2) and (0, 2, 3).
void DrawQuadOrHalves(SampleFrame& frame, const ScreenVertex* v, const Material& m, bool whole) {
  const ScreenVertex second[3] = {v[0], v[2], v[3]};
  if (whole) {
    frame.DrawQuad(v, m);
  } else {
    frame.DrawTriangle(v, m);
    frame.DrawTriangle(second, m);
  }
}

// A deterministic jitter of at most `reach` pixels, in sixteenths of a pixel, so that
// many edges run exactly through sample positions and pixel corners.
float Jitter(unsigned i, float reach) {
  int steps = static_cast<int>(reach * 16);
  i = i * 2654435761u;
  return static_cast<float>(static_cast<int>((i >> 13) % static_cast<unsigned>(2 * steps + 1)) - steps) / 16.0f;
}

// Sums of every pixel's samples after drawing `shapes` (triangles, or quads drawn as
// one) translucent over black.
template <size_t kCorners>
std::vector<SampleSum> Draw(int width, int height, int samples,
                            const std::vector<std::array<ScreenVertex, kCorners>>& shapes) {
  Material material;
  material.flat = kMeshColour;
  material.alpha = 0.5f;
  return DrawSums(width, height, samples, kBackground, [&](SampleFrame& frame) {
    for (const auto& t : shapes) {
      if constexpr (kCorners == 4) frame.DrawQuad(t.data(), material);
      else frame.DrawTriangle(t.data(), material);
    }
  });
}

// Colour channels whose samples do not add up to each sample covered exactly once.
int NotCoveredOnce(const std::vector<SampleSum>& sums, int samples) {
  int wrong = 0;
  for (size_t i = 0; i < sums.size(); ++i) wrong += i % kSumLanes != 3 && sums[i] != 0x64u * samples;
  return wrong;
}

// A jittered grid over more than the frame, each cell cut along a varying diagonal. A
// jitter of at most a fifth of a cell keeps every cell convex; every sample of the frame
// lies inside the mesh.
std::vector<std::array<ScreenVertex, 3>> Mesh(int width, int height, int cells, unsigned seed) {
  std::vector<ScreenVertex> grid;
  const float reach = (std::min(width, height) + 4.0f) / cells / 5;
  for (int j = 0; j <= cells; ++j) {
    for (int i = 0; i <= cells; ++i) {
      unsigned k = seed * 7919u + static_cast<unsigned>(j * (cells + 1) + i);
      bool border = i == 0 || j == 0 || i == cells || j == cells;
      float x = -2.0f + (width + 4.0f) * i / cells + (border ? 0 : Jitter(k, reach));
      float y = -2.0f + (height + 4.0f) * j / cells + (border ? 0 : Jitter(k + 1000, reach));
      grid.push_back(At(x, y));
    }
  }
  std::vector<std::array<ScreenVertex, 3>> out;
  auto g = [&](int i, int j) { return grid[static_cast<size_t>(j * (cells + 1) + i)]; };
  for (int j = 0; j < cells; ++j) {
    for (int i = 0; i < cells; ++i) {
      if ((i + j + seed) % 2 == 0) {
        out.push_back({g(i, j), g(i + 1, j), g(i + 1, j + 1)});
        out.push_back({g(i, j), g(i + 1, j + 1), g(i, j + 1)});
      } else {
        out.push_back({g(i, j), g(i + 1, j), g(i, j + 1)});
        out.push_back({g(i + 1, j + 1), g(i, j + 1), g(i + 1, j)});  // the other winding too
      }
    }
  }
  return out;
}

// The cells of a mesh as quads: each pair of halves from Mesh, joined along a diagonal.
std::vector<std::array<ScreenVertex, 4>> CellsOf(const std::vector<std::array<ScreenVertex, 3>>& halves) {
  std::vector<std::array<ScreenVertex, 4>> quads;
  for (size_t t = 0; t + 1 < halves.size(); t += 2) {
    const auto& h = halves[t];
    const auto& o = halves[t + 1];
    if (h[0].x == o[0].x && h[0].y == o[0].y) {
      quads.push_back({h[0], h[1], h[2], o[2]});
    } else {  // the other diagonal: the quad turned the other way round
      quads.push_back({h[0], h[2], o[0], h[1]});
    }
  }
  return quads;
}

TEST(RasterCoverage, SharedEdgesCoverEverySampleExactlyOnce) {
  const int width = 128, height = 16;  // far from the corner too, edges meet sample positions
  for (int samples = 1; samples <= kMaxSamples; ++samples) {
    for (unsigned seed = 0; seed < 4; ++seed) {
      for (int cells : {5, 16}) {
        const std::vector<std::array<ScreenVertex, 3>> mesh = Mesh(width, height, cells, seed);
        for (bool quads : {false, true}) {
          const std::vector<SampleSum> sums =
              quads ? Draw(width, height, samples, CellsOf(mesh)) : Draw(width, height, samples, mesh);
          EXPECT_EQ(NotCoveredOnce(sums, samples), 0)
              << samples << " samples, seed " << seed << ", " << cells << " cells" << (quads ? ", quads" : "");
        }
      }
    }
  }
}

// Sums after shadowing a grey frame with each quad, whole or as its triangles (0, 1, 2)
// and (0, 2, 3); quad i darkens with its own strength, so the first to reach a sample shows.
std::vector<SampleSum> Shadowed(int width, int height, int samples,
                                const std::vector<std::array<ScreenVertex, 4>>& quads, bool whole) {
  return DrawSums(width, height, samples, 0xC8C8C8, [&](SampleFrame& frame) {
    for (size_t i = 0; i < quads.size(); ++i) {
      const auto& q = quads[i];
      const int keep = 100 + static_cast<int>(i % 7) * 20;
      const ScreenVertex second[3] = {q[0], q[2], q[3]};
      if (whole) {
        frame.DrawShadowQuad(q.data(), keep);
      } else {
        frame.DrawShadow(q.data(), keep);
        frame.DrawShadow(second, keep);
      }
    }
  });
}

TEST(RasterCoverage, ShadowQuadsCoverWhatTheirTrianglesCover) {
  const int width = 64, height = 24;
  for (int samples : {1, 2, 4, 8}) {
    for (unsigned seed = 0; seed < 3; ++seed) {
      // Quads that are not convex (a dart and a bow tie), then the cells of a jittered grid
      // (convex, either winding) and overlapping cells of a coarser one.
      std::vector<std::array<ScreenVertex, 4>> quads = {
          {At(5.3f, 3.1f), At(30.7f, 6.2f), At(12.5f, 9.4f), At(8.1f, 20.6f)},
          {At(40.2f, 2.5f), At(60.9f, 21.3f), At(60.1f, 2.9f), At(41.6f, 20.1f)}};
      for (int cells : {6, 3}) {
        for (const auto& q : CellsOf(Mesh(width, height, cells, seed))) quads.push_back(q);
      }
      EXPECT_EQ(Shadowed(width, height, samples, quads, true), Shadowed(width, height, samples, quads, false))
          << samples << " samples, seed " << seed;
    }
  }
}

// Triangles from (cx, cy) to each pair of neighbouring points of a closed ring.
std::vector<std::array<ScreenVertex, 3>> Fan(float cx, float cy, const std::vector<ScreenVertex>& ring) {
  std::vector<std::array<ScreenVertex, 3>> fan;
  for (size_t k = 0; k < ring.size(); ++k) fan.push_back({At(cx, cy), ring[k], ring[(k + 1) % ring.size()]});
  return fan;
}

TEST(RasterCoverage, FansCoverEverySampleOnce) {
  // Twelve triangles meeting at a point: the point on each sample position of the pattern
  // and on a pixel corner (variants -1 to samples - 1); then about a jittered point, with
  // a ring alternating points tens of thousands of pixels away with points near the frame
  // (variants 8 to 10): the long triangles' edge tests need 64 bits, the short ones' fit in
  // 32, and both must give every sample of a shared edge to exactly one of them.
  const float ring[12][2] = {{20, 0},  {20, 7},    {20, 20}, {6, 20},  {0, 20},   {-13, 20},
                             {-20, 1}, {-20, -20}, {-3, -20}, {0, -20}, {11, -20}, {20, -20}};
  for (int samples = 1; samples <= kMaxSamples; ++samples) {
    SampleFrame probe;
    probe.Reset(12, 12, samples);
    for (int variant = -1; variant < 11; ++variant) {
      if (variant >= samples && variant < 8) continue;
      const bool far = variant >= 8;
      const float seed = static_cast<float>(variant - 8);
      const float cx = far ? 6 + Jitter(variant - 8, 1) : 4 + (variant < 0 ? 0 : probe.sampleX()[variant]);
      const float cy = far ? 5 + Jitter(variant - 1, 1) : 3 + (variant < 0 ? 0 : probe.sampleY()[variant]);
      std::vector<ScreenVertex> points;
      for (int k = 0; k < 12; ++k) {
        const float angle = 6.2831853f * k / 12 + 0.1f * seed, reach = k % 3 == 0 ? 40000.0f + 1000.0f * seed : 30.0f;
        points.push_back(far ? At(cx + reach * std::cos(angle), cy + reach * std::sin(angle))
                             : At(cx + ring[k][0], cy + ring[k][1]));
      }
      EXPECT_EQ(NotCoveredOnce(Draw(12, 12, samples, Fan(cx, cy, points)), samples), 0)
          << samples << " samples, variant " << variant;
    }
  }
}

TEST(RasterCoverage, SliverCoversTheSamplesItPassesOver) {
  // A tenth of a pixel thick, nearly horizontal, across the frame, at the height of each
  // sample of row 3 in turn: every pixel of the row counts exactly the samples at that
  // height (no dotted line).
  const int width = 32, height = 8;
  for (int samples : {1, 2, 4, 8}) {
    SampleFrame probe;
    probe.Reset(width, height, samples);
    for (int s = 0; s < samples; ++s) {
      const float y = 3 + probe.sampleY()[s];
      uint32_t expected = 0;
      for (int t = 0; t < samples; ++t) expected += probe.sampleY()[t] == probe.sampleY()[s] ? 0x64u : 0u;
      const std::vector<std::array<ScreenVertex, 3>> quad = {
          {At(-1, y - 0.05f), At(width + 1, y - 0.05f), At(width + 1, y + 0.05f)},
          {At(-1, y - 0.05f), At(width + 1, y + 0.05f), At(-1, y + 0.05f)}};
      const std::vector<SampleSum> sums = Draw(width, height, samples, quad);
      for (int x = 0; x < width; ++x) {
        EXPECT_EQ(sums[(3 * width + x) * kSumLanes], expected)
            << samples << " samples, sample " << s << ", column " << x;
      }
    }
  }
}

TEST(RasterCoverage, PageMeshesHaveNoHolesAtAnySampleCount) {
  // The outgoing page pure red over a pure green incoming clip: a pixel with green whose
  // eight neighbours have none is background seen through the mesh.
  for (int aa = 1; aa <= kMaxSamples; ++aa) {
    for (uint32_t objects : {1u, 2u}) {
      JobFixture f(128, 128);
      f.FillTexture(0, {0, 0, 255});
      f.FillTexture(1, {0, 255, 0});
      f.general(AntiAliasing) = static_cast<float>(aa);
      f.settings().specialValues[0] = {0, TagCurl, objects == 1 ? 50.0f : 70.0f};
      f.settings().specialCount = 1;
      for (int position : {1, 2, 3, 5, 8, 11}) {
        ASSERT_EQ(f.RenderAt(MotionKind::Page, position, 15, objects), 0);
        int holes = 0;
        for (int y = 1; y < 127; ++y) {
          for (int x = 1; x < 127; ++x) {
            if (f.TargetPixel(x, y).g == 0) continue;
            int greenAround = 0;
            for (int dy = -1; dy <= 1; ++dy)
              for (int dx = -1; dx <= 1; ++dx) greenAround += (dx || dy) && f.TargetPixel(x + dx, y + dy).g != 0;
            holes += greenAround == 0;
          }
        }
        EXPECT_EQ(holes, 0) << "AA " << aa << ", " << objects << " objects, frame " << position;
      }
    }
  }
}

namespace depth {

constexpr int kWidth = 64, kHeight = 5;
constexpr Packed kRed = 0xC00000, kBlue = 0x0000C0;

// 1 / distance along x: the rising plane passes the falling one at x = 32.3, away from
// every sample position.
float Rising(float x) { return 0.1f + 0.01f * x; }
float Falling(float x) { return 0.746f - 0.01f * x; }

// Two triangles over more than the frame, their diagonal crossing every row; or the
// quad they make, drawn as one.
void DrawCover(SampleFrame& frame, Packed colour, float (*depth)(float), bool asQuad) {
  const float right = kWidth + 1.0f, bottom = kHeight + 1.0f;
  const ScreenVertex corners[4] = {Corner(-1, -1, depth(-1), 0, 0), Corner(right, -1, depth(right), 0, 0),
                                   Corner(right, bottom, depth(right), 0, 0), Corner(-1, bottom, depth(-1), 0, 0)};
  Material material;
  material.flat = colour;
  DrawQuadOrHalves(frame, corners, material, asQuad);
}

TEST(RasterDepth, CrossingPlanesShowTheNearerAtEverySample) {
  for (int samples : {1, 2, 4, 8}) {
    for (int order = 0; order < 4; ++order) {
      const bool risingFirst = order % 2 == 0, asQuads = order >= 2;
      const std::vector<SampleSum> sums = DrawSums(kWidth, kHeight, samples, 0x00FF00, [&](SampleFrame& frame) {
        DrawCover(frame, risingFirst ? kRed : kBlue, risingFirst ? Rising : Falling, asQuads);
        DrawCover(frame, risingFirst ? kBlue : kRed, risingFirst ? Falling : Rising, asQuads);
      });
      SampleFrame probe;
      probe.Reset(kWidth, kHeight, samples);
      int wrong = 0;
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          uint32_t red = 0, blue = 0;
          for (int s = 0; s < samples; ++s) {
            const float at = x + probe.sampleX()[s];
            (Rising(at) > Falling(at) ? red : blue) += 0xC0;
          }
          const SampleSum* sum = &sums[(static_cast<size_t>(y) * kWidth + x) * kSumLanes];
          wrong += sum[0] != blue || sum[1] != 0 || sum[2] != red;
        }
      }
      EXPECT_EQ(wrong, 0) << samples << " samples, " << (risingFirst ? "rising" : "falling") << " plane first"
                          << (asQuads ? ", quads" : ", triangles");
    }
  }
}

}  // namespace depth

namespace quad {

constexpr int kWidth = 48, kHeight = 32, kSide = 16;

// A smooth picture: neighbouring texels differ by a few levels.
std::vector<uint8_t> Picture() {
  std::vector<uint8_t> px;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      px.insert(px.end(), {uint8_t(40 + 8 * x), uint8_t(200 - 6 * y), uint8_t(90 + 3 * (x + y)), 255});
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
    DrawQuadOrHalves(frame, v, m, asQuad);
    out.fragments = frame.shadedFragments();
  });
  return out;
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

TEST(RasterQuad, QuadsAreShadedAsTheirHalvesAre) {
  ScreenVertex quad[4];
  LeaningSquare(quad);
  const std::vector<uint8_t> picture = Picture();
  // The texture interpolated across the screen: each half has its own mapping, which meet
  // only along the diagonal, so the quad is drawn as its halves.
  const Drawn affine = DrawTextured(quad, false, true, picture);
  const Drawn affineHalves = DrawTextured(quad, false, false, picture);
  EXPECT_EQ(affine.sums, affineHalves.sums);
  EXPECT_EQ(affine.fragments, affineHalves.fragments);
  // In perspective with a highlight towards one corner, which the halves interpolate a
  // little apart (by about a level per pixel): each pixel takes the half that holds its
  // centre, and the pixels along the diagonal are shaded once, not once per half.
  quad[3].specular = 0.04f;
  const Drawn whole = DrawTextured(quad, true, true, picture), halves = DrawTextured(quad, true, false, picture);
  EXPECT_LE(LargestDifference(whole, halves), 2);
  EXPECT_LT(whole.fragments, halves.fragments);
  // A quad that is not convex is drawn as its halves.
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

}  // namespace quad

}  // namespace
}  // namespace lmx::engine::test
