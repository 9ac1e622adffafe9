// The multisampled frame of one pass: every pixel holds `samples` colour and depth
// samples; triangles are tested for coverage and depth per sample and shaded once per
// pixel. Coordinates are in pixels with y upwards (row 0 is the bottom row).
#pragma once

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "sample_ops.h"
#include "sampling.h"
#include "uninitialised.h"

namespace lmx::engine {

inline constexpr int kMaxSamples = 8;
// Running sums per pixel in SampleFrame::Accumulate: blue, green, red, and one lane that
// keeps each pixel's sums in one 8-byte block. A sum is at most 255 per sample per pass
// of a row, which 16 bits hold for up to 257 of them (kMaxSumCount).
using SampleSum = uint16_t;
inline constexpr size_t kSumLanes = 4;
inline constexpr uint32_t kMaxSumCount = 0xFFFF / 255;
// Vertices and sample positions are placed on a grid of 1/kSubPixels of a pixel.
inline constexpr float kSubPixels = 256.0f;
// Triangles reaching further than this from the frame's corner (in pixels) are not drawn;
// the scene clips far inside it.
inline constexpr float kMaxCoordinate = 1 << 20;

struct ScreenVertex {
  float x = 0, y = 0;
  float invW = 0;       // 1 / distance from the viewer, for depth and perspective
  float u = 0, v = 0;   // texture coordinates
  float diffuse = 1;    // light multiplier
  float specular = 0;   // highlight added, 0..1
};

struct Material {
  const Sampler* sampler = nullptr;  // null: every pixel takes `flat`
  Packed flat = 0;
  float alpha = 1;
  bool perspective = true;  // false: texture coordinates interpolated in screen space
};

class SampleFrame {
 public:
  // A frame of width x height pixels, of which runs of at most `tileRows` rows (0: all)
  // are drawn one at a time: the buffers cover one such tile. The tile is the first
  // rows until SetTile. Allocates only when the buffers grow.
  void Reset(int width, int height, int samples, int tileRows = 0);
  // The tile: only rows first .. first + rows - 1 (at most `tileRows` of them, within
  // the frame) are cleared, drawn and accumulated.
  void SetTile(int first, int rows);
  // Only rows first, first + step, ... are drawn and accumulated (field rendering).
  void SetRows(int first, int step);
  // The picture behind everything, pixel by pixel over the tile's rows, for the passes
  // that follow.
  void SetBackground(const std::vector<Packed>& background);
  // Starts a pass: every sample shows the background again, with no depth and no shadow.
  //
  // A pixel is kept whole while one colour and one depth plane describe all its samples
  // (nothing yet, or the inside of a primitive); only a pixel that an edge splits gets
  // its samples spelled out. Most pixels therefore cost one colour per primitive and one
  // sum per pass, whatever the sample count.
  void BeginPass();
  void DrawTriangle(const ScreenVertex* v, const Material& m);
  // The quad v[0..3]: triangles (0, 1, 2) and (0, 2, 3). A convex one is drawn as one
  // primitive, each pixel shaded with the planes of the half holding its centre, so that
  // the pixels along the diagonal stay whole.
  void DrawQuad(const ScreenVertex* v, const Material& m);
  // Darkens the samples covered, each at most once per pass: colour * keep / 256.
  void DrawShadow(const ScreenVertex* v, int keep);
  // The same for the quad v[0..3]: the samples of triangles (0, 1, 2) and (0, 2, 3). A
  // convex one is drawn whole, so that the pixels along its diagonal stay whole too.
  void DrawShadowQuad(const ScreenVertex* v, int keep);
  void DrawLine(float x0, float y0, float x1, float y1, Packed colour);
  // Adds, for each drawn row, the sum of each pixel's samples per channel to sums
  // (kSumLanes per pixel: blue, green, red and one not used), the tile's rows from its
  // first.
  void Accumulate(std::vector<SampleSum>& sums) const;
  // Writes each drawn row's pixels to out (blue, green, red and 255, the tile's rows
  // from its first): the mean of each pixel's samples, as Accumulate and MeanColours give
  // them for a row drawn in one pass only.
  void Resolve(uint8_t* out) const;
  // Gives back the memory of the split pixels' samples beyond what the passes since the
  // last call used.
  void TrimSamples();

  int width() const { return width_; }
  int height() const { return height_; }
  int samples() const { return samples_; }
  // Sample positions within a pixel, in [0, 1).
  const float* sampleX() const { return sx_; }
  const float* sampleY() const { return sy_; }
  // How many shaded pixel fragments and written samples the passes so far produced.
  uint64_t shadedFragments() const { return fragments_; }
  uint64_t writtenSamples() const { return written_; }
  // Bytes held by the buffers.
  size_t heldBytes() const;
  // The most bytes a pixel of a tile can take: its own, and its samples were it split.
  static constexpr size_t PixelBytes(int samples) {
    return 2 + 16 + static_cast<size_t>(samples) * (sizeof(Packed) + sizeof(float) + 1);
  }

