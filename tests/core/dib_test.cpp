#include "library/dib.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "library/bytes.h"
#include "support/test_install.h"

namespace lmx {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

Bytes InfoHeader(int32_t width, int32_t height, uint16_t bits, uint32_t sizeImage = 0, uint32_t clrUsed = 0,
                 uint32_t size = 40) {
  Bytes b;
  Put32(b, size);
  Put32(b, uint32_t(width));
  Put32(b, uint32_t(height));
  Put16(b, 1);
  Put16(b, bits);
  Put32(b, 0);  // compression
  Put32(b, sizeImage);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, clrUsed);
  Put32(b, 0);
  return b;
}

Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bits) {
  Bytes b;
  Put32(b, 12);
  Put16(b, width);
  Put16(b, height);
  Put16(b, 1);
  Put16(b, bits);
  return b;
}

Bytes FileHeader(uint32_t fileSize, uint32_t bitsOffset) {
  Bytes b = {'B', 'M'};
  Put32(b, fileSize);
  Put32(b, 0);
  Put32(b, bitsOffset);
  return b;
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
    const size_t size = platform::MovableSize(handle.get());
    block->assign(p, p + size);
    return true;
  }
  static DibInfoHeader HeaderOf(const Bytes& block) {
    DibInfoHeader h{};
    if (block.size() >= sizeof h) std::memcpy(&h, block.data(), sizeof h);
    return h;
  }
  static size_t BitsAt(const Bytes& block) { return (HeaderOf(block).size & 0xFFFF) + DibPaletteSize(block.data()); }
  test::TestInstall install_;
};

TEST_F(DibTest, TrueColourWithFileHeaderGetsImageSizeAndBitsFromTheOffset) {
  // Width 3 at 24 bits: 9 bytes a row, padded to 12. Two stray bytes lie between the
  // header and the bits, so the bits must be found through the file header's offset.
  const Bytes bits = Pattern(RowBytes(3, 24) * 2);
  const Bytes file = Join({FileHeader(0, 14 + 40 + 2), InfoHeader(3, 2, 24), {0xEE, 0xEE}, bits});
  Bytes block;
  ASSERT_TRUE(Load(file, &block));
  ASSERT_EQ(block.size(), 40u + 12 * 2);
  DibInfoHeader h = HeaderOf(block);
  EXPECT_EQ(h.size, 40u);
  EXPECT_EQ(h.width, 3);
  EXPECT_EQ(h.height, 2);
  EXPECT_EQ(h.bitCount, 24);
  EXPECT_EQ(h.sizeImage, 24u);
  EXPECT_EQ(h.clrUsed, 0u);
  EXPECT_EQ(Bytes(block.begin() + 40, block.end()), bits);
}

TEST_F(DibTest, WithoutFileHeaderTheBitsFollowTheColourTable) {
  // 32 bits per pixel with a two-entry colour table (allowed for true colour): the table
  // is kept and the bits start 8 bytes after the header.
  const Bytes table = {1, 2, 3, 0, 4, 5, 6, 0};
  const Bytes bits = Pattern(4 * 5 * 3, 7);
  Bytes block;
  ASSERT_TRUE(Load(Join({InfoHeader(5, 3, 32, 0, 2), table, bits}), &block));
  EXPECT_EQ(HeaderOf(block).clrUsed, 2u);
  EXPECT_EQ(DibColorCount(block.data()), 2);
  EXPECT_EQ(DibPaletteSize(block.data()), 8);
  ASSERT_EQ(BitsAt(block), 48u);
  ASSERT_EQ(block.size(), 48u + bits.size());
  EXPECT_EQ(Bytes(block.begin() + 40, block.begin() + 48), table);
  EXPECT_EQ(Bytes(block.begin() + 48, block.end()), bits);
}

TEST_F(DibTest, CoreHeaderBecomesAFullHeader) {
  const uint16_t width = 5, height = 3;
  const Bytes bits = Pattern(RowBytes(width, 24) * height, 3);
  for (bool withFileHeader : {true, false}) {
    SCOPED_TRACE(withFileHeader ? "with file header" : "packed");
    Bytes file = withFileHeader ? Join({FileHeader(0, 0), CoreHeader(width, height, 24), bits})
                                : Join({CoreHeader(width, height, 24), bits});
    Bytes block;
    ASSERT_TRUE(Load(file, &block));
    DibInfoHeader h = HeaderOf(block);
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, width);
    EXPECT_EQ(h.height, height);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bitCount, 24);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.xPelsPerMeter, 0);
    EXPECT_EQ(h.sizeImage, bits.size());
    ASSERT_EQ(block.size(), 40u + bits.size());
    // The bits start right after the 12-byte header in the file.
    EXPECT_EQ(Bytes(block.begin() + 40, block.end()), bits);
  }
  // Core sizes are unsigned 16-bit: 40000 is a width, not a negative number.
  Bytes block;
  ASSERT_TRUE(Load(Join({CoreHeader(40000, 1, 24), Pattern(28)}), &block));
  EXPECT_EQ(HeaderOf(block).width, 40000);
}

