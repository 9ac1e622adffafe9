// The chunked container of the library files: a 4-byte header value naming the kind of
// file, then records of a 4-byte tag, a 4-byte payload length and the payload, until the
// file ends. ChunkFile reads it one record at a time, from a file or from bytes in
// memory; it never writes records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/file.h"

namespace lmx {

enum ChunkStatus : int {
  ChunkOk = 0,
  ChunkEnd = 1,          // no further record: the tag was not read whole
  ChunkOpenFailed = 2,
  ChunkReadFailed = 3,   // header, length or payload failed or came up short
  ChunkBadHeader = 4,
  ChunkWriteFailed = 5,
  ChunkNoMemory = 6,     // the payload buffer could not be had (or is refused as too large)
};

// The largest payload a reader accepts. The largest legitimate record is a texture's
// pixels (a few hundred KiB); a length above this is refused as ChunkNoMemory.
inline constexpr uint32_t kMaxChunkPayload = 64u << 20;

// One record as ReadRecord delivers it. data points into the ChunkFile's buffer and stays
// valid until the next ReadRecord or Close.
struct ChunkRecord {
  uint32_t tag = 0;
  uint32_t length = 0;
  const uint8_t* data = nullptr;
};

class ChunkFile {
 public:
  // Opens path for reading and checks its header value, or creates it and writes the
  // header value. The caller reads status() afterwards, whatever it is.
  ChunkFile(const char* path, uint32_t header, bool forWriting);
  // Reads the same from size bytes at data (the whole file's content), which must stay
  // valid while this reads.
  ChunkFile(const uint8_t* data, size_t size, uint32_t header);
  ~ChunkFile() { Close(); }
  ChunkFile(const ChunkFile&) = delete;
  ChunkFile& operator=(const ChunkFile&) = delete;

  ChunkStatus status() const { return status_; }
  // Fills record with the next record and returns (and keeps) the new status.
  ChunkStatus ReadRecord(ChunkRecord* record);
  // Closes the file and frees the payload; the status stays as it was.
  void Close();

 private:
  // Reads up to size bytes from the file or the memory; *got says how many arrived.
  bool Read(void* buffer, uint32_t size, uint32_t* got);
  // Checks the 4-byte header value once remaining_ is known.
  void ReadHeader(uint32_t header);

  platform::File file_;
  bool fromMemory_ = false;
  const uint8_t* memory_ = nullptr;
  size_t memoryLeft_ = 0;
  std::vector<uint8_t> payload_;
  int64_t remaining_ = 0;  // bytes left after the current position, when known
  ChunkStatus status_ = ChunkOpenFailed;
};

}  // namespace lmx
