// Files as the library readers need them: open an existing file for reading, create or
// replace one for writing, read and write in pieces, seek. A File owns its handle.
// Paths use the Windows separator '\'; the POSIX implementation maps it to '/'.
#pragma once

#include <cstdint>

namespace lmx::platform {

class File {
 public:
  File() = default;
  ~File() { Close(); }
  File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // An existing file with read access, shared for reading by other openers.
  static File OpenRead(const char* path, bool sequential);
  // A new file with write access, replacing any file of that name, shared for writing.
  static File Create(const char* path);

  bool IsOpen() const { return handle_ != kNone; }
  // Reads up to size bytes; *got says how many arrived. False on an error.
  bool Read(void* buffer, uint32_t size, uint32_t* got);
  // Writes size bytes; true only when all of them were written.
  bool Write(const void* buffer, uint32_t size);
  // Moves the position relative to the current one. False on an error.
  bool SeekRelative(int32_t offset);
  bool SeekTo(uint32_t position);
  // Current position and size in bytes, or -1 when unknown.
  int64_t Position() const;
  int64_t Size() const;
  void Close();

 private:
  static constexpr intptr_t kNone = -1;
  explicit File(intptr_t handle) : handle_(handle) {}
  intptr_t handle_ = kNone;
};

// True when path names an existing directory.
bool DirectoryExists(const char* path);

}  // namespace lmx::platform
