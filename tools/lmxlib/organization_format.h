// Organization files (.ORG): groups of up to 16 effect short names, in source form
// {"groups": [{"name": ..., "effects": [...]}]}.
#pragma once

#include <string>
#include <vector>

#include "lmxlib/effect_format.h"

namespace lmxlib {

inline constexpr uint32_t kOrganizationHeader = 0x474D584C;  // "LMXG"
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
// The groups as the product reads them (names cut to 40 characters, entries beyond the
// 16th dropped), with every such fault listed.
Report DecodeOrganization(const Walk& walk);

}  // namespace lmxlib
