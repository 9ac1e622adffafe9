#include "library/texture_reader.h"

#include <gtest/gtest.h>

#include <cstring>
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

class TextureReaderTest : public ::testing::Test {
 protected:
  TextureReaderTest() { ConstructTexture(&image_); }
  ~TextureReaderTest() override { DestroyTexture(&image_); }

  void Plant(const char* name, const ChunkWriter& w) {
    install_.Write(std::string("TEXTURES/") + name + ".LMT", w.bytes());
  }
  void ExpectEmpty() {
    EXPECT_EQ(image_.formatCode, 0u);
    EXPECT_EQ(image_.width, 0u);
    EXPECT_EQ(image_.height, 0u);
    EXPECT_EQ(image_.extentWidth, 0u);
    EXPECT_EQ(image_.extentHeight, 0u);
    EXPECT_EQ(image_.scaleX, 0.0f);
    EXPECT_EQ(image_.scaleY, 0.0f);
    EXPECT_EQ(image_.pixels, nullptr);
    EXPECT_EQ(image_.bytesPerPixel, 0u);
  }

  test::TestInstall install_;
  TextureImage image_;
};

TEST_F(TextureReaderTest, CompleteFile) {
  std::vector<uint8_t> px = Pixels(32 * 32 * 4);
  Plant("PREVS_01", ChunkWriter(kTextureHeader).U32(FourCC("TWID"), 32).U32(FourCC("THIT"), 32)
                        .Record(FourCC("TDAT"), px));
  ASSERT_EQ(ReadInstalledTexture(&image_, "PREVS_01"), 1);
  EXPECT_STREQ(image_.name, "PREVS_01");
  EXPECT_EQ(image_.formatCode, 4354u);
  EXPECT_EQ(image_.width, 32u);
  EXPECT_EQ(image_.height, 32u);
  EXPECT_EQ(image_.extentWidth, 32u);
  EXPECT_EQ(image_.extentHeight, 32u);
  EXPECT_EQ(image_.scaleX, 1.0f);
  EXPECT_EQ(image_.scaleY, 1.0f);
  EXPECT_EQ(image_.ownsPixels, 1u);
  EXPECT_EQ(image_.bytesPerPixel, 4u);
  ASSERT_NE(image_.pixels, nullptr);
  EXPECT_EQ(std::memcmp(image_.pixels, px.data(), px.size()), 0);
}

TEST_F(TextureReaderTest, FilesThatGiveNoImage) {
  // Sizes without pixels; the wrong kind of file; no file at all.
  Plant("NODATA", ChunkWriter(kTextureHeader).U32(FourCC("TWID"), 8).U32(FourCC("THIT"), 8));
  EXPECT_EQ(ReadInstalledTexture(&image_, "NODATA"), 0);
  ExpectEmpty();
  Plant("EFFECT", ChunkWriter(FourCC("LMXI")).U32(FourCC("TWID"), 1).U32(FourCC("THIT"), 1)
                      .Record(FourCC("TDAT"), Pixels(4)));
  EXPECT_EQ(ReadInstalledTexture(&image_, "EFFECT"), 0);
  ExpectEmpty();
  EXPECT_EQ(ReadInstalledTexture(&image_, "MISSING"), 0);
  ExpectEmpty();
  EXPECT_STREQ(image_.name, "");
}

TEST_F(TextureReaderTest, DamageAfterThePixelsKeepsThem) {
  Plant("DAMAGED", ChunkWriter(kTextureHeader).U32(FourCC("TWID"), 2).U32(FourCC("THIT"), 2)
                       .Record(FourCC("TDAT"), Pixels(16)).Raw({'T', 'W', 'I', 'D', 4, 0, 0, 0, 9}));
  ASSERT_EQ(ReadInstalledTexture(&image_, "DAMAGED"), 1);
  EXPECT_EQ(image_.width, 2u);
  EXPECT_EQ(image_.pixels[15], Pixels(16)[15]);
}

TEST_F(TextureReaderTest, RecordsOutOfOrderOrShortNeverOverrun) {
  // Pixels before the sizes: ignored. A short pixel payload: ignored.
  Plant("EARLY", ChunkWriter(kTextureHeader).Record(FourCC("TDAT"), Pixels(16)).U32(FourCC("TWID"), 2)
                     .U32(FourCC("THIT"), 2));
  EXPECT_EQ(ReadInstalledTexture(&image_, "EARLY"), 0);
  ExpectEmpty();
  Plant("SHORT", ChunkWriter(kTextureHeader).U32(FourCC("TWID"), 4).U32(FourCC("THIT"), 4)
                     .Record(FourCC("TDAT"), Pixels(63)));
  EXPECT_EQ(ReadInstalledTexture(&image_, "SHORT"), 0);
  ExpectEmpty();
  // Sizes whose product would overflow 32 bits.
  Plant("HUGE", ChunkWriter(kTextureHeader).U32(FourCC("TWID"), 0x10000).U32(FourCC("THIT"), 0x10000)
                    .Record(FourCC("TDAT"), Pixels(16)));
  EXPECT_EQ(ReadInstalledTexture(&image_, "HUGE"), 0);
  ExpectEmpty();
}

TEST_F(TextureReaderTest, FirstPixelsWinAndFreezeTheSizes) {
  std::vector<uint8_t> first = Pixels(16);
  std::vector<uint8_t> second(64, 0xEE);
  Plant("TWICE", ChunkWriter(kTextureHeader).U32(FourCC("TWID"), 2).U32(FourCC("THIT"), 2)
                     .Record(FourCC("TDAT"), first).U32(FourCC("TWID"), 4).U32(FourCC("THIT"), 4)
                     .Record(FourCC("TDAT"), second));
  ASSERT_EQ(ReadInstalledTexture(&image_, "TWICE"), 1);
  EXPECT_EQ(image_.width, 2u);
  EXPECT_EQ(image_.height, 2u);
  EXPECT_EQ(std::memcmp(image_.pixels, first.data(), first.size()), 0);
}

TEST_F(TextureReaderTest, ReleaseOnlyWhatIsOwned) {
  Plant("OWN", ChunkWriter(kTextureHeader).U32(FourCC("TWID"), 1).U32(FourCC("THIT"), 1)
                   .Record(FourCC("TDAT"), Pixels(4)));
  ASSERT_EQ(ReadInstalledTexture(&image_, "OWN"), 1);
  uint8_t* pixels = image_.pixels;
  image_.ownsPixels = 0;
  ReleaseTexture(&image_);
  EXPECT_EQ(image_.pixels, pixels);
  EXPECT_EQ(image_.formatCode, 4354u);
  EXPECT_EQ(image_.width, 1u);
  image_.ownsPixels = 1;
  ReleaseTexture(&image_);
  EXPECT_EQ(image_.pixels, nullptr);
  EXPECT_EQ(image_.formatCode, 0u);
  EXPECT_EQ(image_.width, 0u);
  EXPECT_EQ(image_.ownsPixels, 0u);
  // An empty image can be read again after a release.
  EXPECT_EQ(ReadInstalledTexture(&image_, "OWN"), 1);
}

}  // namespace
}  // namespace lmx
