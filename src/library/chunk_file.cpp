#include "library/chunk_file.h"

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
  uint8_t bytes[4];
  uint32_t got = 0;
  if (!file_.Read(bytes, 4, &got) || got != 4) {
    status_ = ChunkReadFailed;
    return;
  }
  remaining_ -= 4;
  status_ = LoadU32(bytes) == header ? ChunkOk : ChunkBadHeader;
}

ChunkStatus ChunkFile::ReadRecord(ChunkRecord* record) {
  payload_.clear();
  payload_.shrink_to_fit();
  uint8_t head[4];
  uint32_t got = 0;
  if (!file_.Read(head, 4, &got) || got != 4) return status_ = ChunkEnd;
  record->tag = LoadU32(head);
  if (!file_.Read(head, 4, &got) || got != 4) return status_ = ChunkReadFailed;
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
  if (record->length != 0 && (!file_.Read(payload_.data(), record->length, &got) || got != record->length))
    return status_ = ChunkReadFailed;
  remaining_ -= record->length;
  record->data = payload_.data();
  return status_ = ChunkOk;
}

void ChunkFile::Close() {
  file_.Close();
  payload_.clear();
  payload_.shrink_to_fit();
}

}  // namespace lmx
