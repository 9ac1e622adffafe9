// Checks a help file read back against the module's help table: every context number
// the pages can ask for has a topic in the map, and no topic is empty.
#pragma once

#include <string>
#include <vector>

#include "winhelp/hlp_reader.h"

namespace winhelp {

// One message per problem; empty when the file serves every request of the module.
std::vector<std::string> CheckHelpCoverage(const HelpFile& file);
// The same for a file's bytes; a file the reader refuses gives its reason.
std::vector<std::string> CheckHelpFile(const std::vector<uint8_t>& bytes);

}  // namespace winhelp
