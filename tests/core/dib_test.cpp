#include "library/dib.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "library/bytes.h"
#include "support/test_install.h"

namespace lmx {
namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian fields, each a value and its width in bytes.
Bytes Fields(std::initializer_list<std::pair<uint32_t, int>> fields) {
  Bytes b;
  for (auto [value, width] : fields)
    for (int i = 0; i < width; ++i) b.push_back(uint8_t(value >> (8 * i)));
  return b;
}

Bytes InfoHeader(int32_t width, int32_t height, uint16_t bits, uint32_t sizeImage = 0, uint32_t clrUsed = 0,
                 uint32_t size = 40, uint32_t pels = 2835) {
  return Fields({{size, 4}, {uint32_t(width), 4}, {uint32_t(height), 4}, {1, 2}, {bits, 2}, {0, 4},
                 {sizeImage, 4}, {pels, 4}, {pels, 4}, {clrUsed, 4}, {0, 4}});
}

Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bits) {
  return Fields({{12, 4}, {width, 2}, {height, 2}, {1, 2}, {bits, 2}});
}

// What a core header becomes in the block: a full header, every field it lacks 0.
Bytes Widened(uint16_t width, uint16_t height, uint32_t sizeImage) {
  return InfoHeader(width, height, 24, sizeImage, 0, 40, 0);
}

Bytes FileHeader(uint32_t fileSize, uint32_t bitsOffset) {
  return Fields({{'B', 1}, {'M', 1}, {fileSize, 4}, {0, 4}, {bitsOffset, 4}});
}

Bytes Pattern(size_t n, uint8_t seed = 1) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = uint8_t(i * 31 + seed + i / 251);
  return b;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

uint32_t RowBytes(uint32_t width, uint32_t bits) { return (bits * width + 31) / 32 * 4; }

class DibTest : public ::testing::Test {
 protected:
  // Loads the bytes as a bitmap file; the block's content, or nothing when refused.
  bool Load(const Bytes& file, Bytes* block) {
    install_.Write("EFFECTS/PIC.BMP", file);
    platform::MovableBlock handle(LoadDib(install_.File("EFFECTS/PIC.BMP").c_str()));
    if (!handle) return false;
    platform::LockedBlock lock(handle.get());
    EXPECT_NE(lock.data(), nullptr);
    const auto* p = static_cast<const uint8_t*>(lock.data());
    block->assign(p, p + platform::MovableSize(handle.get()));
    return true;
  }
  test::TestInstall install_;
};

