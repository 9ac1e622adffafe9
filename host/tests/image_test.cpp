// The autopilot's pictures: the bitmap file it writes and how it tells frames apart.
#include <gtest/gtest.h>

#include <filesystem>

#include "image.h"
#include "support/test_install.h"

namespace fs = std::filesystem;

namespace lmx::host {
namespace {

Image Make(int w, int h) {
  Image image;
  image.width = w;
  image.height = h;
  image.bgrx.resize(static_cast<size_t>(w) * h * 4);
  for (size_t i = 0; i < image.bgrx.size(); ++i) image.bgrx[i] = static_cast<uint8_t>(i);
  return image;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(Image, Bmp24RowsArePaddedAndBottomUp) {
  Image image = Make(3, 2);  // 9 bytes a row, padded to 12
  lmx::test::TestInstall folder;
  ASSERT_TRUE(WriteBmp24(folder.File("a.bmp"), image));
  std::vector<uint8_t> b = folder.Read("a.bmp");
  ASSERT_EQ(b.size(), 54u + 24u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "BM");
  EXPECT_EQ(b[28], 24);  // bits per pixel
  // File size, pixel offset, header size, width, height, pixel bytes.
  for (auto [at, value] : {std::pair{2, 78u}, {10, 54u}, {14, 40u}, {18, 3u}, {22, 2u}, {34, 24u}}) {
    EXPECT_EQ(U32(b, at), value) << "at " << at;
  }
  // First stored row is the image's bottom row (pixels 3 to 5), without the X bytes.
  const uint8_t bottom[12] = {12, 13, 14, 16, 17, 18, 20, 21, 22, 0, 0, 0};
  const uint8_t top[12] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 0, 0, 0};
  EXPECT_TRUE(std::equal(bottom, bottom + 12, b.begin() + 54));
  EXPECT_TRUE(std::equal(top, top + 12, b.begin() + 66));
}

TEST(Image, EmptyOrInconsistentImagesAreNotWritten) {
  lmx::test::TestInstall folder;
  const std::string path = folder.File("never.bmp");
  EXPECT_FALSE(WriteBmp24(path, Image{}));
  Image bad = Make(4, 4);
  bad.bgrx.pop_back();
  EXPECT_FALSE(WriteBmp24(path, bad));
  EXPECT_FALSE(fs::exists(path));
}

TEST(Image, FingerprintSeesColoursAndSizeButNotTheUnusedByte) {
  Image a = Make(4, 4), b = Make(4, 4);
  EXPECT_EQ(Fingerprint(a), Fingerprint(b));
  b.bgrx[3] ^= 0xFF;  // X byte of pixel 0
  EXPECT_EQ(Fingerprint(a), Fingerprint(b));
  b.bgrx[2] ^= 1;  // red of pixel 0
  EXPECT_NE(Fingerprint(a), Fingerprint(b));
  Image c = Make(8, 2);  // same bytes, other shape
  EXPECT_NE(Fingerprint(a), Fingerprint(c));
}

TEST(Image, PlainInsideTheInset) {
  Image image = Make(6, 5);
  for (size_t i = 0; i < image.bgrx.size(); i += 4) {
    image.bgrx[i] = 10;
    image.bgrx[i + 1] = 20;
    image.bgrx[i + 2] = 30;  // the unused byte, left as Make wrote it, does not count
  }
  image.bgrx[0] = 99;  // a corner pixel, outside an inset of 1
  EXPECT_FALSE(IsPlain(image, 0));
  EXPECT_TRUE(IsPlain(image, 1));
  image.bgrx[(2 * 6 + 3) * 4 + 1] = 21;  // one pixel in the middle
  EXPECT_FALSE(IsPlain(image, 1));
  EXPECT_TRUE(IsPlain(image, 3)) << "an inset that leaves nothing inside";
  EXPECT_TRUE(IsPlain(Image{}, 0));
}

}  // namespace
}  // namespace lmx::host
