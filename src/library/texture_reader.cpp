#include "library/texture_reader.h"

#include <cstdlib>
#include <cstring>

#include "library/bytes.h"
#include "library/chunk_file.h"

namespace lmx {
namespace {

void ClearFields(TextureImage* image) {
  image->formatCode = 0;
  image->width = 0;
  image->height = 0;
  image->extentWidth = 0;
  image->extentHeight = 0;
  image->scaleX = 0.0f;
  image->scaleY = 0.0f;
}

void FreeOwnedPixels(TextureImage* image) {
  if (image->pixels && image->ownsPixels) std::free(image->pixels);
}

}  // namespace

void ApplyTextureRecord(TextureImage* image, const ChunkRecord& record) {
  if (record.tag == FourCC("TWID") || record.tag == FourCC("THIT")) {
    if (image->pixels || record.length < 4) return;
    uint32_t value = LoadU32(record.data);
    if (record.tag == FourCC("TWID")) {
      image->width = image->extentWidth = value;
      image->scaleX = 1.0f;
    } else {
      image->height = image->extentHeight = value;
      image->scaleY = 1.0f;
    }
  } else if (record.tag == FourCC("TDAT")) {
    image->bytesPerPixel = 4;
    if (image->pixels) return;
    if (image->width == 0 || image->height == 0) return;
    if (image->width > kMaxReadTextureSide || image->height > kMaxReadTextureSide) return;
    uint64_t size = uint64_t(image->width) * image->height * 4;
    if (size > record.length) return;
    auto* buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
    if (!buffer) return;
    std::memcpy(buffer, record.data, static_cast<size_t>(size));
    image->pixels = buffer;
    image->ownsPixels = 1;
  }
}

void ConstructTexture(TextureImage* image) {
  std::memset(image->name, 0, sizeof image->name);
  ClearFields(image);
  image->pixels = nullptr;
  image->ownsPixels = 0;
}

namespace {

// Applies every record of an opened file, then names the image when it has pixels.
int ReadTextureChunks(TextureImage* image, ChunkFile* file, const char* name) {
  if (file && file->status() == ChunkOk) {
    ChunkRecord record;
    while (file->ReadRecord(&record) == ChunkOk) ApplyTextureRecord(image, record);
  }
  if (image->pixels) {
    CopyFixed(image->name, sizeof image->name, name);
    image->formatCode = kTextureFormat;
    return 1;
  }
  ClearFields(image);
  image->bytesPerPixel = 0;
  return 0;
}

}  // namespace

int ReadTextureFile(TextureImage* image, const char* path, const char* name) {
  if (!path) return ReadTextureChunks(image, nullptr, name);
  ChunkFile file(path, kTextureHeader, false);
  return ReadTextureChunks(image, &file, name);
}

int ReadTextureBytes(TextureImage* image, const uint8_t* data, size_t size, const char* name) {
  ChunkFile file(data, size, kTextureHeader);
  return ReadTextureChunks(image, &file, name);
}

void ReleaseTexture(TextureImage* image) {
  if (!image->pixels || !image->ownsPixels) return;
  std::free(image->pixels);
  ClearFields(image);
  image->pixels = nullptr;
  image->ownsPixels = 0;
}

void DestroyTexture(TextureImage* image) {
  std::memset(image->name, 0, sizeof image->name);
  ClearFields(image);
  FreeOwnedPixels(image);
  image->pixels = nullptr;
  image->ownsPixels = 0;
}

}  // namespace lmx
