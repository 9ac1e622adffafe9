#include "lmxlib/file_io.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/safe_write.h"

namespace lmxlib {

namespace fs = std::filesystem;

std::string WhyNotRegularFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status st = fs::status(PathOf(path), ec);
  if (ec || !fs::exists(st)) return ec && ec != std::errc::no_such_file_or_directory ? ec.message() : std::strerror(ENOENT);
  switch (st.type()) {
    case fs::file_type::regular: return "";
    case fs::file_type::directory: return "is a directory";
    case fs::file_type::fifo: return "is a FIFO, not a regular file";
    case fs::file_type::character:
    case fs::file_type::block: return "is a device, not a regular file";
    case fs::file_type::socket: return "is a socket, not a regular file";
    default: return "is not a regular file";
  }
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  // Checked before opening: opening a FIFO alone waits for a writer.
  *error = WhyNotRegularFile(path);
  if (!error->empty()) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = std::strerror(errno);
    return false;
  }
  // One read of the whole file; a file that changes meanwhile gives what was read.
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0) {
    *error = "cannot tell its size";
    return false;
  }
  bytes->resize(size_t(size));
  in.read(reinterpret_cast<char*>(bytes->data()), size);
  bytes->resize(size_t(in.gcount()));
  if (in.bad()) {
    *error = std::strerror(errno);
    return false;
  }
  return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  std::error_code ec;
  const fs::file_status st = fs::status(PathOf(path), ec);
  if (!ec && fs::exists(st) && st.type() != fs::file_type::regular) {
    *error = WhyNotRegularFile(path);
    return false;
  }
  return lmx::WriteFileSafely(path, bytes, error);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(PathOf(a), PathOf(b), ec) && !ec;
}

bool SameOutputFile(const std::string& a, const std::string& b) {
  if (SameFile(a, b)) return true;
  auto key = [](const std::string& path) {
    const fs::path target = PathOf(lmx::WriteTarget(path));
    std::error_code ec;
    const fs::path full = fs::absolute(target, ec);
    std::string name = TextOf((ec ? target : full).lexically_normal());
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    for (char& c : name) c = char(std::toupper(static_cast<unsigned char>(c)));
    return name;
  };
  return key(a) == key(b);
}

std::string UpperExtension(const std::string& path) {
  const std::string name = TextOf(PathOf(path).filename());
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return "";
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

fs::path PathOf(const std::string& utf8) { return fs::u8path(utf8); }

std::string TextOf(const fs::path& path) { return path.u8string(); }

}  // namespace lmxlib
