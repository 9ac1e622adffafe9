// Organization files (.ORG): groups of up to 16 effect short names, in source form
// {"groups": [{"name": ..., "effects": [...]}]}.
#pragma once

#include <string>
#include <vector>

#include "library/organization.h"

#include "lmxlib/effect_format.h"

namespace lmxlib {

using lmx::kOrganizationHeader;
inline constexpr size_t kMaxGroupName = 40;
inline constexpr size_t kMaxGroupEntries = 16;

struct GroupSource {
  std::string name;
  std::vector<std::string> effects;
};

struct OrganizationSource {
  std::vector<GroupSource> groups;
  std::vector<RawRecord> extraRecords;
};

OrganizationSource ParseOrganization(const Json& source);
Json OrganizationJson(const OrganizationSource& org);
std::vector<uint8_t> EncodeOrganization(const OrganizationSource& org);
// The groups as the product reads them, through the product's own reader (names cut to
// 40 characters, entries beyond the 16th dropped, empty names kept), with every such
// fault listed.
Report DecodeOrganization(const Walk& walk);

}  // namespace lmxlib
