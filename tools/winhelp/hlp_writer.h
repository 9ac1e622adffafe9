// Writes a help project as a WinHelp 3.1 file: uncompressed 4 KiB topic blocks, no
// phrase table, the internal directory and |CONTEXT, |TTLBTREE as B+ trees, |SYSTEM with
// the title, copyright and contents topic, |CTXOMAP with every map number, and |FONT.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "winhelp/help_model.h"

namespace winhelp {

// The file's bytes, or false with the first fault of the project in *error (two topics
// with one context hash or map number, an empty topic, a link to no topic, ...).
bool WriteHelpFile(const HelpProject& project, std::vector<uint8_t>* out, std::string* error);

}  // namespace winhelp