TEST_F(DibTest, SmallestCoreHeaderFilesLoad) {
  // 1 x 1 at 24 bits behind a 12-byte header: 30 bytes with the file header, 16 without.
  // Neither holds the 40 bytes of the long header.
  const Bytes pixel = {0x10, 0x20, 0x30, 0x00};
  const Bytes withFileHeader = Join({FileHeader(30, 26), CoreHeader(1, 1, 24), pixel});
  ASSERT_EQ(withFileHeader.size(), 30u);
  for (const Bytes& file : {withFileHeader, Join({CoreHeader(1, 1, 24), pixel})}) {
    SCOPED_TRACE(file.size());
    Bytes block;
    ASSERT_TRUE(Load(file, &block));
    EXPECT_EQ(HeaderOf(block).size, 40u);
    EXPECT_EQ(HeaderOf(block).width, 1);
    ASSERT_EQ(block.size(), 44u);
    EXPECT_EQ(Bytes(block.begin() + 40, block.end()), pixel);
  }
  // A core header cut short is still refused.
  Bytes block;
  Bytes cut = CoreHeader(1, 1, 24);
  cut.pop_back();
  EXPECT_FALSE(Load(cut, &block));
}

TEST_F(DibTest, OnlyTwentyFourAndThirtyTwoBitsLoad) {
  Bytes block;
  // A 1 KB file claiming 30,000 bits per pixel would give a 30 MB block nothing can draw.
  const Bytes absurd = Join({FileHeader(1024, 54), InfoHeader(8, 1000, 30000), Pattern(1024 - 54)});
  EXPECT_FALSE(Load(absurd, &block));
  for (uint16_t bits : {0, 1, 2, 4, 8, 16, 25, 48, 64, 65535}) {
    SCOPED_TRACE(bits);
    EXPECT_FALSE(Load(Join({InfoHeader(2, 2, bits), Pattern(64)}), &block));
    EXPECT_FALSE(Load(Join({CoreHeader(2, 2, bits), Pattern(64)}), &block));
  }
  for (uint16_t bits : {24, 32}) {
    EXPECT_TRUE(Load(Join({InfoHeader(2, 2, bits), Pattern(16)}), &block)) << bits;
    EXPECT_TRUE(Load(Join({CoreHeader(2, 2, bits), Pattern(16)}), &block)) << bits;
  }
}

TEST_F(DibTest, BitsCutShortReadAsZeroAcrossSeveralPieces) {
  // 200 x 100 at 24 bits is 60,000 bytes: read in two pieces. The file stops 1,000 bytes
  // into the second piece.
  const uint32_t image = RowBytes(200, 24) * 100;
  ASSERT_GT(image, 32768u);
  const Bytes present = Pattern(32768 + 1000, 9);
  Bytes block;
  ASSERT_TRUE(Load(Join({FileHeader(0, 54), InfoHeader(200, 100, 24), present}), &block));
  ASSERT_EQ(block.size(), 40u + image);
  EXPECT_EQ(Bytes(block.begin() + 40, block.begin() + 40 + present.size()), present);
  EXPECT_EQ(Bytes(block.begin() + 40 + present.size(), block.end()), Bytes(image - present.size(), 0));
}

TEST_F(DibTest, BitsOffsetPastTheEndGivesABlackImage) {
  Bytes block;
  ASSERT_TRUE(Load(Join({FileHeader(0, 0xFFFFFFF0u), InfoHeader(2, 2, 24), Pattern(16)}), &block));
  ASSERT_EQ(block.size(), 40u + 16);
  EXPECT_EQ(Bytes(block.begin() + 40, block.end()), Bytes(16, 0));
}

TEST_F(DibTest, UnreadableHeadersAreRefused) {
  Bytes block;
  EXPECT_FALSE(Load({}, &block));
  EXPECT_FALSE(Load({'B', 'M', 0, 0}, &block));
  Bytes cut = Join({FileHeader(0, 0), InfoHeader(2, 2, 24)});
  cut.pop_back();
  EXPECT_FALSE(Load(cut, &block));
  // Header sizes other than 12 and 40 (a V4 or V5 header, or nonsense).
  for (uint32_t size : {0u, 16u, 64u, 108u, 124u})
    EXPECT_FALSE(Load(Join({InfoHeader(2, 2, 24, 0, 0, size), Pattern(200)}), &block)) << size;
  EXPECT_EQ(LoadDib(install_.File("EFFECTS/NONE.BMP").c_str()), nullptr);
  EXPECT_EQ(LoadDib(nullptr), nullptr);
}

