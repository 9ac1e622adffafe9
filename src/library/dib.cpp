#include "library/dib.h"

#include <cstring>

#include "library/bytes.h"
#include "platform/file.h"

namespace lmx {
namespace {

using platform::File;
using platform::LockedBlock;
using platform::MovableBlock;

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kReadPiece = 32768;

uint16_t ColorsForBitCount(uint16_t bitCount) {
  switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

// A 12-byte core header as a 40-byte header: sizes widened without sign, every field the
// core form lacks 0, both colour counts N.
DibInfoHeader WidenCoreHeader(const uint8_t* core, uint16_t colors) {
  DibInfoHeader h{};
  h.size = kDibInfoHeaderSize;
  h.width = LoadU16(core + 4);
  h.height = LoadU16(core + 6);
  h.planes = LoadU16(core + 8);
  h.bitCount = LoadU16(core + 10);
  h.clrUsed = colors;
  h.clrImportant = colors;
  return h;
}

// Colour-table entries of 3 bytes (blue, green, red) spread in place to 4 bytes with a
// zero fourth byte, last entry first so that no entry is overwritten before it moves.
void WidenCoreColors(uint8_t* table, uint32_t count) {
  for (uint32_t i = count; i-- > 0;) {
    table[4 * i + 3] = 0;
    table[4 * i + 2] = table[3 * i + 2];
    table[4 * i + 1] = table[3 * i + 1];
    table[4 * i + 0] = table[3 * i + 0];
  }
}

struct HeaderBlock {
  MovableBlock block;
  bool bitsReachable = true;  // false when the file header points beyond 4 GiB
};

// Reads the headers and colour table into a new block holding the completed 40-byte
// header and the table, and leaves the file at the first byte of the bits.
HeaderBlock ReadHeaderBlock(File& file) {
  HeaderBlock out;
  const int64_t start = file.Position();
  if (start < 0) return out;

  uint8_t fileHeader[kFileHeaderSize] = {};
  uint32_t got = 0;
  if (!file.Read(fileHeader, kFileHeaderSize, &got)) return out;
  uint32_t bitsOffset = 0;
  if (got >= 2 && fileHeader[0] == 'B' && fileHeader[1] == 'M') {
    if (got != kFileHeaderSize) return out;
    bitsOffset = LoadU32(fileHeader + 10);
  } else if (!file.SeekTo(static_cast<uint32_t>(start))) {
    return out;
  }

  // The header's size comes first and says how much more to read: a file holding a
  // 12-byte header and little else is whole, even though 40 bytes are not there.
  uint8_t raw[kDibInfoHeaderSize] = {};
  if (!file.Read(raw, 4, &got) || got != 4) return out;
  const uint32_t headerSize = LoadU32(raw);
  if (headerSize != kDibCoreHeaderSize && headerSize != kDibInfoHeaderSize) return out;
  if (!file.Read(raw + 4, headerSize - 4, &got) || got != headerSize - 4) return out;
  const uint16_t colors = DibColorCount(raw);
  const bool core = headerSize == kDibCoreHeaderSize;
  DibInfoHeader h;
  if (core) {
    h = WidenCoreHeader(raw, colors);
  } else {
    std::memcpy(&h, raw, sizeof h);
    // A count whose table size cannot be told in 16 bits would put the bits inside the
    // table for anyone who finds them through DibPaletteSize.
    if (h.clrUsed > kMaxDibColors) return out;
  }
  // Only what the module draws: anything else is refused before a byte is allocated.
  if (!DibBitCountDrawable(h.bitCount)) return out;

  // The row size rule gives the least the bits can take; a smaller stated size would let
  // a drawer read past the block, so it is raised to that.
  uint32_t image = 0;
  if (!DibImageSize(h.width, h.height, h.bitCount, &image)) return out;
  if (h.sizeImage < image) h.sizeImage = image;
  if (h.sizeImage > kMaxDibImageBytes) return out;
  if (h.clrUsed == 0) h.clrUsed = DibColorCount(&h);

  const uint32_t tableBytes = uint32_t(colors) * 4;
  MovableBlock block(platform::AllocMovable(kDibInfoHeaderSize + tableBytes));
  if (!block) return out;
  {
    LockedBlock lock(block.get());
    auto* data = static_cast<uint8_t*>(lock.data());
    if (!data) return out;
    std::memcpy(data, &h, sizeof h);
    if (colors != 0) {
      uint8_t* table = data + kDibInfoHeaderSize;
      // A table cut short keeps zeros for its missing entries.
      if (core) {
        file.Read(table, uint32_t(colors) * 3, &got);
        WidenCoreColors(table, colors);
      } else {
        file.Read(table, tableBytes, &got);
      }
    }
  }
  if (bitsOffset != 0) {
    const uint64_t to = uint64_t(start) + bitsOffset;
    out.bitsReachable = to <= UINT32_MAX && file.SeekTo(static_cast<uint32_t>(to));
  }
  out.block = std::move(block);
  return out;
}

}  // namespace

bool DibImageSize(int32_t width, int32_t height, uint16_t bitCount, uint32_t* bytes) {
  if (width < 0) return false;
  const uint64_t row = (uint64_t(bitCount) * uint64_t(width) + 31) / 32 * 4;
  if (row > kMaxDibImageBytes) return false;
  const uint64_t rows = height < 0 ? uint64_t(-int64_t(height)) : uint64_t(height);
  const uint64_t total = row * rows;  // at most 2^26 * 2^31: no overflow
  if (total > kMaxDibImageBytes) return false;
  *bytes = static_cast<uint32_t>(total);
  return true;
}

bool DibBitCountDrawable(uint16_t bitCount) { return bitCount == 24 || bitCount == 32; }

uint16_t DibColorCount(const void* header) {
  if (!header) return 0;
  const auto* p = static_cast<const uint8_t*>(header);
  if (LoadU32(p) == kDibCoreHeaderSize) return ColorsForBitCount(LoadU16(p + 10));
  const uint32_t used = LoadU32(p + offsetof(DibInfoHeader, clrUsed));
  if (used != 0) return static_cast<uint16_t>(used);
  return ColorsForBitCount(LoadU16(p + offsetof(DibInfoHeader, bitCount)));
}

uint16_t DibPaletteSize(const void* header) {
  if (!header) return 0;
  const uint32_t entry = LoadU32(static_cast<const uint8_t*>(header)) == kDibCoreHeaderSize ? 3 : 4;
  return static_cast<uint16_t>(DibColorCount(header) * entry);
}

platform::MemoryHandle LoadDib(const char* path) {
  if (!path) return nullptr;
  File file = File::OpenRead(path, true);
  if (!file.IsOpen()) return nullptr;
  HeaderBlock read = ReadHeaderBlock(file);
  if (!read.block) return nullptr;

  DibInfoHeader h;
  {
    LockedBlock lock(read.block.get());
    if (!lock.data()) return nullptr;
    std::memcpy(&h, lock.data(), sizeof h);
  }

  const size_t bitsAt = (h.size & 0xFFFF) + DibPaletteSize(&h);
  platform::MemoryHandle grown = platform::ReAllocMovable(read.block.get(), bitsAt + h.sizeImage);
  if (!grown) return nullptr;
  read.block.release();
  MovableBlock block(grown);

  if (read.bitsReachable) {
    LockedBlock lock(block.get());
    auto* bits = static_cast<uint8_t*>(lock.data());
    if (!bits) return nullptr;
    bits += bitsAt;
    for (uint32_t done = 0; done < h.sizeImage;) {
      const uint32_t piece = h.sizeImage - done < kReadPiece ? h.sizeImage - done : kReadPiece;
      uint32_t got = 0;
      if (!file.Read(bits + done, piece, &got)) break;
      done += got;
      if (got != piece) break;  // the file ends inside the bits: the rest stays zero
    }
  }
  file.Close();
  return block.release();
}

}  // namespace lmx
