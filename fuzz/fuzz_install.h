// A scratch installation directory for fuzz targets: each input is written to a file
// there and read back through the real reader, registry path and all.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/posix/posix_seams.h"

namespace lmx::fuzz {

class ScratchInstall {
 public:
  ScratchInstall() {
    char pattern[] = "/tmp/lmx-fuzz-XXXXXX";
    const char* dir = mkdtemp(pattern);
    root_ = dir ? dir : "/tmp";
    for (const char* sub : {"EFFECTS", "ORGS", "TEXTURES", "Work"}) {
      std::string p = root_ + "/" + sub;
      mkdir(p.c_str(), 0755);
    }
    platform::posix::ResetRegistry(true);
    platform::posix::SetRegistryString("Path", root_);
  }
  // The fuzzer ends with exit(), which runs this for the static instance of each target.
  ~ScratchInstall() {
    std::error_code ignored;
    if (root_ != "/tmp") std::filesystem::remove_all(root_, ignored);
  }
  ScratchInstall(const ScratchInstall&) = delete;
  ScratchInstall& operator=(const ScratchInstall&) = delete;
  // Writes data as SUBDIR/NAME.EXT below the root.
  void Put(const char* sub, const char* file, const uint8_t* data, size_t size) const {
    std::string p = root_ + "/" + sub + "/" + file;
    if (FILE* f = std::fopen(p.c_str(), "wb")) {
      if (size) std::fwrite(data, 1, size, f);
      std::fclose(f);
    }
  }
  const std::string& root() const { return root_; }

 private:
  std::string root_;
};

}  // namespace lmx::fuzz
