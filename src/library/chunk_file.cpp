#include "library/chunk_file.h"

#include <cstring>
#include <new>

#include "library/bytes.h"

namespace lmx {

ChunkFile::ChunkFile(const char* path, uint32_t header, bool forWriting) {
  if (!path) return;
  if (forWriting) {
    file_ = platform::File::Create(path);
    if (!file_.IsOpen()) return;
    uint8_t bytes[4];
    StoreU32(bytes, header);
    status_ = file_.Write(bytes, 4) ? ChunkOk : ChunkWriteFailed;
    return;
  }
  file_ = platform::File::OpenRead(path, true);
  if (!file_.IsOpen()) return;
  remaining_ = file_.Size();
  ReadHeader(header);
}

ChunkFile::ChunkFile(const uint8_t* data, size_t size, uint32_t header) {
  if (!data && size != 0) return;
  fromMemory_ = true;
  memory_ = data;
  memoryLeft_ = size;
  remaining_ = static_cast<int64_t>(size);
  ReadHeader(header);
}

void ChunkFile::ReadHeader(uint32_t header) {
  uint8_t bytes[4];
  uint32_t got = 0;
  if (!Read(bytes, 4, &got) || got != 4) {
    status_ = ChunkReadFailed;
    return;
  }
  remaining_ -= 4;
  status_ = LoadU32(bytes) == header ? ChunkOk : ChunkBadHeader;
}

bool ChunkFile::Read(void* buffer, uint32_t size, uint32_t* got) {
  if (!fromMemory_) return file_.Read(buffer, size, got);
  const size_t n = size < memoryLeft_ ? size : memoryLeft_;
  if (n != 0) std::memcpy(buffer, memory_, n);
  memory_ += n;
  memoryLeft_ -= n;
  *got = static_cast<uint32_t>(n);
  return true;
}

ChunkStatus ChunkFile::ReadRecord(ChunkRecord* record) {
  payload_.clear();
  payload_.shrink_to_fit();
  uint8_t head[4];
  uint32_t got = 0;
  if (!Read(head, 4, &got) || got != 4) return status_ = ChunkEnd;
  record->tag = LoadU32(head);
  if (!Read(head, 4, &got) || got != 4) return status_ = ChunkReadFailed;
  record->length = LoadU32(head);
  remaining_ -= 8;
  if (record->length > kMaxChunkPayload) return status_ = ChunkNoMemory;
  // A length past the end of the file cannot be read whole: say so before allocating.
  if (remaining_ >= 0 && record->length > remaining_) return status_ = ChunkReadFailed;
  try {
    payload_.resize(record->length);
  } catch (const std::bad_alloc&) {
    return status_ = ChunkNoMemory;
  }
  if (record->length != 0 && (!Read(payload_.data(), record->length, &got) || got != record->length))
    return status_ = ChunkReadFailed;
  remaining_ -= record->length;
  record->data = payload_.data();
  return status_ = ChunkOk;
}

void ChunkFile::Close() {
  file_.Close();
  memory_ = nullptr;
  memoryLeft_ = 0;
  payload_.clear();
  payload_.shrink_to_fit();
}

}  // namespace lmx
