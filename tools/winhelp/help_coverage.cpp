#include "winhelp/help_coverage.h"

#include <map>

#include "model/help_ids.h"

namespace winhelp {

std::vector<std::string> CheckHelpCoverage(const HelpFile& file) {
  std::vector<std::string> problems;
  std::map<uint32_t, std::string> controls;  // context number -> its control ids
  for (size_t i = 0; i + 1 < lmx::kHelpIdCount && lmx::kHelpIdPairs[i] != 0; i += 2) {
    std::string& ids = controls[lmx::kHelpIdPairs[i + 1]];
    ids += (ids.empty() ? "" : ", ") + std::to_string(lmx::kHelpIdPairs[i]);
  }
  for (const auto& [context, ids] : controls) {
    const ReadMapEntry* entry = nullptr;
    for (const ReadMapEntry& m : file.map)
      if (m.number == context) entry = &m;
    if (!entry) {
      problems.push_back("help context " + std::to_string(context) + " (controls " + ids + ") has no popup topic");
      continue;
    }
    if (!file.TopicAt(entry->offset))
      problems.push_back("help context " + std::to_string(context) + " points at no topic");
  }
  if (!file.TopicAt(file.contentsOffset)) problems.push_back("the contents topic is missing");
  for (const ReadTopic& t : file.topics) {
    bool text = false;
    for (const std::string& p : t.paragraphs) text = text || p.find_first_not_of(" \t\n") != std::string::npos;
    if (!text) problems.push_back("topic \"" + t.title + "\" is empty");
  }
  return problems;
}

std::vector<std::string> CheckHelpFile(const std::vector<uint8_t>& bytes) {
  HelpFile file;
  std::string error;
  if (!ReadHelpFile(bytes, &file, &error)) return {"unreadable help file: " + error};
  return CheckHelpCoverage(file);
}

}  // namespace winhelp
