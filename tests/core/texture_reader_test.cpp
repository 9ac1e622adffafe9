#include "library/texture_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "common/chunk_writer.h"
#include "config/installed_files.h"
#include "library/bytes.h"
#include "support/test_install.h"

namespace lmx {
namespace {

std::vector<uint8_t> Pixels(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t(i * 7 + 1);
  return bytes;
}

// A texture file with its two sizes; the header is spelt out so that the constant is checked.
ChunkWriter Sized(uint32_t width, uint32_t height) {
  return ChunkWriter(FourCC("LMXT")).U32(FourCC("TWID"), width).U32(FourCC("THIT"), height);
}

auto Fields(const TextureImage& t) {
  return std::make_tuple(t.formatCode, t.width, t.height, t.extentWidth, t.extentHeight, t.scaleX, t.scaleY,
                         t.ownsPixels);
}

class TextureReaderTest : public ::testing::Test {
 protected:
  TextureReaderTest() { ConstructTexture(&image_); }
  ~TextureReaderTest() override { DestroyTexture(&image_); }

  int Read(const char* name, const ChunkWriter& w) {
    install_.Write(std::string("TEXTURES/") + name + ".LMT", w.bytes());
    return ReadInstalledTexture(&image_, name);
  }
  void ExpectEmpty() {
    EXPECT_EQ(Fields(image_), Fields(TextureImage{}));
    EXPECT_EQ(image_.pixels, nullptr);
    EXPECT_EQ(image_.bytesPerPixel, 0u);
  }

  test::TestInstall install_;
  TextureImage image_;
};

TEST_F(TextureReaderTest, CompleteFile) {
  std::vector<uint8_t> px = Pixels(32 * 32 * 4);
  ASSERT_EQ(Read("PREVS_01", Sized(32, 32).Record(FourCC("TDAT"), px)), 1);
  EXPECT_STREQ(image_.name, "PREVS_01");
  EXPECT_EQ(Fields(image_), std::make_tuple(4354u, 32u, 32u, 32u, 32u, 1.0f, 1.0f, 1u));
  EXPECT_EQ(image_.bytesPerPixel, 4u);
  ASSERT_NE(image_.pixels, nullptr);
  EXPECT_EQ(std::memcmp(image_.pixels, px.data(), px.size()), 0);
}

TEST_F(TextureReaderTest, FilesThatGiveNoImage) {
  const std::pair<const char*, ChunkWriter> files[] = {
      {"NODATA", Sized(8, 8)},
      {"EFFECT", ChunkWriter(FourCC("LMXI")).U32(FourCC("TWID"), 1).U32(FourCC("THIT"), 1)
                     .Record(FourCC("TDAT"), Pixels(4))},
      // Pixels before the sizes; a short pixel payload; sizes whose product overflows 32 bits.
      {"EARLY", ChunkWriter(kTextureHeader).Record(FourCC("TDAT"), Pixels(16)).U32(FourCC("TWID"), 2)
                    .U32(FourCC("THIT"), 2)},
      {"SHORT", Sized(4, 4).Record(FourCC("TDAT"), Pixels(63))},
      {"HUGE", Sized(0x10000, 0x10000).Record(FourCC("TDAT"), Pixels(16))},
  };
  for (const auto& [name, file] : files) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Read(name, file), 0);
    ExpectEmpty();
  }
  EXPECT_EQ(ReadInstalledTexture(&image_, "MISSING"), 0);
  ExpectEmpty();
  EXPECT_STREQ(image_.name, "");
}

TEST_F(TextureReaderTest, DamageAfterThePixelsKeepsThem) {
  ASSERT_EQ(Read("DAMAGED", Sized(2, 2).Record(FourCC("TDAT"), Pixels(16)).Raw({'T', 'W', 'I', 'D', 4, 0, 0, 0, 9})),
            1);
  EXPECT_EQ(image_.width, 2u);
  EXPECT_EQ(image_.pixels[15], Pixels(16)[15]);
}

TEST_F(TextureReaderTest, FirstPixelsWinAndFreezeTheSizes) {
  const std::vector<uint8_t> first = Pixels(16);
  ASSERT_EQ(Read("TWICE", Sized(2, 2).Record(FourCC("TDAT"), first).U32(FourCC("TWID"), 4).U32(FourCC("THIT"), 4)
                              .Record(FourCC("TDAT"), std::vector<uint8_t>(64, 0xEE))),
            1);
  EXPECT_EQ(image_.width, 2u);
  EXPECT_EQ(image_.height, 2u);
  EXPECT_EQ(std::memcmp(image_.pixels, first.data(), first.size()), 0);
}

TEST_F(TextureReaderTest, ReleaseOnlyWhatIsOwned) {
  ASSERT_EQ(Read("OWN", Sized(1, 1).Record(FourCC("TDAT"), Pixels(4))), 1);
  uint8_t* pixels = image_.pixels;
  image_.ownsPixels = 0;
  ReleaseTexture(&image_);
  EXPECT_EQ(image_.pixels, pixels);
  EXPECT_EQ(Fields(image_), std::make_tuple(4354u, 1u, 1u, 1u, 1u, 1.0f, 1.0f, 0u));
  image_.ownsPixels = 1;
  ReleaseTexture(&image_);
  EXPECT_EQ(Fields(image_), Fields(TextureImage{}));
  EXPECT_EQ(image_.pixels, nullptr);
  // An empty image can be read again after a release.
  EXPECT_EQ(ReadInstalledTexture(&image_, "OWN"), 1);
}

}  // namespace
}  // namespace lmx