 private:
  bool RowDrawn(int y) const {
    return y >= tileFirst_ && y < tileEnd_ && y >= firstRow_ && (y - firstRow_) % rowStep_ == 0;
  }
  // Where pixel (x, y) of the tile lies in the per-pixel buffers.
  size_t PixelAt(int x, int y) const { return static_cast<size_t>(y - tileFirst_) * width_ + x; }
  // Whether the primitive v[0..corners - 1] surely has no sample in the tile's rows.
  bool OutsideTile(const ScreenVertex* v, int corners) const;
  // Calls one(pixel) for the pixels of the drawn rows, but four(pixel, colours) for a
  // group of four of them none of which is split, with the colours they show (SSE2).
  template <class One, class Four>
  void ForEachDrawnPixel(One one, Four four) const;
  // Room for `slots` slots of split samples in all.
  void GrowSlots(size_t slots);
  // A triangle, or a convex quad.
  template <bool kShadow, int kCorners>
  void Rasterise(const ScreenVertex* v, const Material* m, int keep);

  enum PixelState : uint8_t { kBackground = 0, kWhole = 1, kSplit = 2 };
  // A pixel that one colour and one depth plane describe: the depth at its lower left
  // corner and its slopes along x and y. Once the pixel is split, `colour` holds the
  // index of its samples' slot instead.
  struct WholePixel {
    Packed colour;
    float z, dzx, dzy;
  };
  static_assert(sizeof(WholePixel) == 16 && offsetof(WholePixel, z) == 4 && offsetof(WholePixel, dzy) == 12);
  // Depth of a whole pixel at sample s.
  float WholeDepth(size_t pixel, int s) const {
    const WholePixel& w = whole_[pixel];
    return w.z + w.dzx * sx_[s] + w.dzy * sy_[s];
  }
  // Gives a background pixel its whole form.
  void MakeWhole(size_t pixel) {
    if (state_[pixel] != kBackground) return;
    state_[pixel] = kWhole;
    whole_[pixel] = {(*background_)[pixel], 0, 0, 0};
    wholeShadow_[pixel] = 0;
  }
  // Where a split pixel's samples start in colour_, depth_ and shadowed_.
  size_t SamplesOf(size_t pixel) const { return static_cast<size_t>(whole_[pixel].colour) * samples_; }
  // Spells out a pixel's samples, in the next free slot.
  void Split(size_t pixel) {
    MakeWhole(pixel);
    if (state_[pixel] == kSplit) return;
    state_[pixel] = kSplit;
    const size_t slot = splitCount_++;
    peakSplit_ = std::max(peakSplit_, splitCount_);
    const size_t base = slot * samples_;
    WholePixel& w = whole_[pixel];
    FillSamples(&colour_[base], &depth_[base], w.colour, w.z, w.dzx, w.dzy, sx_, sy_, samples_);
    w.colour = static_cast<Packed>(slot);
    uint8_t* shadowed = &shadowed_[base];
    const uint8_t shadow = wholeShadow_[pixel];
    switch (samples_) {  // sizes known here are written in place, without a call
      case 8: std::memset(shadowed, shadow, 8); break;
      case 4: std::memset(shadowed, shadow, 4); break;
      case 2: std::memset(shadowed, shadow, 2); break;
      default: std::memset(shadowed, shadow, static_cast<size_t>(samples_)); break;
    }
  }

  int width_ = 0, height_ = 0, samples_ = 1;
  int tileRows_ = 0;                 // the most rows a tile has
  int tileFirst_ = 0, tileEnd_ = 0;  // the tile: rows [tileFirst_, tileEnd_)
  int firstRow_ = 0, rowStep_ = 1;
  float sx_[kMaxSamples] = {}, sy_[kMaxSamples] = {};
  int64_t subX_[kMaxSamples] = {}, subY_[kMaxSamples] = {};  // the same in 1/kSubPixels
  // The samples of split pixels, a slot of `samples_` each, given out in the order the
  // pixels split: a pass touches only as many as it splits, and the slots grow only as
  // far as a pass has used them.
  UninitialisedVector<Packed> colour_;
  UninitialisedVector<float> depth_;
  UninitialisedVector<uint8_t> shadowed_;
  size_t slotCapacity_ = 0;  // slots the three hold
  size_t splitCount_ = 0;    // slots given out this pass
  size_t peakSplit_ = 0;     // the most given out in a pass since the last TrimSamples
  // Per pixel of the tile, written for the rows drawn only (BeginPass and the primitives).
  UninitialisedVector<uint8_t> state_;         // PixelState per pixel, this pass
  UninitialisedVector<WholePixel> whole_;      // per whole pixel: colour and depth plane,
  UninitialisedVector<uint8_t> wholeShadow_;   // and whether a shadow darkened it
  const std::vector<Packed>* background_ = nullptr;
  uint64_t fragments_ = 0, written_ = 0;
};

}  // namespace lmx::engine