// Each file and the whole block it must give: header (the image size filled in), colour
// table, then the bits, found through the file header's offset when there is one.
TEST_F(DibTest, FilesLoadAsPackedBlocks) {
  const Bytes bits3x2 = Pattern(RowBytes(3, 24) * 2), bits5x3 = Pattern(RowBytes(5, 24) * 3, 3);
  const Bytes table = {1, 2, 3, 0, 4, 5, 6, 0}, pixel = {0x10, 0x20, 0x30, 0x00};
  // 200 x 100 at 24 bits is read in two pieces; the file stops 1,000 bytes into the second.
  const uint32_t large = RowBytes(200, 24) * 100;
  const Bytes present = Pattern(32768 + 1000, 9);
  ASSERT_GT(large, 32768u);
  const Bytes bits4x4 = Pattern(RowBytes(4, 24) * 4, 5), extra = Pattern(100, 77);
  const uint32_t stated = uint32_t(bits4x4.size()) + 100;
  const Bytes fullTable = Pattern(kMaxDibColors * 4 + 4);
  std::vector<std::tuple<std::string, Bytes, Bytes>> cases = {
      {"two stray bytes before the bits", Join({FileHeader(0, 14 + 40 + 2), InfoHeader(3, 2, 24), {0xEE, 0xEE}, bits3x2}),
       Join({InfoHeader(3, 2, 24, 24), bits3x2})},
      {"colour table with true colour", Join({InfoHeader(5, 3, 32, 0, 2), table, Pattern(60, 7)}),
       Join({InfoHeader(5, 3, 32, 60, 2), table, Pattern(60, 7)})},
      {"core header", Join({FileHeader(0, 0), CoreHeader(5, 3, 24), bits5x3}), Join({Widened(5, 3, 48), bits5x3})},
      {"packed core header", Join({CoreHeader(5, 3, 24), bits5x3}), Join({Widened(5, 3, 48), bits5x3})},
      // Core sizes are unsigned 16-bit: 40000 is a width, not a negative number.
      {"wide core header", Join({CoreHeader(40000, 1, 24), Pattern(28)}),
       Join({Widened(40000, 1, 120000), Pattern(28), Bytes(120000 - 28, 0)})},
      // Neither smallest file holds the 40 bytes of the long header.
      {"smallest file", Join({FileHeader(30, 26), CoreHeader(1, 1, 24), pixel}), Join({Widened(1, 1, 4), pixel})},
      {"smallest packed", Join({CoreHeader(1, 1, 24), pixel}), Join({Widened(1, 1, 4), pixel})},
      {"bits cut short", Join({FileHeader(0, 54), InfoHeader(200, 100, 24), present}),
       Join({InfoHeader(200, 100, 24, large), present, Bytes(large - present.size(), 0)})},
      {"bits offset past the end", Join({FileHeader(0, 0xFFFFFFF0u), InfoHeader(2, 2, 24), Pattern(16)}),
       Join({InfoHeader(2, 2, 24, 16), Bytes(16, 0)})},
      // The image size is never below the rows; above them it is kept and read as stored.
      {"image size too small", Join({InfoHeader(4, 4, 24, 8), bits4x4}), Join({InfoHeader(4, 4, 24, 48), bits4x4})},
      {"image size larger", Join({InfoHeader(4, 4, 24, stated), bits4x4, extra}),
       Join({InfoHeader(4, 4, 24, stated), bits4x4, extra})},
      {"top down", Join({FileHeader(0, 54), InfoHeader(3, -2, 24), bits3x2}),
       Join({InfoHeader(3, -2, 24, 24), bits3x2})},
      {"empty image", InfoHeader(0, 0, 24), InfoHeader(0, 0, 24)},
      {"largest colour table", Join({InfoHeader(1, 1, 24, 0, kMaxDibColors), fullTable}),
       Join({InfoHeader(1, 1, 24, 4, kMaxDibColors), fullTable})},
  };
  for (uint16_t bits : {24, 32}) {
    cases.push_back({std::to_string(bits) + " bits", Join({InfoHeader(2, 2, bits), Pattern(16)}),
                     Join({InfoHeader(2, 2, bits, 16), Pattern(16)})});
    cases.push_back({std::to_string(bits) + " bits, core", Join({CoreHeader(2, 2, bits), Pattern(16)}),
                     Join({InfoHeader(2, 2, bits, 16, 0, 40, 0), Pattern(16)})});
  }
  for (const auto& [name, file, expected] : cases) {
    SCOPED_TRACE(name);
    Bytes block;
    ASSERT_TRUE(Load(file, &block));
    EXPECT_EQ(block, expected);
  }
}

