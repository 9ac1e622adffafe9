// Reads any file of an installation into a report: the chunked library files by their
// header value or extension, bitmaps, the defaults file and the engine list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lmxlib/report.h"

namespace lmxlib {

// "effect", "organization", "texture", "defaults", "bitmap", "engine list", or "" when
// neither the extension nor the first bytes tell.
std::string GuessKind(const std::string& path, const std::vector<uint8_t>& bytes);
// Reports on bytes read from path as the given kind. A chunked file whose header value
// is not its kind's is reported unreadable from offset 0.
Report Inspect(const std::string& kind, const std::vector<uint8_t>& bytes);

}  // namespace lmxlib
