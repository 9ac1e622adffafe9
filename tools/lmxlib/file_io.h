// Files as lmxlib reads and writes them: only regular files are read (a FIFO or a device
// would block or never end), and every write replaces its target in one step.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lmxlib {

// Whole-file reading and writing with the reason of a failure in *error.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);
// An empty text when path can be read as a regular file, else why not.
std::string WhyNotRegularFile(const std::string& path);
// True when both paths name the same existing file (through links or other spellings).
bool SameFile(const std::string& a, const std::string& b);
// True when a write to b would replace the file a names, or the other way round: the same
// existing file, or the same name but for case, trailing dots or blanks (which Windows
// does not tell apart), after following symbolic links.
bool SameOutputFile(const std::string& a, const std::string& b);
// The extension after the last dot, upper-cased; "" when there is none.
std::string UpperExtension(const std::string& path);

// Paths from lmxlib's texts and back. Texts are UTF-8 on every system (on Windows through
// the program's code page), which std::filesystem does not assume of narrow strings there.
std::filesystem::path PathOf(const std::string& utf8);
std::string TextOf(const std::filesystem::path& path);

}  // namespace lmxlib
