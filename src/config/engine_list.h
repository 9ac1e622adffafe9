// The list of rendering engines (LIBS\LMX_ENG.LST) and the names of the organization
// files, as the Settings page lists them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lmx {

// The longest line text an entry keeps.
inline constexpr size_t kEngineLineMax = 1023;

// Splits the list into its lines. A line ends at a line feed; a carriage return before
// it stays part of the text; only lines that end with a line feed are listed. A line
// longer than kEngineLineMax keeps its first kEngineLineMax characters and the rest up
// to its line feed is dropped.
class EngineListParser {
 public:
  void Feed(std::string_view text);
  // The complete lines so far; a last line without its line feed is not among them.
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  std::string current_;
};

std::vector<std::string> ParseEngineList(std::string_view text);

// Reads the engine list of the installation; empty when its path cannot be built or the
// file cannot be read.
std::vector<std::string> ReadEngineList();

// What the registry keeps of a chosen entry: its text up to the first blank.
std::string EngineIdentifier(std::string_view entry);

// An organization file's name as listed: cut at its first ".ORG" (upper case only).
std::string OrganizationListName(std::string_view fileName);

}  // namespace lmx
