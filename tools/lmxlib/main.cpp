// lmxlib: the effect author's tool. Builds library files from readable sources, dumps
// any library file, and checks a whole installation.
#include <exception>
#include <iostream>
#include <new>

#include "lmxlib/command.h"
#include "lmxlib/console_text.h"

int main(int argc, char** argv) {
  const lmxlib::ConsoleText console;
  // Commands report their own faults; these are the last resort, without the library's
  // own wording.
  try {
    return lmxlib::RunTool(lmxlib::Args(argv, argv + argc), std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    std::cerr << "lmxlib: out of memory\n";
  } catch (const std::exception&) {
    std::cerr << "lmxlib: cannot continue after an unexpected fault\n";
  }
  return lmxlib::kExitFindings;
}
