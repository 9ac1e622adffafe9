// Feeds arbitrary bytes to the help file reader and, when it accepts them, to the check
// against the help table, which walks everything the reader returned.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "winhelp/help_coverage.h"
#include "winhelp/hlp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  winhelp::HelpFile file;
  std::string error;
  if (winhelp::ReadHelpFile(bytes, &file, &error)) {
    volatile size_t sink = winhelp::CheckHelpCoverage(file).size() + file.topics.size();
    (void)sink;
  }
  return 0;
}
