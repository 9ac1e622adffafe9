#include "lmxlib/organization_format.h"

#include <cstring>

#include "common/chunk_writer.h"
#include "lmxlib/ansi_text.h"
#include "library/bytes.h"
#include "library/organization.h"

namespace lmxlib {

using lmx::FourCC;

OrganizationSource ParseOrganization(const Json& s) {
  AllowOnly(s, {"groups", "extraRecords"}, "organization");
  OrganizationSource org;
  if (!s.contains("groups") || !s["groups"].is_array()) throw SourceError("organization.groups: expected a list of groups");
  for (size_t g = 0; g < s["groups"].size(); ++g) {
    const std::string where = "organization.groups[" + std::to_string(g) + "]";
    const Json& gj = s["groups"][g];
    AllowOnly(gj, {"name", "effects"}, where);
    GroupSource group;
    group.name = ToAnsi(GetText(gj, "name", where, ""), where + ".name");
    if (group.name.empty() || group.name.size() > kMaxGroupName)
      throw SourceError(where + ".name: 1 to 40 characters");
    if (!gj.contains("effects") || !gj["effects"].is_array()) throw SourceError(where + ".effects: expected a list");
    if (gj["effects"].size() > kMaxGroupEntries) throw SourceError(where + ".effects: at most 16 effects in a group");
    for (size_t e = 0; e < gj["effects"].size(); ++e) {
      const Json& name = gj["effects"][e];
      const std::string at = where + ".effects[" + std::to_string(e) + "]";
      if (!name.is_string()) throw SourceError(at + ": expected an effect's short name");
      CheckShortName(name.get<std::string>(), at);
      group.effects.push_back(name.get<std::string>());
    }
    org.groups.push_back(group);
  }
  if (s.contains("extraRecords")) {
    if (!s["extraRecords"].is_array()) throw SourceError("organization.extraRecords: expected a list");
    for (size_t i = 0; i < s["extraRecords"].size(); ++i)
      org.extraRecords.push_back(
          ParseRawRecord(s["extraRecords"][i], "organization.extraRecords[" + std::to_string(i) + "]"));
  }
  return org;
}

Json OrganizationJson(const OrganizationSource& org) {
  Json j;
  j["groups"] = Json::array();
  for (const auto& g : org.groups) j["groups"].push_back({{"name", FromAnsi(g.name)}, {"effects", g.effects}});
  if (!org.extraRecords.empty()) {
    j["extraRecords"] = Json::array();
    for (const auto& r : org.extraRecords)
      j["extraRecords"].push_back({{"tag", TagName(r.tag)}, {"hex", ToHex(r.payload.data(), r.payload.size())}});
  }
  return j;
}

std::vector<uint8_t> EncodeOrganization(const OrganizationSource& org) {
  lmx::ChunkWriter w(kOrganizationHeader);
  for (const auto& g : org.groups) {
    w.Text(FourCC("OGRP"), g.name);
    for (const auto& e : g.effects) w.Text(FourCC("OITM"), e);
  }
  for (const auto& r : org.extraRecords) w.Record(r.tag, r.payload);
  return w.bytes();
}

namespace {

// A record's text as the product reads it (up to its zero or the payload's end), with a
// missing zero reported.
std::string RecordText(const WalkRecord& r, const std::string& here, Report* rep) {
  if (r.length == 0) return std::string();
  if (!std::memchr(r.data, 0, r.length)) rep->problems.push_back(here + ": the text has no terminating zero inside the payload");
  return lmx::PayloadText(r.data, r.length);
}

}  // namespace

Report DecodeOrganization(const Walk& walk) {
  Report rep;
  rep.kind = "organization";
  // The product's own reader takes every record; the report says what it made of each.
  lmx::Organization read;
  std::vector<RawRecord> extraRecords;
  for (const WalkRecord& r : walk.records) {
    const std::string here = TagName(r.tag) + " " + At(r.offset);
    const int groupsBefore = read.GroupCount();
    const int entriesBefore = read.EntryCount(groupsBefore - 1);
    read.ApplyRecord(lmx::ChunkRecord{r.tag, r.length, r.data});
    std::string text;
    if (r.tag == FourCC("OGRP")) {
      const std::string name = RecordText(r, here, &rep);
      text = "group " + std::to_string(groupsBefore) + " " + Quote(name);
      if (name.empty()) rep.problems.push_back(here + ": group without a name");
      if (name.size() > kMaxGroupName)
        rep.problems.push_back(here + ": group name of " + std::to_string(name.size()) +
                               " characters; readers keep the first 40");
      if (read.GroupCount() == groupsBefore) rep.problems.push_back(here + ": no memory for the group; readers drop it");
    } else if (r.tag == FourCC("OITM")) {
      const std::string name = RecordText(r, here, &rep);
      text = "entry " + Quote(name);
      if (name.empty()) rep.problems.push_back(here + ": entry without a name; its button finds no effect file");
      if (name.size() > kMaxShortName)
        rep.problems.push_back(here + ": effect name \"" + name + "\" is longer than 8 characters");
      if (groupsBefore == 0)
        rep.problems.push_back(here + ": entry before the first group is ignored");
      else if (read.EntryCount(groupsBefore - 1) == entriesBefore)
        rep.problems.push_back(here + ": 17th or later entry of group \"" + read.GroupAt(groupsBefore - 1)->name +
                               "\" is dropped");
    } else {
      text = "unknown tag, ignored by readers";
      extraRecords.push_back({r.tag, std::vector<uint8_t>(r.data, r.data + r.length)});
    }
    rep.lines.push_back({r.offset, r.tag, r.length, text});
  }
  AddWalkEnd(walk, &rep);
  OrganizationSource org;
  org.extraRecords = std::move(extraRecords);
  for (int g = 0; g < read.GroupCount(); ++g) {
    GroupSource group{read.GroupAt(g)->name, {}};
    for (int e = 0; e < read.EntryCount(g); ++e) group.effects.push_back(read.EntryName(g, e));
    if (group.effects.empty()) rep.problems.push_back("group \"" + group.name + "\" has no effects");
    org.groups.push_back(std::move(group));
  }
  rep.content = OrganizationJson(org);
  return rep;
}

}  // namespace lmxlib
