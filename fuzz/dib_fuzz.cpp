#include <cstring>

#include "scratch_file.h"
#include "library/dib.h"

// Each input is a bitmap file. A loaded block must be self-consistent: the header and the
// colour table and the bits it describes all lie inside the block.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static lmx::fuzz::ScratchFolder folder;
  const std::string path = folder.Put("FUZZ.BMP", data, size);
  lmx::platform::MovableBlock block(lmx::LoadDib(path.c_str()));
  if (!block) return 0;
  lmx::platform::LockedBlock lock(block.get());
  const auto* bytes = static_cast<const uint8_t*>(lock.data());
  const size_t blockSize = lmx::platform::MovableSize(block.get());
  if (!bytes || blockSize < sizeof(lmx::DibInfoHeader)) __builtin_trap();
  lmx::DibInfoHeader h;
  std::memcpy(&h, bytes, sizeof h);
  uint32_t rows = 0;
  const size_t bitsAt = (h.size & 0xFFFF) + lmx::DibPaletteSize(bytes);
  if (h.size != 40 || h.bitCount < 24 || !lmx::DibImageSize(h.width, h.height, h.bitCount, &rows) ||
      h.sizeImage < rows || bitsAt + h.sizeImage != blockSize)
    __builtin_trap();
  // Read every byte a drawer would read.
  volatile uint8_t sink = 0;
  for (size_t i = 0; i < blockSize; i += 61) sink = sink ^ bytes[i];
  (void)sink;
  return 0;
}
