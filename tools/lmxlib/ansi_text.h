// Texts in library files are in the Windows ANSI code page the library's readers use,
// Windows-1252 (one byte per character); sources and dumps are UTF-8. An author's text is
// converted when every character has its place in the code page and refused otherwise.
#pragma once

#include <string>

namespace lmxlib {

// The Windows-1252 bytes of a UTF-8 text. Throws SourceError naming where and the first
// character without a place in the code page, or bytes that are not UTF-8.
std::string ToAnsi(const std::string& utf8, const std::string& where);
// The UTF-8 form of Windows-1252 bytes (the five unassigned bytes become U+0081 and the
// like, as Windows reads them, so that a dump builds back to the same bytes).
std::string FromAnsi(const std::string& ansi);

}  // namespace lmxlib
