// Walks a chunked library file held in memory the way the product's readers do, and
// keeps what a reader would not: each record's offset, and exactly where and why a
// damaged file stops being readable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lmxlib {

struct WalkRecord {
  size_t offset = 0;  // of the tag
  uint32_t tag = 0;
  uint32_t length = 0;
  const uint8_t* data = nullptr;  // points into the walked bytes
};

enum class WalkEnd {
  Complete,     // the records end where the file ends
  StrayBytes,   // 1 to 3 bytes after the last record; readers end there as cleanly
  NoHeader,     // fewer than 4 bytes: the header value cannot be read
  Damaged,      // a record's length or payload is cut off
  TooLarge,     // a record's length is above what a reader accepts
};

struct Walk {
  uint32_t header = 0;
  std::vector<WalkRecord> records;
  WalkEnd end = WalkEnd::Complete;
  size_t endOffset = 0;  // where reading stops: file size, or the damaged record's tag
  std::string endReason; // empty for Complete
};

Walk WalkChunks(const std::vector<uint8_t>& bytes);

// "ENAM" for a printable tag, else "0x12345678".
std::string TagName(uint32_t tag);
bool IsReadable(const Walk& walk);  // Complete or StrayBytes

}  // namespace lmxlib
