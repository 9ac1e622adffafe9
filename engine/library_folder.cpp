#include "library_folder.h"

#include <algorithm>
#include <cctype>

#include "library/chunk_file.h"
#include "library/effect_record.h"
#include "library/texture_reader.h"
#include "platform/file.h"

namespace lmx::engine {

namespace {

// Names longer than a short name cannot be an installation's file.
constexpr size_t kMaxShortName = 8;

// Frees the pixels a texture reader allocated, whatever happens after the read.
class OwnedTexture {
 public:
  OwnedTexture() { ConstructTexture(&image_); }
  ~OwnedTexture() { DestroyTexture(&image_); }
  OwnedTexture(const OwnedTexture&) = delete;
  OwnedTexture& operator=(const OwnedTexture&) = delete;
  TextureImage* get() { return &image_; }

 private:
  TextureImage image_;
};

}  // namespace

FolderRead ReadFolderEffect(const std::string& folder, const std::string& name, FolderEffect* out) {
  *out = FolderEffect{};
  if (folder.empty() || !platform::DirectoryExists(folder.c_str())) return FolderRead::NoFolder;
  std::string upper = name;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (upper.size() > kMaxShortName || upper.find('\0') != std::string::npos || !PlainEffectName(upper.c_str()))
    return FolderRead::BadName;

  EffectRecord record;
  std::string path = folder + "/EFFECTS/" + upper + ".LMI";
  int status = record.ReadEffectFile(path.c_str());
  if (status == ChunkOpenFailed) return FolderRead::Missing;
  out->shape = ShapeOfRecord(record, status);
  if (!out->shape.found) return FolderRead::Damaged;

  EffectSettings& settings = out->settings;
  upper.copy(settings.effectName, sizeof settings.effectName - 1);
  settings.specialCount = std::min<uint32_t>(record.optionCount(), kSpecialSlots);
  for (uint32_t i = 0; i < settings.specialCount; ++i) {
    EffectOption option = record.option(i);
    settings.specialValues[i] = {0, option.tag, option.defaultValue};
    out->options.push_back(option);
  }
  return FolderRead::Ok;
}

bool ReadFolderTexture(const std::string& folder, const char* name, FolderTexture* out) {
  *out = FolderTexture{};
  std::string path = folder + "/TEXTURES/" + name + ".LMT";
  OwnedTexture texture;
  TextureImage* image = texture.get();
  if (ReadTextureFile(image, path.c_str(), name) == 0) return false;
  out->width = image->width;
  out->height = image->height;
  out->pixels.assign(image->pixels, image->pixels + static_cast<size_t>(image->width) * image->height * 4);
  return true;
}

}  // namespace lmx::engine
