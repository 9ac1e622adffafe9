// A temporary installation directory (HELP, LIBS, ORGS, EFFECTS, TEXTURES, Work) named
// by the registry value "Path" for the life of a test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lmx::test {

class TestInstall {
 public:
  TestInstall();
  ~TestInstall();
  TestInstall(const TestInstall&) = delete;
  TestInstall& operator=(const TestInstall&) = delete;

  // The directory as this process opens it, and as the registry names it.
  const std::string& root() const { return root_; }
  std::string registryPath() const;
  // A file below the root, given with '/' separators.
  std::string File(const std::string& relative) const;
  void Write(const std::string& relative, const std::vector<uint8_t>& bytes) const;
  // The file's bytes; empty when it cannot be read.
  std::vector<uint8_t> Read(const std::string& relative) const;
  void Remove(const std::string& relative) const;

 private:
  std::string root_;
};

}  // namespace lmx::test
