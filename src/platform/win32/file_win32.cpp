#include <windows.h>

#include "platform/file.h"

namespace lmx::platform {
namespace {
HANDLE H(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

File File::OpenRead(const char* path, bool sequential) {
  HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | (sequential ? FILE_FLAG_SEQUENTIAL_SCAN : 0), nullptr);
  return h == INVALID_HANDLE_VALUE ? File() : File(reinterpret_cast<intptr_t>(h));
}

File File::Create(const char* path) {
  HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  return h == INVALID_HANDLE_VALUE ? File() : File(reinterpret_cast<intptr_t>(h));
}

bool File::Read(void* buffer, uint32_t size, uint32_t* got) {
  DWORD n = 0;
  BOOL ok = IsOpen() && ReadFile(H(handle_), buffer, size, &n, nullptr);
  *got = ok ? n : 0;
  return ok;
}

bool File::Write(const void* buffer, uint32_t size) {
  DWORD n = 0;
  return IsOpen() && WriteFile(H(handle_), buffer, size, &n, nullptr) && n == size;
}

bool File::SeekRelative(int32_t offset) {
  return IsOpen() && SetFilePointer(H(handle_), offset, nullptr, FILE_CURRENT) != INVALID_SET_FILE_POINTER;
}

bool File::SeekTo(uint32_t position) {
  LARGE_INTEGER to;
  to.QuadPart = position;
  return IsOpen() && SetFilePointerEx(H(handle_), to, nullptr, FILE_BEGIN);
}

int64_t File::Position() const {
  LARGE_INTEGER zero{}, at{};
  if (!IsOpen() || !SetFilePointerEx(H(handle_), zero, &at, FILE_CURRENT)) return -1;
  return at.QuadPart;
}

int64_t File::Size() const {
  LARGE_INTEGER size{};
  if (!IsOpen() || !GetFileSizeEx(H(handle_), &size)) return -1;
  return size.QuadPart;
}

void File::Close() {
  if (IsOpen()) CloseHandle(H(handle_));
  handle_ = kNone;
}

bool DirectoryExists(const char* path) {
  DWORD a = GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace lmx::platform
