#include "common/safe_write.h"

#include <cerrno>
#include <cstdio>
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
  ~Handle() { Close(); }
  void Close() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    h = INVALID_HANDLE_VALUE;
  }
};

// A new file named kWriteTemporaryPrefix and six random characters in folder, open for
// writing; its name in *temp.
bool CreateTemporary(const std::string& folder, std::string* temp, Handle* file, std::string* error) {
  DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16) ^ GetCurrentThreadId();
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 1664525u + 1013904223u;
    char name[32];
    std::snprintf(name, sizeof name, "%s%06lX", kWriteTemporaryPrefix, static_cast<unsigned long>(seed >> 8));
    *temp = folder + "\\" + name;
    file->h = CreateFileA(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file->h != INVALID_HANDLE_VALUE) return true;
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
      *error = SystemMessage(code);
      return false;
    }
  }
  *error = SystemMessage(ERROR_FILE_EXISTS);
  return false;
}

bool WriteAll(HANDLE file, const std::vector<uint8_t>& bytes, std::string* error) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = DWORD(bytes.size() - done < 0x100000 ? bytes.size() - done : 0x100000);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      *error = SystemMessage(GetLastError());
      return false;
    }
    done += written;
  }
  if (!FlushFileBuffers(file)) {
    *error = SystemMessage(GetLastError());
    return false;
  }
  return true;
}

// Whether the target is there to be replaced: an error for a folder, or for a file that
// another program holds open without letting others rename it (checked before anything is
// written, so that such a file is left exactly as it is).
bool Replaceable(const std::string& target, bool* exists, std::string* error) {
  Handle probe;
  probe.h = CreateFileA(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  *exists = probe.h != INVALID_HANDLE_VALUE;
  if (!*exists) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return true;
    *error = SystemMessage(code);
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(probe.h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = "is a directory";
    return false;
  }
  return true;
}

using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

}  // namespace

std::string WriteTarget(const std::string& path) {
  // Symbolic links came with Windows Vista, and with them the call that names the file a
  // handle has reached through them.
  static const auto finalPath = reinterpret_cast<FinalPathFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
  if (!finalPath) return path;
  Handle file;
  file.h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file.h == INVALID_HANDLE_VALUE) return path;
  char name[4096];
  const DWORD n = finalPath(file.h, name, sizeof name, 0 /* FILE_NAME_NORMALIZED | VOLUME_NAME_DOS */);
  if (n == 0 || n >= sizeof name) return path;
  const std::string final(name, n);
  if (final.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + final.substr(8);
  if (final.rfind("\\\\?\\", 0) == 0) return final.substr(4);
  return final;
}

bool WriteFileSafely(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  const std::string target = WriteTarget(path);
  bool exists = false;
  if (!Replaceable(target, &exists, error)) return false;
  std::string temp;
  Handle file;
  if (!CreateTemporary(FolderOf(target), &temp, &file, error)) return false;
  bool ok = WriteAll(file.h, bytes, error);
  file.Close();
  // ReplaceFileA gives the new file the old one's attributes and access rights.
  if (ok && !(exists ? ReplaceFileA(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                    nullptr, nullptr)
                     : MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))) {
    *error = SystemMessage(GetLastError());
    ok = false;
  }
  if (!ok) DeleteFileA(temp.c_str());
  return ok;
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

// Follows path through a chain of symbolic links to the file the last one names; false
// with the reason for a chain that loops or cannot be read.
bool FollowLinks(std::string* path, std::string* error) {
  for (int hop = 0; hop < 40; ++hop) {
    std::vector<char> target(4096);
    const ssize_t n = readlink(path->c_str(), target.data(), target.size());
    if (n < 0) {
      if (errno == EINVAL || errno == ENOENT) return true;  // not a link, or nothing there yet
      *error = std::strerror(errno);
      return false;
    }
    if (size_t(n) >= target.size()) {
      *error = std::strerror(ENAMETOOLONG);
      return false;
    }
    const std::string to(target.data(), size_t(n));
    *path = to[0] == '/' ? to : FolderOf(*path) + "/" + to;
  }
  *error = std::strerror(ELOOP);
  return false;
}

}  // namespace

std::string WriteTarget(const std::string& path) {
  std::string target = path, error;
  return FollowLinks(&target, &error) ? target : path;
}

bool WriteFileSafely(const std::string& given, const std::vector<uint8_t>& bytes, std::string* error) {
  std::string path = given;
  if (!FollowLinks(&path, error)) return false;
  std::string name = FolderOf(path) + "/" + kWriteTemporaryPrefix + "XXXXXX";
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
