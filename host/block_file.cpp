#include "block_file.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace lmx::host {

BlockLoad LoadBlockFile(const std::string& path, EffectSettings* block) {
  std::memset(block, 0, sizeof *block);
  std::error_code ec;
  if (!fs::exists(path, ec)) return ec ? BlockLoad::Unreadable : BlockLoad::Missing;
  std::ifstream in(path, std::ios::binary);
  if (!in) return BlockLoad::Unreadable;
  EffectSettings read;
  in.read(reinterpret_cast<char*>(&read), sizeof read);
  if (in.gcount() != static_cast<std::streamsize>(sizeof read)) {
    return in.bad() ? BlockLoad::Unreadable : BlockLoad::WrongSize;
  }
  // One byte more than a block means the file is not a block: refuse it whole.
  if (in.peek() != std::ifstream::traits_type::eof()) return BlockLoad::WrongSize;
  *block = read;
  return BlockLoad::Loaded;
}

bool SaveBlockFile(const std::string& path, const EffectSettings& block) {
  const std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(&block), sizeof block);
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temporary, path, ec);
  if (ec) {
    // Some runtimes refuse to rename over an existing file; the new block is complete in
    // the temporary file by now, so the old one can go first.
    std::error_code ignored;
    fs::remove(path, ignored);
    fs::rename(temporary, path, ec);
  }
  return !ec;
}

std::string DescribeBlockLoad(BlockLoad result, const std::string& path) {
  switch (result) {
    case BlockLoad::Loaded: return "";
    case BlockLoad::Missing: return "no settings block at " + path + " yet; starting from an empty one";
    case BlockLoad::WrongSize:
      return path + " is not a settings block (it must be exactly 1016 bytes); starting from an empty one";
    case BlockLoad::Unreadable: return path + " cannot be read; starting from an empty settings block";
  }
  return "";
}

}  // namespace lmx::host
