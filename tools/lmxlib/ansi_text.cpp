#include "lmxlib/ansi_text.h"

#include <cstdint>
#include <cstdio>

#include "lmxlib/json_util.h"

namespace lmxlib {
namespace {

// Windows-1252 bytes 0x80 to 0x9F; the rest of the code page equals Unicode.
constexpr uint16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int AnsiByteOf(uint32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return int(code);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == code) return 0x80 + i;
  return -1;
}

void AppendUtf8(uint32_t code, std::string* out) {
  if (code < 0x80) {
    *out += char(code);
  } else if (code < 0x800) {
    *out += char(0xC0 | (code >> 6));
    *out += char(0x80 | (code & 0x3F));
  } else {
    *out += char(0xE0 | (code >> 12));
    *out += char(0x80 | ((code >> 6) & 0x3F));
    *out += char(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::string ToAnsi(const std::string& utf8, const std::string& where) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = uint8_t(utf8[i]);
    int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || utf8.size() - i <= size_t(extra)) throw SourceError(where + ": not UTF-8 text");
    uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = uint8_t(utf8[i + size_t(k)]);
      if ((next & 0xC0) != 0x80) throw SourceError(where + ": not UTF-8 text");
      code = code << 6 | (next & 0x3F);
    }
    constexpr uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};  // shorter forms are not UTF-8
    if (code < kSmallest[extra]) throw SourceError(where + ": not UTF-8 text");
    const int byte = AnsiByteOf(code);
    if (byte < 0) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "U+%04X", unsigned(code));
      throw SourceError(where + ": \"" + utf8.substr(i, size_t(extra) + 1) + "\" (" + hex +
                        ") has no place in Windows-1252, the code page of the library's texts");
    }
    out += char(byte);
    i += size_t(extra) + 1;
  }
  return out;
}

std::string FromAnsi(const std::string& ansi) {
  std::string out;
  for (char c : ansi) {
    const auto b = uint8_t(c);
    AppendUtf8(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b, &out);
  }
  return out;
}

}  // namespace lmxlib
