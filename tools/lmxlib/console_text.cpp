#include "lmxlib/console_text.h"

#ifdef _WIN32

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>

namespace lmxlib {
namespace {

// The bytes of buffer that end with a whole UTF-8 character: the rest (at most three bytes
// of a character cut by a full buffer) waits for its other bytes.
size_t WholeCharacters(const char* buffer, size_t size) {
  size_t start = size;
  while (start > 0 && size - start < 3 && (uint8_t(buffer[start - 1]) & 0xC0) == 0x80) --start;
  if (start == 0) return size;
  const auto lead = uint8_t(buffer[start - 1]);
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return size - (start - 1) < length ? start - 1 : size;
}

class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) { setp(bytes_, bytes_ + sizeof bytes_); }

 protected:
  int overflow(int c) override {
    sync();
    if (c != traits_type::eof()) {
      *pptr() = char(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  // Bytes that are not UTF-8 show as U+FFFD.
  int sync() override {
    const size_t size = size_t(pptr() - pbase());
    const size_t whole = WholeCharacters(pbase(), size);
    if (whole > 0) {
      std::wstring wide(whole, L'\0');
      const int n = MultiByteToWideChar(CP_UTF8, 0, pbase(), int(whole), wide.data(), int(whole));
      DWORD written = 0;
      if (n > 0) WriteConsoleW(console_, wide.data(), DWORD(n), &written, nullptr);
    }
    std::memmove(bytes_, bytes_ + whole, size - whole);
    setp(bytes_, bytes_ + sizeof bytes_);
    pbump(int(size - whole));
    return 0;
  }

 private:
  HANDLE console_;
  char bytes_[1024];
};

// One standard stream printing through its console, and what it printed through before.
struct Redirect {
  Redirect(std::ostream& stream, DWORD which) : stream_(stream) {
    const HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return;
    console_ = std::make_unique<ConsoleBuffer>(handle);
    stream.flush();
    previous_ = stream.rdbuf(console_.get());
  }
  ~Redirect() {
    if (!console_) return;
    stream_.flush();
    stream_.rdbuf(previous_);
  }
  Redirect(const Redirect&) = delete;
  Redirect& operator=(const Redirect&) = delete;

 private:
  std::ostream& stream_;
  std::unique_ptr<ConsoleBuffer> console_;
  std::streambuf* previous_ = nullptr;
};

}  // namespace

struct ConsoleText::Streams {
  Redirect out{std::cout, STD_OUTPUT_HANDLE};
  Redirect err{std::cerr, STD_ERROR_HANDLE};
};

ConsoleText::ConsoleText() : streams_(std::make_unique<Streams>()) {}

}  // namespace lmxlib

#else

namespace lmxlib {

struct ConsoleText::Streams {};

ConsoleText::ConsoleText() = default;

}  // namespace lmxlib

#endif

namespace lmxlib {

ConsoleText::~ConsoleText() = default;

}  // namespace lmxlib
