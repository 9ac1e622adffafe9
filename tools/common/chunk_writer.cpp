#include "common/chunk_writer.h"

#include <cstring>

#include "common/safe_write.h"

namespace lmx {

ChunkWriter::ChunkWriter(uint32_t header) { PutU32(header); }

void ChunkWriter::PutU32(uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes_.push_back(uint8_t(v >> (8 * i)));
}

ChunkWriter& ChunkWriter::Record(uint32_t tag, const void* data, uint32_t length) {
  PutU32(tag);
  PutU32(length);
  const auto* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + length);
  return *this;
}

ChunkWriter& ChunkWriter::Record(uint32_t tag, const std::vector<uint8_t>& payload) {
  return Record(tag, payload.data(), static_cast<uint32_t>(payload.size()));
}

ChunkWriter& ChunkWriter::U32(uint32_t tag, uint32_t value) {
  uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
  return Record(tag, b, 4);
}

ChunkWriter& ChunkWriter::F32(uint32_t tag, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return U32(tag, bits);
}

ChunkWriter& ChunkWriter::Text(uint32_t tag, const std::string& text) {
  return Record(tag, text.c_str(), static_cast<uint32_t>(text.size() + 1));
}

ChunkWriter& ChunkWriter::IndexedBytes(uint32_t tag, uint32_t index, const void* data, uint32_t length) {
  std::vector<uint8_t> payload = {uint8_t(index), uint8_t(index >> 8), uint8_t(index >> 16), uint8_t(index >> 24)};
  const auto* p = static_cast<const uint8_t*>(data);
  payload.insert(payload.end(), p, p + length);
  return Record(tag, payload);
}

ChunkWriter& ChunkWriter::IndexedText(uint32_t tag, uint32_t index, const std::string& text) {
  return IndexedBytes(tag, index, text.c_str(), static_cast<uint32_t>(text.size() + 1));
}

ChunkWriter& ChunkWriter::Raw(const std::vector<uint8_t>& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

bool ChunkWriter::Save(const std::string& path) const { return SaveBytes(path, bytes_); }

bool SaveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string error;
  return WriteFileSafely(path, bytes, &error);
}

}  // namespace lmx
