#include "common/safe_write.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lmx {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

#ifdef _WIN32

std::string SystemMessage(DWORD code) {
  char text[512] = {0};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                           sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == '.')) text[--n] = 0;
  return n ? std::string(text, n) : "system error " + std::to_string(code);
}

struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

bool WriteAll(const std::string& temp, const std::vector<uint8_t>& bytes, std::string* error) {
  Handle file;
  file.h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file.h == INVALID_HANDLE_VALUE) {
    *error = SystemMessage(GetLastError());
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = DWORD(bytes.size() - done < 0x100000 ? bytes.size() - done : 0x100000);
    DWORD written = 0;
    if (!WriteFile(file.h, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      *error = SystemMessage(GetLastError());
      return false;
    }
    done += written;
  }
  if (!FlushFileBuffers(file.h)) {
    *error = SystemMessage(GetLastError());
    return false;
  }
  CloseHandle(file.h);
  file.h = INVALID_HANDLE_VALUE;
  return true;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  char temp[MAX_PATH + 1] = {0};
  // Creates an empty, uniquely named file in the target's folder.
  if (!GetTempFileNameA(FolderOf(path).c_str(), "lmx", 0, temp)) {
    *error = SystemMessage(GetLastError());
    return false;
  }
  if (!WriteAll(temp, bytes, error)) {
    DeleteFileA(temp);
    return false;
  }
  if (!MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    *error = SystemMessage(GetLastError());
    DeleteFileA(temp);
    return false;
  }
  return true;
}

#else

struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += size_t(n);
  }
  return true;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  std::string name = FolderOf(path) + "/.lmx-write-XXXXXX";
  std::vector<char> temp(name.begin(), name.end());
  temp.push_back('\0');
  Descriptor file;
  file.fd = mkstemp(temp.data());
  if (file.fd < 0) {
    *error = std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; give it the target's mode, or what a new file gets.
  struct stat old;
  mode_t mode;
  if (stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = fchmod(file.fd, mode) == 0 && WriteAll(file.fd, bytes) && fsync(file.fd) == 0;
  if (ok) {
    ok = close(file.fd) == 0;
    file.fd = -1;
  }
  if (ok) ok = rename(temp.data(), path.c_str()) == 0;
  if (!ok) {
    *error = std::strerror(errno);
    unlink(temp.data());
    return false;
  }
  return true;
}

#endif

}  // namespace lmx
