// Texture files (TEXTURES\<name>.LMT) read into TextureImage records.
#pragma once

#include "library/texture_image.h"

namespace lmx {

inline constexpr uint32_t kTextureHeader = 0x544D584C;  // "LMXT"

void ConstructTexture(TextureImage* image);  // empty name, every field to ownsPixels 0
// Reads the texture of that name into an empty image: 1 when it has pixels afterwards.
int ReadTexture(TextureImage* image, const char* name);
// Frees owned pixels and clears the fields; changes nothing when it does not own them.
void ReleaseTexture(TextureImage* image);
void DestroyTexture(TextureImage* image);

}  // namespace lmx
