// Windows bitmap files read as the host's clips: uncompressed, 24 or 32 bits a pixel (the
// kinds picture tools write), any header from the 40-byte one on, rows either way up.
#pragma once

#include <string>

#include "image.h"

namespace lmx::host {

// Reads path into image (top row first). False with the reason in *error for a file that
// cannot be read, is not such a bitmap, is cut short, or has a side above maxSide.
bool ReadBmp(const std::string& path, int maxSide, Image* image, std::string* error);

}  // namespace lmx::host
