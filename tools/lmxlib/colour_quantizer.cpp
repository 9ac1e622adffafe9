#include "lmxlib/colour_quantizer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <unordered_map>

namespace lmxlib {
namespace {

constexpr int kBits = 5;  // histogram precision per channel
constexpr int kSide = 1 << kBits;

struct Bin {
  uint32_t count = 0;
  uint64_t sum[3] = {0, 0, 0};  // of the exact colours, for the box's mean
};

struct Box {
  std::vector<int> bins;  // indices into the histogram
  uint64_t pixels = 0;
  int lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
};

int Channel(int bin, int c) { return (bin >> (kBits * (2 - c))) & (kSide - 1); }

void Measure(Box& box, const std::vector<Bin>& histogram) {
  box.pixels = 0;
  for (int c = 0; c < 3; ++c) box.lo[c] = kSide, box.hi[c] = -1;
  for (int bin : box.bins) {
    box.pixels += histogram[size_t(bin)].count;
    for (int c = 0; c < 3; ++c) {
      box.lo[c] = std::min(box.lo[c], Channel(bin, c));
      box.hi[c] = std::max(box.hi[c], Channel(bin, c));
    }
  }
}

int Widest(const Box& box) {
  int best = 0;
  for (int c = 1; c < 3; ++c)
    if (box.hi[c] - box.lo[c] > box.hi[best] - box.lo[best]) best = c;
  return best;
}

std::vector<Rgb> MedianCut(const std::vector<Bin>& histogram) {
  std::vector<Box> boxes(1);
  for (int i = 0; i < int(histogram.size()); ++i)
    if (histogram[size_t(i)].count) boxes[0].bins.push_back(i);
  Measure(boxes[0], histogram);
  while (boxes.size() < 256) {
    // The box with the most pixels times its widest extent is cut at its median.
    size_t pick = boxes.size();
    uint64_t best = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      const int c = Widest(boxes[i]);
      const uint64_t score = boxes[i].pixels * uint64_t(boxes[i].hi[c] - boxes[i].lo[c]);
      if (boxes[i].bins.size() > 1 && score > best) best = score, pick = i;
    }
    if (pick == boxes.size()) break;
    Box& box = boxes[pick];
    const int c = Widest(box);
    std::sort(box.bins.begin(), box.bins.end(), [&](int a, int b) { return Channel(a, c) < Channel(b, c); });
    uint64_t seen = 0;
    size_t cut = 0;
    while (cut + 1 < box.bins.size() && seen + histogram[size_t(box.bins[cut])].count <= box.pixels / 2)
      seen += histogram[size_t(box.bins[cut++])].count;
    cut = std::max<size_t>(cut, 1);
    Box other;
    other.bins.assign(box.bins.begin() + std::ptrdiff_t(cut), box.bins.end());
    box.bins.resize(cut);
    Measure(box, histogram);
    Measure(other, histogram);
    boxes.push_back(std::move(other));
  }
  std::vector<Rgb> palette;
  for (const Box& box : boxes) {
    uint64_t sum[3] = {0, 0, 0}, n = 0;
    for (int bin : box.bins) {
      for (int c = 0; c < 3; ++c) sum[c] += histogram[size_t(bin)].sum[c];
      n += histogram[size_t(bin)].count;
    }
    if (n) palette.push_back({uint8_t((sum[0] + n / 2) / n), uint8_t((sum[1] + n / 2) / n), uint8_t((sum[2] + n / 2) / n)});
  }
  return palette;
}

int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Nearest palette colour, remembered per colour at 6 bits a channel.
class Nearest {
 public:
  explicit Nearest(const std::vector<Rgb>& palette) : palette_(palette), cache_(size_t(1) << 18, -1) {
    for (size_t i = 0; i < palette.size(); ++i)
      exact_.emplace(uint32_t(palette[i].r) << 16 | uint32_t(palette[i].g) << 8 | palette[i].b, uint8_t(i));
  }
  uint8_t operator()(int r, int g, int b) {
    const auto found = exact_.find(uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b));
    if (found != exact_.end()) return found->second;
    int16_t& slot = cache_[size_t((r >> 2) << 12 | (g >> 2) << 6 | (b >> 2))];
    if (slot < 0) {
      const int cr = (r & ~3) + 2, cg = (g & ~3) + 2, cb = (b & ~3) + 2;
      int best = 0, bestDistance = 1 << 30;
      for (size_t i = 0; i < palette_.size(); ++i) {
        const int dr = cr - palette_[i].r, dg = cg - palette_[i].g, db = cb - palette_[i].b;
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDistance) bestDistance = d, best = int(i);
      }
      slot = int16_t(best);
    }
    return uint8_t(slot);
  }

 private:
  const std::vector<Rgb>& palette_;
  std::vector<int16_t> cache_;
  std::unordered_map<uint32_t, uint8_t> exact_;
};

}  // namespace

