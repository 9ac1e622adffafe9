// Texture files (TEXTURES\<name>.LMT) read into TextureImage records.
#pragma once

#include "library/bytes.h"
#include "library/chunk_file.h"
#include "model/texture_image.h"

namespace lmx {

// The bytes "LMXT" at the start of the file, read little-endian like every header value.
inline constexpr uint32_t kTextureHeader = FourCC("LMXT");
// Neither side of a texture comes near this; pixels for a larger one are ignored.
inline constexpr uint32_t kMaxReadTextureSide = 16384;

void ConstructTexture(TextureImage* image);  // empty name, every field to ownsPixels 0
// Applies one record to an image being read. Once the pixels are in place the sizes are
// frozen and a second "TDAT" is ignored, so the buffer always matches width x height x 4
// and is never lost. A "TDAT" that comes before both sizes, whose payload is shorter
// than the sizes ask for, or whose side is above 16384, is ignored: nothing is read past
// the payload.
void ApplyTextureRecord(TextureImage* image, const ChunkRecord& record);
// Reads the texture file at path into an empty image, which takes `name`: 1 when it has
// pixels afterwards (never for a null path).
int ReadTextureFile(TextureImage* image, const char* path, const char* name);
// The same from a texture file's whole content in memory.
int ReadTextureBytes(TextureImage* image, const uint8_t* data, size_t size, const char* name);
// Frees owned pixels and clears the fields; changes nothing when it does not own them.
void ReleaseTexture(TextureImage* image);
void DestroyTexture(TextureImage* image);

}  // namespace lmx
