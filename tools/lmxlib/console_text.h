// What lmxlib prints is UTF-8. A Windows console shows text in a code page of its own, so
// there, output that goes to a console is handed over as characters (WriteConsoleW), which
// it shows right whatever that code page is. Output into a pipe or a file stays UTF-8, the
// encoding of every text lmxlib reads and writes, so that a dump saved to a file builds
// back unchanged whatever the machine's code pages. Elsewhere nothing changes.
#pragma once

#include <memory>

namespace lmxlib {

// For its lifetime, std::cout and std::cerr print through the console where they are one.
class ConsoleText {
 public:
  ConsoleText();
  ~ConsoleText();
  ConsoleText(const ConsoleText&) = delete;
  ConsoleText& operator=(const ConsoleText&) = delete;

 private:
  struct Streams;
  std::unique_ptr<Streams> streams_;
};

}  // namespace lmxlib
