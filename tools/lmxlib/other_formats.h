// The installation's files outside the chunked container: bitmaps (icons, about box
// pictures), the defaults file and the engine list.
#pragma once

#include <cstdint>
#include <vector>

#include "lmxlib/report.h"

namespace lmxlib {

inline constexpr size_t kDefaultsSize = 1016;  // one settings block

// A Windows bitmap file (with or without its 14-byte file header) as the product's
// loader takes it: a 40- or 12-byte information header and 24 or more bits per pixel.
Report DecodeBitmap(const std::vector<uint8_t>& bytes);
// The defaults file: one raw settings block.
Report DecodeDefaults(const std::vector<uint8_t>& bytes);
// The engine list: lines ending with a line feed, "IDENTIFIER description".
Report DecodeEngineList(const std::vector<uint8_t>& bytes);

}  // namespace lmxlib
