// A scratch folder for the fuzz target whose reader takes only a path (the bitmap
// loader, which seeks in its file): each input is written to a file there and read back.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace lmx::fuzz {

class ScratchFolder {
 public:
  ScratchFolder() {
    char pattern[] = "/tmp/lmx-fuzz-XXXXXX";
    const char* dir = mkdtemp(pattern);
    root_ = dir ? dir : "/tmp";
  }
  // The fuzzer ends with exit(), which runs this for the static instance of each target.
  ~ScratchFolder() {
    std::error_code ignored;
    if (root_ != "/tmp") std::filesystem::remove_all(root_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // Writes data as the file of that name in the folder and returns its path.
  std::string Put(const char* file, const uint8_t* data, size_t size) const {
    std::string p = root_ + "/" + file;
    if (FILE* f = std::fopen(p.c_str(), "wb")) {
      if (size) std::fwrite(data, 1, size, f);
      std::fclose(f);
    }
    return p;
  }

 private:
  std::string root_;
};

}  // namespace lmx::fuzz
