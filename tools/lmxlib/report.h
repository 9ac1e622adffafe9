// What dump prints and check judges: one library file as its readers see it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lmxlib/json_util.h"
#include "lmxlib/record_walk.h"

namespace lmxlib {

struct RecordLine {
  size_t offset = 0;
  uint32_t tag = 0;
  uint32_t length = 0;
  std::string text;  // what the record holds and what it does
};

struct Report {
  std::string kind;                   // "effect", "organization", "texture", "defaults", "bitmap", "engine list"
  Json content = Json::object();      // the file's meaning; for effects and organizations in source form
  std::vector<RecordLine> lines;      // one per record, in file order (chunked files)
  std::vector<std::string> problems;  // everything an author should mend
  bool readable = true;               // false when reading stops before the end
  std::string stop;                   // where and why reading stops, or empty
};

// Adds the walk's end to the report: a damaged end becomes a problem and clears readable.
void AddWalkEnd(const Walk& walk, Report* report);

// Notes for payloads whose layout readers need: a number, a text with its zero.
bool NeedU32(const WalkRecord& r, const std::string& what, Report* report);
bool NeedText(const WalkRecord& r, size_t skip, const std::string& what, Report* report);
std::string At(size_t offset);  // "at offset 123"

}  // namespace lmxlib
