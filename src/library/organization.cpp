#include "library/organization.h"

#include <cstring>
#include <new>
#include <string>

#include "library/bytes.h"
#include "library/dib.h"

namespace lmx {

int Organization::ReadOrganizationFile(const char* path) {
  Release();
  if (!path) return 0;
  ChunkFile file(path, kOrganizationHeader, false);
  return ReadChunks(file);
}

int Organization::ReadOrganizationBytes(const uint8_t* data, size_t size) {
  Release();
  ChunkFile file(data, size, kOrganizationHeader);
  return ReadChunks(file);
}

int Organization::ReadChunks(ChunkFile& file) {
  if (file.status() != ChunkOk) return 0;
  ChunkRecord record;
  while (file.ReadRecord(&record) == ChunkOk) ApplyRecord(record);
  const ChunkStatus end = file.status();
  file.Close();
  return end == ChunkEnd ? 1 : 0;
}

void Organization::ApplyRecord(const ChunkRecord& record) {
  if (record.tag != FourCC("OGRP") && record.tag != FourCC("OITM")) return;
  // A text without its zero inside the payload ends with the payload.
  const std::string text =
      record.length != 0 && record.data ? PayloadText(record.data, record.length) : std::string();
  if (record.tag == FourCC("OGRP")) {
    EffectGroup group{};
    CopyFixed(group.name, sizeof group.name, text.c_str());
    try {
      groups_.push_back(group);
    } catch (const std::bad_alloc&) {
      // No room for one more group: the organization keeps the ones it has.
    }
    return;
  }
  // An empty name is appended too (its button finds no effect file): the indices that
  // stored blocks rely on follow the file's records. A longer name keeps 8 characters.
  if (groups_.empty()) return;
  EffectGroup& group = groups_.back();
  if (group.entryCount < 0 || group.entryCount >= kGroupEntries) return;
  CopyFixed(group.entries[group.entryCount], sizeof group.entries[0], text.c_str());
  ++group.entryCount;
}

void Organization::Release() { std::vector<EffectGroup>().swap(groups_); }

int Organization::GroupCount() const { return static_cast<int>(groups_.size()); }

const EffectGroup* Organization::GroupAt(int group) const {
  if (group < 0 || group >= GroupCount()) return nullptr;
  return &groups_[static_cast<size_t>(group)];
}

int Organization::EntryCount(int group) const {
  const EffectGroup* g = GroupAt(group);
  return g ? g->entryCount : 0;
}

const char* Organization::EntryName(int group, int entry) const {
  const EffectGroup* g = GroupAt(group);
  if (!g || entry < 0 || entry >= g->entryCount) return nullptr;
  return g->entries[entry];
}

int Organization::FindGroupOf(const char* name) const {
  if (!name) return -1;
  for (int g = 0; g < GroupCount(); ++g) {
    const EffectGroup& group = groups_[static_cast<size_t>(g)];
    for (int e = 0; e < group.entryCount; ++e)
      if (std::strcmp(group.entries[e], name) == 0) return g;
  }
  return -1;
}

int Organization::FindEntryOf(const char* name) const {
  const EffectGroup* group = GroupAt(FindGroupOf(name));
  if (!group) return -1;
  for (int e = 0; e < group->entryCount; ++e)
    if (std::strcmp(group->entries[e], name) == 0) return e;
  return -1;
}

}  // namespace lmx
