// Effect icons as the FX page draws them: a 24-bit Windows bitmap file with the 40-byte
// information header, rows bottom-up, at the size of the page's icon buttons.
#pragma once

#include <cstdint>
#include <vector>

#include "lmxlib/texture_format.h"

namespace lmxlib {

// The FX page's buttons are 35 x 30 dialog units, 52 x 48 pixels in its 8-point font, and
// the icon fills a button less 2 pixels on each side.
inline constexpr uint32_t kIconWidth = 48;
inline constexpr uint32_t kIconHeight = 44;

// The picture scaled to width x height by area averaging, over black where it is
// transparent.
Picture ScalePicture(const Picture& picture, uint32_t width, uint32_t height);
// The whole bitmap file (14-byte file header, 40-byte information header, 24-bit rows).
std::vector<uint8_t> EncodeBmp24(const Picture& picture);

}  // namespace lmxlib
