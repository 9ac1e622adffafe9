// Organizations: which groups of effects the FX page offers, read from ORGS\<name>.ORG.
#pragma once

#include <cstdint>
#include <vector>

#include "library/bytes.h"
#include "library/chunk_file.h"
#include "platform/movable_memory.h"

namespace lmx {

inline constexpr uint32_t kOrganizationHeader = FourCC("LMXG");
inline constexpr int kGroupEntries = 16;

struct EffectGroup {
  int32_t entryCount;                 // 0 to 16
  char name[41];                      // at most 40 characters
  char entries[kGroupEntries][9];     // effect short names
};

class Organization {
 public:
  // Releases what is held, then reads the organization file at path. 1 when the file was
  // read to its clean end; 0 otherwise (a null path too), keeping the groups read before
  // any damage.
  int ReadOrganizationFile(const char* path);
  // The same from an organization file's whole content in memory.
  int ReadOrganizationBytes(const uint8_t* data, size_t size);
  // Applies one record ("OGRP" or "OITM"; others are ignored).
  void ApplyRecord(const ChunkRecord& record);
  void Release();

  int GroupCount() const;
  const EffectGroup* GroupAt(int group) const;        // null when out of range
  int EntryCount(int group) const;                     // 0 when out of range
  const char* EntryName(int group, int entry) const;  // null when out of range
  int FindGroupOf(const char* name) const;             // first group listing name, or -1
  int FindEntryOf(const char* name) const;             // its index in that group, or -1

 private:
  int ReadChunks(ChunkFile& file);

  std::vector<EffectGroup> groups_;
};

}  // namespace lmx
