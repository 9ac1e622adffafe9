#include "lmxlib/command.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace lmxlib {

const std::vector<Command>& Commands() {
  static const std::vector<Command> table = {
      {"build", "SRC -o FILE", "write an effect (.LMI), organization (.ORG) or texture (.LMT) from its source", RunBuild},
      {"dump", "FILE [--json]", "print any library file as text or JSON, and where a damaged one stops", RunDump},
      {"check", "DIR", "validate an installation directory and list every problem", RunCheck},
      {"preview", "EFFECT -o FILE.gif|FILE.png [--frames N] [--size S] [--settings FILE] [--set NAME=VALUE]...",
       "render an effect's preview through the engine into an animated GIF or a strip of frames", RunPreview},
      {"help", "build SRC -o FILE.HLP | dump FILE.HLP", "write the help file from its topic sources, or list one", RunHelp},
  };
  return table;
}

const Command* FindCommand(const std::string& name) {
  for (const Command& c : Commands())
    if (name == c.name) return &c;
  return nullptr;
}

int RunTool(const Args& argv, std::ostream& out, std::ostream& err) {
  const Command* command = argv.size() >= 2 ? FindCommand(argv[1]) : nullptr;
  if (!command) {
    if (argv.size() >= 2 && argv[1] != "help" && argv[1] != "--help") err << "lmxlib: unknown command \"" << argv[1] << "\"\n";
    err << "usage:\n";
    for (const Command& c : Commands()) err << "  lmxlib " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
    return argv.size() >= 2 && (argv[1] == "help" || argv[1] == "--help") ? kExitOk : kExitUsage;
  }
  return command->run(Args(argv.begin() + 2, argv.end()), out, err);
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    *error = "is a directory";
    return false;
  }
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
    *error = "read failed";
    return false;
  }
  return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    *error = std::strerror(errno);
    return false;
  }
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  out.close();
  if (!out) {
    *error = "write failed";
    return false;
  }
  return true;
}

std::string UpperExtension(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return "";
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace lmxlib
