// lmxlib: the effect author's tool. Builds library files from readable sources, dumps
// any library file, and checks a whole installation.
#include <exception>
#include <iostream>

#include "lmxlib/command.h"

int main(int argc, char** argv) {
  try {
    return lmxlib::RunTool(lmxlib::Args(argv, argv + argc), std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "lmxlib: " << e.what() << "\n";
    return lmxlib::kExitFindings;
  }
}
