// The installation's files by short name: each path is built from the registry's "Path"
// (library_path.h) and read by the library's readers. A name whose path cannot be built
// reads as a missing file.
#pragma once

#include "library/effect_info.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "library/texture_reader.h"
#include "platform/movable_memory.h"

namespace lmx {

// EFFECTS\<name>.LMI into record (EffectRecord::ReadEffectFile).
int ReadInstalledEffect(EffectRecord& record, const char* name);
// ORGS\<name>.ORG into organization (Organization::ReadOrganizationFile).
int ReadInstalledOrganization(Organization& organization, const char* name);
// TEXTURES\<name>.LMT into an empty image (ReadTextureFile).
int ReadInstalledTexture(TextureImage* image, const char* name);
// EFFECTS\<entry>.BMP of an organization's entry as a movable DIB block the caller
// frees, or null.
platform::MemoryHandle LoadInstalledIcon(const Organization& organization, int group, int entry);
// What LMXGUI_GetEffectInfo hands the host for the effect of that short name.
void FillEffectInfo(const char* name, EffectInfo* info);

}  // namespace lmx
