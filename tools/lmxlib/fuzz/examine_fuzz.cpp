// Feeds arbitrary bytes to every reader of dump and check: the first byte picks the kind
// of file, the rest is the file. Text and JSON output are produced too, since damaged
// names must never break them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lmxlib/examine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char* const kinds[] = {"effect", "organization", "texture", "defaults", "bitmap", "engine list"};
  if (size == 0) return 0;
  const std::vector<uint8_t> bytes(data + 1, data + size);
  const lmxlib::Report rep = lmxlib::Inspect(kinds[data[0] % 6], bytes);
  volatile size_t sink = lmxlib::Pretty(rep.content, 2).size() + rep.problems.size();
  for (const auto& line : rep.lines) sink += line.text.size();
  (void)sink;
  return 0;
}
