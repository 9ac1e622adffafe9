#include "lmxlib/report.h"

#include <cstring>

namespace lmxlib {

std::string At(size_t offset) { return "at offset " + std::to_string(offset); }

void AddWalkEnd(const Walk& walk, Report* report) {
  switch (walk.end) {
    case WalkEnd::Complete: return;
    case WalkEnd::StrayBytes:
      report->stop = walk.endReason + " " + At(walk.endOffset);
      report->problems.push_back(report->stop);
      return;
    case WalkEnd::NoHeader:
    case WalkEnd::Damaged:
    case WalkEnd::TooLarge:
      report->readable = false;
      report->stop = "unreadable from offset " + std::to_string(walk.endOffset) + ": " + walk.endReason;
      report->problems.push_back(report->stop);
      return;
  }
}

bool NeedU32(const WalkRecord& r, const std::string& what, Report* report) {
  if (r.length >= 4) {
    if (r.length > 4)
      report->problems.push_back(TagName(r.tag) + " " + At(r.offset) + ": " + std::to_string(r.length - 4) +
                                 " byte(s) after the " + what + " are ignored");
    return true;
  }
  report->problems.push_back(TagName(r.tag) + " " + At(r.offset) + ": payload of " + std::to_string(r.length) +
                             " bytes is too short for the " + what + "; readers skip the record");
  return false;
}

bool NeedText(const WalkRecord& r, size_t skip, const std::string& what, Report* report) {
  if (r.length <= skip) {
    report->problems.push_back(TagName(r.tag) + " " + At(r.offset) + ": no " + what + " in the payload; readers skip it");
    return false;
  }
  if (!std::memchr(r.data + skip, 0, r.length - skip))
    report->problems.push_back(TagName(r.tag) + " " + At(r.offset) + ": the " + what +
                               " has no terminating zero inside the payload");
  return true;
}

}  // namespace lmxlib