TEST_F(DibTest, UnreadableOrHostileFilesAreRefusedWithoutAllocating) {
  Bytes cutInfo = Join({FileHeader(0, 0), InfoHeader(2, 2, 24)}), cutCore = CoreHeader(1, 1, 24);
  cutInfo.pop_back();
  cutCore.pop_back();
  const Bytes tail = Pattern(64);
  std::vector<Bytes> files = {
      {}, {'B', 'M', 0, 0}, cutInfo, cutCore,
      // A 1 KB file claiming 30,000 bits per pixel would give a 30 MB block nothing can draw.
      Join({FileHeader(1024, 54), InfoHeader(8, 1000, 30000), Pattern(1024 - 54)}),
      // Each of these would need gigabytes, or overflow 32-bit arithmetic.
      Join({InfoHeader(INT_MAX, INT_MAX, 32), tail}), Join({InfoHeader(INT_MAX, 1, 24), tail}),
      Join({InfoHeader(1, INT_MIN, 24), tail}), Join({InfoHeader(65536, 65536, 32), tail}),
      Join({InfoHeader(70000, 1, 0xFFFF), tail}), Join({InfoHeader(2, 2, 24, 0xFFFFFFFFu), tail}),
      Join({InfoHeader(-2, 2, 24), tail}),
      // Colour counts whose table size does not fit the 16-bit palette size.
      Join({InfoHeader(2, 2, 24, 0, 0xFFFFFFFFu), tail}), Join({InfoHeader(2, 2, 24, 0, 0x10001), tail}),
      Join({InfoHeader(2, 2, 24, 0, kMaxDibColors + 1), tail})};
  // Header sizes other than 12 and 40 (a V4 or V5 header, or nonsense).
  for (uint32_t size : {0u, 16u, 64u, 108u, 124u}) files.push_back(Join({InfoHeader(2, 2, 24, 0, 0, size), tail}));
  // Only 24 and 32 bits per pixel load.
  for (uint16_t bits : {0, 1, 2, 4, 8, 16, 25, 48, 64, 65535}) {
    files.push_back(Join({InfoHeader(2, 2, bits), tail}));
    files.push_back(Join({CoreHeader(2, 2, bits), tail}));
  }
  for (size_t i = 0; i < files.size(); ++i) {
    Bytes block;
    EXPECT_FALSE(Load(files[i], &block)) << "file " << i;
  }
  EXPECT_EQ(LoadDib(install_.File("EFFECTS/NONE.BMP").c_str()), nullptr);
  EXPECT_EQ(LoadDib(nullptr), nullptr);
}

TEST(DibHeaderTest, ColourCountAndPaletteSize) {
  struct Case {
    uint16_t bits;
    uint32_t clrUsed;
    uint16_t colors;
  };
  for (const Case& c : {Case{1, 0, 2}, Case{4, 0, 16}, Case{8, 0, 256}, Case{24, 0, 0}, Case{32, 0, 0},
                        Case{2, 0, 0}, Case{8, 5, 5}, Case{24, 3, 3}, Case{24, 0x10003, 3}}) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, clrUsed " << c.clrUsed);
    Bytes h = InfoHeader(1, 1, c.bits, 0, c.clrUsed);
    EXPECT_EQ(DibColorCount(h.data()), c.colors);
    EXPECT_EQ(DibPaletteSize(h.data()), uint16_t(c.colors * 4));
  }
  // A core header is read in its 12 bytes alone, its entries taking 3 bytes each.
  for (uint16_t bits : {1, 4, 8, 24}) {
    const Bytes core = CoreHeader(1, 1, bits);
    const uint16_t colors = bits <= 8 ? uint16_t(1u << bits) : 0;
    EXPECT_EQ(DibColorCount(core.data()), colors) << bits;
    EXPECT_EQ(DibPaletteSize(core.data()), colors * 3) << bits;
  }
}

TEST(DibHeaderTest, ImageSizeFollowsTheRowRule) {
  struct Case {
    int32_t width, height;
    uint16_t bits;
    bool ok;
    uint32_t bytes;
  };
  for (const Case& c : {Case{3, 2, 24, true, 24}, Case{1, 1, 24, true, 4}, Case{7, -3, 32, true, 84},
                        Case{-1, 3, 24, false, 0}, Case{INT_MAX, INT_MAX, 24, false, 0},
                        Case{4096, 4096, 32, true, 64u << 20}, Case{4096, 4097, 32, false, 0}}) {
    uint32_t bytes = 0;
    EXPECT_EQ(DibImageSize(c.width, c.height, c.bits, &bytes), c.ok) << c.width << " x " << c.height;
    if (c.ok) EXPECT_EQ(bytes, c.bytes) << c.width << " x " << c.height;
  }
}

}  // namespace
}  // namespace lmx