TEST_F(DibTest, HostileSizesAreRefusedWithoutAllocating) {
  Bytes block;
  const Bytes tail = Pattern(64);
  // Each of these would need gigabytes, or overflow 32-bit arithmetic.
  EXPECT_FALSE(Load(Join({InfoHeader(INT_MAX, INT_MAX, 32), tail}), &block));
  EXPECT_FALSE(Load(Join({InfoHeader(INT_MAX, 1, 24), tail}), &block));
  EXPECT_FALSE(Load(Join({InfoHeader(1, INT_MIN, 24), tail}), &block));
  EXPECT_FALSE(Load(Join({InfoHeader(65536, 65536, 32), tail}), &block));
  EXPECT_FALSE(Load(Join({InfoHeader(70000, 1, 0xFFFF), tail}), &block)) << "absurd bit count";
  EXPECT_FALSE(Load(Join({InfoHeader(2, 2, 24, 0xFFFFFFFFu), tail}), &block));
  EXPECT_FALSE(Load(Join({InfoHeader(-2, 2, 24), tail}), &block)) << "negative width";
  // Colour counts whose table size does not fit the 16-bit palette size.
  EXPECT_FALSE(Load(Join({InfoHeader(2, 2, 24, 0, 0xFFFFFFFFu), tail}), &block));
  EXPECT_FALSE(Load(Join({InfoHeader(2, 2, 24, 0, 0x10001), tail}), &block));
  EXPECT_FALSE(Load(Join({InfoHeader(2, 2, 24, 0, kMaxDibColors + 1), tail}), &block));
  // The largest table that still fits is loaded whole.
  ASSERT_TRUE(Load(Join({InfoHeader(1, 1, 24, 0, kMaxDibColors), tail}), &block));
  EXPECT_EQ(BitsAt(block), 40u + kMaxDibColors * 4);
  EXPECT_EQ(block.size(), 40u + kMaxDibColors * 4 + 4);
}

TEST_F(DibTest, StatedImageSizeIsNeverBelowTheRows) {
  const Bytes bits = Pattern(RowBytes(4, 24) * 4, 5);
  Bytes block;
  // Stated too small: the block still holds every row a drawer will read.
  ASSERT_TRUE(Load(Join({InfoHeader(4, 4, 24, 8), bits}), &block));
  EXPECT_EQ(HeaderOf(block).sizeImage, bits.size());
  EXPECT_EQ(Bytes(block.begin() + 40, block.end()), bits);
  // Stated larger than the rows: kept, the extra bytes read from the file as stored.
  ASSERT_TRUE(Load(Join({InfoHeader(4, 4, 24, uint32_t(bits.size()) + 100), bits, Pattern(100, 77)}), &block));
  EXPECT_EQ(HeaderOf(block).sizeImage, bits.size() + 100);
  EXPECT_EQ(block.size(), 40u + bits.size() + 100);
  EXPECT_EQ(block.back(), Pattern(100, 77).back());
}

TEST_F(DibTest, TopDownBitmapsLoadWithTheirRowCount) {
  const Bytes bits = Pattern(RowBytes(3, 24) * 2, 11);
  Bytes block;
  ASSERT_TRUE(Load(Join({FileHeader(0, 54), InfoHeader(3, -2, 24), bits}), &block));
  EXPECT_EQ(HeaderOf(block).height, -2);
  EXPECT_EQ(HeaderOf(block).sizeImage, bits.size());
  EXPECT_EQ(Bytes(block.begin() + 40, block.end()), bits);
}

TEST_F(DibTest, EmptyImageGivesAHeaderOnlyBlock) {
  Bytes block;
  ASSERT_TRUE(Load(InfoHeader(0, 0, 24), &block));
  EXPECT_EQ(block.size(), 40u);
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
    Bytes core = CoreHeader(1, 1, bits);
    std::vector<uint8_t> exact(core.begin(), core.end());
    const uint16_t colors = bits <= 8 ? uint16_t(1u << bits) : 0;
    EXPECT_EQ(DibColorCount(exact.data()), colors) << bits;
    EXPECT_EQ(DibPaletteSize(exact.data()), colors * 3) << bits;
  }
}

TEST(DibHeaderTest, ImageSizeFollowsTheRowRule) {
  uint32_t bytes = 0;
  ASSERT_TRUE(DibImageSize(3, 2, 24, &bytes));
  EXPECT_EQ(bytes, 24u);
  ASSERT_TRUE(DibImageSize(1, 1, 24, &bytes));
  EXPECT_EQ(bytes, 4u);
  ASSERT_TRUE(DibImageSize(7, -3, 32, &bytes));
  EXPECT_EQ(bytes, 84u);
  EXPECT_FALSE(DibImageSize(-1, 3, 24, &bytes));
  EXPECT_FALSE(DibImageSize(INT_MAX, INT_MAX, 24, &bytes));
  ASSERT_TRUE(DibImageSize(4096, 4096, 32, &bytes));
  EXPECT_EQ(bytes, 64u << 20);
  EXPECT_FALSE(DibImageSize(4096, 4097, 32, &bytes));
}

}  // namespace
}  // namespace lmx
