#include "config/engine_list.h"

#include <cstdint>

#include "config/library_path.h"
#include "platform/file.h"

namespace lmx {

void EngineListParser::Feed(std::string_view text) {
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view piece = text.substr(0, end);
    if (current_.size() < kEngineLineMax)
      current_.append(piece.substr(0, kEngineLineMax - current_.size()));
    if (end == std::string_view::npos) return;
    lines_.push_back(std::move(current_));
    current_.clear();
    text.remove_prefix(end + 1);
  }
}

std::vector<std::string> ParseEngineList(std::string_view text) {
  EngineListParser parser;
  parser.Feed(text);
  return parser.lines();
}

std::vector<std::string> ReadEngineList() {
  char path[1024];
  if (!BuildLibraryPath(path, sizeof path, "LIBS", "LMX_ENG", "LST")) return {};
  platform::File file = platform::File::OpenRead(path, true);
  if (!file.IsOpen()) return {};
  EngineListParser parser;
  char chunk[4096];
  uint32_t got = 0;
  while (file.Read(chunk, sizeof chunk, &got) && got > 0) parser.Feed(std::string_view(chunk, got));
  return parser.lines();
}

std::string EngineIdentifier(std::string_view entry) { return std::string(entry.substr(0, entry.find(' '))); }

std::string OrganizationListName(std::string_view fileName) {
  return std::string(fileName.substr(0, fileName.find(".ORG")));
}

}  // namespace lmx
