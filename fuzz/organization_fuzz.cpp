#include <cstddef>
#include <cstdint>
#include <cstring>

#include "library/organization.h"

// Each input is an organization file; every look-up a page makes must stay inside the
// groups read, and every name must end inside its field.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lmx::Organization org;
  org.ReadOrganizationBytes(data, size);
  volatile size_t sink = 0;
  for (int g = -1; g <= org.GroupCount(); ++g) {
    const lmx::EffectGroup* group = org.GroupAt(g);
    if (group && strnlen(group->name, sizeof group->name) == sizeof group->name) __builtin_trap();
    const int entries = org.EntryCount(g);
    if (entries < 0 || entries > lmx::kGroupEntries) __builtin_trap();
    for (int e = -1; e <= entries; ++e) {
      const char* name = org.EntryName(g, e);
      if (!name) continue;
      if (strnlen(name, 9) > 8) __builtin_trap();
      // The first group listing a name, and the entry there, describe the same entry.
      const int foundGroup = org.FindGroupOf(name);
      const int foundEntry = org.FindEntryOf(name);
      const char* found = org.EntryName(foundGroup, foundEntry);
      if (!found || std::strcmp(found, name) != 0 || foundGroup > g) __builtin_trap();
      sink += std::strlen(name);
    }
  }
  (void)sink;
  return 0;
}
