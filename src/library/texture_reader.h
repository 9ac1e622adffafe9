// Texture files (TEXTURES\<name>.LMT) read into TextureImage records.
#pragma once

#include "library/bytes.h"
#include "library/texture_image.h"

namespace lmx {

// The bytes "LMXT" at the start of the file, read little-endian like every header value.
inline constexpr uint32_t kTextureHeader = FourCC("LMXT");

void ConstructTexture(TextureImage* image);  // empty name, every field to ownsPixels 0
// Reads the texture of that name into an empty image: 1 when it has pixels afterwards.
int ReadTexture(TextureImage* image, const char* name);
// The same from a texture file named by its full path; the image takes `name`.
int ReadTextureFile(TextureImage* image, const char* path, const char* name);
// Frees owned pixels and clears the fields; changes nothing when it does not own them.
void ReleaseTexture(TextureImage* image);
void DestroyTexture(TextureImage* image);

}  // namespace lmx
