#include "bmp_read.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace lmx::host {
namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

constexpr uint32_t kFileHeader = 14, kInfoHeader = 40;
constexpr uint32_t kUncompressed = 0, kBitFields = 3;

// A 32-bit bitmap with colour masks is read when they are the usual ones (blue in the
// first byte, then green, then red). They follow the 40 bytes of any header.
bool UsualMasks(const std::vector<uint8_t>& b) {
  const size_t at = kFileHeader + kInfoHeader;
  return b.size() >= at + 12 && U32(b, at) == 0xFF0000 && U32(b, at + 4) == 0xFF00 && U32(b, at + 8) == 0xFF;
}

}  // namespace

bool ReadBmp(const std::string& path, int maxSide, Image* image, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path;
    return false;
  }
  // Bitmaps of up to maxSide x maxSide pixels and no more than a few bytes besides.
  const uint64_t limit = kFileHeader + 256 + uint64_t(maxSide) * maxSide * 4 + 4u * maxSide;
  std::vector<uint8_t> b;
  char chunk[65536];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    b.insert(b.end(), chunk, chunk + in.gcount());
    if (b.size() > limit) break;
  }
  auto fail = [&](const std::string& why) {
    *error = path + ": " + why;
    return false;
  };
  if (in.bad()) return fail("cannot be read");
  if (b.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M') return fail("not a BMP file");
  const uint32_t headerSize = U32(b, kFileHeader), offset = U32(b, 10);
  const int32_t width = static_cast<int32_t>(U32(b, 18)), height = static_cast<int32_t>(U32(b, 22));
  const uint16_t bits = U16(b, 28);
  const uint32_t compression = U32(b, 30);
  if (headerSize < kInfoHeader || U16(b, 26) != 1) return fail("not a BMP file of a kind lmxhost reads");
  if (bits != 24 && bits != 32)
    return fail(std::to_string(bits) + (bits == 1 ? " bit" : " bits") + " a pixel; lmxhost reads 24 or 32");
  if (!(compression == kUncompressed || (bits == 32 && compression == kBitFields && UsualMasks(b))))
    return fail("compressed; lmxhost reads uncompressed bitmaps");
  const int64_t rows = std::llabs(int64_t(height));
  if (width < 1 || rows < 1 || width > maxSide || rows > maxSide)
    return fail(std::to_string(width) + " x " + std::to_string(rows) + " pixels; each side must be 1 to " +
                std::to_string(maxSide));
  const uint64_t rowBytes = (uint64_t(width) * bits + 31) / 32 * 4;
  if (offset < uint64_t(kFileHeader) + headerSize || offset + rowBytes * uint64_t(rows) > b.size())
    return fail("cut short: its pixels end beyond the end of the file");

  Image out;
  out.width = width;
  out.height = static_cast<int>(rows);
  out.bgrx.resize(size_t(width) * size_t(rows) * 4);
  const size_t step = bits / 8;
  for (int y = 0; y < out.height; ++y) {
    // Rows are stored bottom-up unless the height is negative.
    const size_t fileRow = height > 0 ? size_t(out.height - 1 - y) : size_t(y);
    const uint8_t* from = &b[offset + fileRow * rowBytes];
    uint8_t* to = &out.bgrx[size_t(y) * size_t(width) * 4];
    for (int x = 0; x < width; ++x, from += step, to += 4) {
      to[0] = from[0];
      to[1] = from[1];
      to[2] = from[2];
      to[3] = 255;
    }
  }
  *image = std::move(out);
  return true;
}

}  // namespace lmx::host
