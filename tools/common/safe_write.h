// Whole-file writes that never leave a half-written file where a good one was: the bytes
// go to a new file in the target's folder, which then takes the target's place in one
// step. A failed write removes the new file and leaves the target as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lmx {

// Writes bytes to path; false with the system's reason in *error (the target is then
// untouched). A write to a symbolic link replaces the file the link leads to and leaves
// the link as it is. A new file gets the usual permissions; a replaced one keeps its own
// (on Windows also its attributes and access rights).
bool WriteFileSafely(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

// The file a write to path replaces: path itself, or the file its chain of symbolic links
// ends at (which need not exist yet).
std::string WriteTarget(const std::string& path);

// How the new file of a write is named until it takes the target's place (the rest of the
// name is random). One found later is what a write that never finished (a crash, a power
// cut) left behind.
inline constexpr const char kWriteTemporaryPrefix[] = ".lmx-write-";

}  // namespace lmx
