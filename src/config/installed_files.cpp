#include "config/installed_files.h"

#include "config/library_path.h"
#include "library/dib.h"

namespace lmx {

int ReadInstalledEffect(EffectRecord& record, const char* name) {
  char path[kShortPathSize];
  if (!name || !BuildLibraryPath(path, sizeof path, "EFFECTS", name, "LMI")) return ChunkOpenFailed;
  return record.ReadEffectFile(path);
}

int ReadInstalledOrganization(Organization& organization, const char* name) {
  char path[kShortPathSize];
  const bool found = name && BuildLibraryPath(path, sizeof path, "ORGS", name, "ORG");
  return organization.ReadOrganizationFile(found ? path : nullptr);
}

int ReadInstalledTexture(TextureImage* image, const char* name) {
  char path[kMediumPathSize];
  const bool found = name && BuildLibraryPath(path, sizeof path, "TEXTURES", name, "LMT");
  return ReadTextureFile(image, found ? path : nullptr, name);
}

platform::MemoryHandle LoadInstalledIcon(const Organization& organization, int group, int entry) {
  const char* name = organization.EntryName(group, entry);
  char path[kShortPathSize];
  if (!name || !BuildLibraryPath(path, sizeof path, "EFFECTS", name, "BMP")) return nullptr;
  return LoadDib(path);
}

void FillEffectInfo(const char* name, EffectInfo* info) {
  char path[kShortPathSize];
  const bool found = name && BuildLibraryPath(path, sizeof path, "EFFECTS", name, "LMI");
  FillEffectInfoFromFile(found ? path : nullptr, info);
}

}  // namespace lmx
