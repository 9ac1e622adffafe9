#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file.h"
#include "platform/posix/posix_seams.h"

namespace lmx::platform {

namespace posix {
std::string NativePath(const char* path) {
  std::string p = path ? path : "";
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}
}  // namespace posix

File File::OpenRead(const char* path, bool) {
  int fd = ::open(posix::NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return File();
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return File();
  }
  return File(fd);
}

File File::Create(const char* path) {
  int fd = ::open(posix::NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd < 0 ? File() : File(fd);
}

bool File::Read(void* buffer, uint32_t size, uint32_t* got) {
  *got = 0;
  if (!IsOpen()) return false;
  auto* p = static_cast<char*>(buffer);
  while (*got < size) {
    ssize_t n = ::read(static_cast<int>(handle_), p + *got, size - *got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    *got += static_cast<uint32_t>(n);
  }
  return true;
}

bool File::Write(const void* buffer, uint32_t size) {
  if (!IsOpen()) return false;
  auto* p = static_cast<const char*>(buffer);
  uint32_t done = 0;
  while (done < size) {
    ssize_t n = ::write(static_cast<int>(handle_), p + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<uint32_t>(n);
  }
  return true;
}

bool File::SeekRelative(int32_t offset) {
  return IsOpen() && ::lseek(static_cast<int>(handle_), offset, SEEK_CUR) >= 0;
}

bool File::SeekTo(uint32_t position) {
  return IsOpen() && ::lseek(static_cast<int>(handle_), static_cast<off_t>(position), SEEK_SET) >= 0;
}

int64_t File::Position() const {
  return IsOpen() ? static_cast<int64_t>(::lseek(static_cast<int>(handle_), 0, SEEK_CUR)) : -1;
}

int64_t File::Size() const {
  struct stat st;
  if (!IsOpen() || fstat(static_cast<int>(handle_), &st) != 0) return -1;
  return st.st_size;
}

void File::Close() {
  if (IsOpen()) ::close(static_cast<int>(handle_));
  handle_ = kNone;
}

bool DirectoryExists(const char* path) {
  struct stat st;
  return ::stat(posix::NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace lmx::platform