std::vector<Rgb> BuildPalette(const std::vector<const std::vector<uint8_t>*>& pictures) {
  std::unordered_map<uint32_t, bool> distinct;
  std::vector<Bin> histogram(size_t(kSide) * kSide * kSide);
  for (const std::vector<uint8_t>* p : pictures)
    for (size_t i = 0; i + 3 < p->size(); i += 4) {
      const uint8_t b = (*p)[i], g = (*p)[i + 1], r = (*p)[i + 2];
      if (distinct.size() <= 256) distinct.emplace(uint32_t(r) << 16 | uint32_t(g) << 8 | b, true);
      Bin& bin = histogram[size_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))];
      ++bin.count;
      bin.sum[0] += r, bin.sum[1] += g, bin.sum[2] += b;
    }
  if (distinct.size() <= 256) {
    std::vector<Rgb> exact;
    for (const auto& entry : distinct)
      exact.push_back({uint8_t(entry.first >> 16), uint8_t(entry.first >> 8), uint8_t(entry.first)});
    std::sort(exact.begin(), exact.end(), [](Rgb a, Rgb b) {
      return std::array<int, 3>{a.r, a.g, a.b} < std::array<int, 3>{b.r, b.g, b.b};
    });
    if (exact.empty()) exact.push_back({0, 0, 0});
    return exact;
  }
  return MedianCut(histogram);
}

std::vector<uint8_t> MapToPalette(const std::vector<uint8_t>& bgra, int width, int height,
                                  const std::vector<Rgb>& palette) {
  Nearest nearest(palette);
  std::vector<uint8_t> indices(size_t(width) * height);
  // Errors carried to this row and the next, in 1/16ths, with a pixel of room each side.
  std::vector<std::array<int, 3>> here(size_t(width) + 2), next(size_t(width) + 2);
  for (int y = 0; y < height; ++y) {
    std::fill(next.begin(), next.end(), std::array<int, 3>{0, 0, 0});
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &bgra[(size_t(y) * width + x) * 4];
      const std::array<int, 3>& carried = here[size_t(x) + 1];
      const int want[3] = {Clamp(p[2] + carried[0] / 16), Clamp(p[1] + carried[1] / 16), Clamp(p[0] + carried[2] / 16)};
      const uint8_t index = nearest(want[0], want[1], want[2]);
      indices[size_t(y) * width + x] = index;
      const int got[3] = {palette[index].r, palette[index].g, palette[index].b};
      for (int c = 0; c < 3; ++c) {
        const int e = want[c] - got[c];
        here[size_t(x) + 2][size_t(c)] += e * 7;
        next[size_t(x)][size_t(c)] += e * 3;
        next[size_t(x) + 1][size_t(c)] += e * 5;
        next[size_t(x) + 2][size_t(c)] += e * 1;
      }
    }
    std::swap(here, next);
  }
  return indices;
}

}  // namespace lmxlib
