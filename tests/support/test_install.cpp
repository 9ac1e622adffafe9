#include "support/test_install.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/registry_control.h"

namespace fs = std::filesystem;

namespace lmx::test {

TestInstall::TestInstall() {
  static std::atomic<int> serial{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path dir = fs::temp_directory_path() / ("lmx-install-" + std::to_string(stamp) + "-" + std::to_string(++serial));
  for (const char* sub : {"HELP", "LIBS", "ORGS", "EFFECTS", "TEXTURES", "Work"}) fs::create_directories(dir / sub);
  root_ = dir.string();
  ResetRegistry(true);
  SetRegistryString("Path", registryPath());
}

TestInstall::~TestInstall() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
  ResetRegistry(false);
}

std::string TestInstall::registryPath() const {
  std::string p = root_;
#ifdef _WIN32
  for (char& c : p)
    if (c == '/') c = '\\';
#endif
  return p;
}

std::string TestInstall::File(const std::string& relative) const { return (fs::path(root_) / relative).string(); }

void TestInstall::Write(const std::string& relative, const std::vector<uint8_t>& bytes) const {
  std::ofstream out(File(relative), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> TestInstall::Read(const std::string& relative) const {
  std::ifstream in(File(relative), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void TestInstall::Remove(const std::string& relative) const {
  std::error_code ignored;
  fs::remove(File(relative), ignored);
}

}  // namespace lmx::test
