// PNG files of RGB pictures, for preview strips.
#pragma once

#include <cstdint>
#include <vector>

namespace lmxlib {

// rgb: height rows top-down of width pixels, 3 bytes each. Empty on failure.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace lmxlib
