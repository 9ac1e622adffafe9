// Builds a chunked library file in memory: the header value, then records appended in
// order. Used by the authoring tool and by tests that plant files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lmx {

class ChunkWriter {
 public:
  explicit ChunkWriter(uint32_t header);

  ChunkWriter& Record(uint32_t tag, const void* data, uint32_t length);
  ChunkWriter& Record(uint32_t tag, const std::vector<uint8_t>& payload);
  ChunkWriter& U32(uint32_t tag, uint32_t value);
  ChunkWriter& F32(uint32_t tag, float value);
  ChunkWriter& Text(uint32_t tag, const std::string& text);  // with its terminating zero
  ChunkWriter& IndexedText(uint32_t tag, uint32_t index, const std::string& text);
  ChunkWriter& IndexedBytes(uint32_t tag, uint32_t index, const void* data, uint32_t length);
  // Raw bytes after the last record (for damaged files in tests).
  ChunkWriter& Raw(const std::vector<uint8_t>& bytes);

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  // Writes the file; false when it cannot be written whole.
  bool Save(const std::string& path) const;

 private:
  void PutU32(uint32_t v);
  std::vector<uint8_t> bytes_;
};

// Writes bytes to path (see WriteFileSafely); false on failure.
bool SaveBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace lmx
