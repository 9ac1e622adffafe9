// lmxlib check DIR: validates a whole installation and lists every problem with its
// path. Exit status 0 only when nothing is found.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>

#include "common/safe_write.h"
#include "lmxlib/check.h"
#include "lmxlib/cli.h"
#include "lmxlib/command.h"
#include "lmxlib/effect_format.h"
#include "lmxlib/examine.h"
#include "winhelp/help_coverage.h"

namespace lmxlib {
namespace fs = std::filesystem;

namespace {

struct Checker {
  fs::path root;
  std::vector<Finding> findings;
  std::set<std::string> iconsChecked;
  std::set<std::string> listed;  // upper-cased entry names of every organization

  void Add(const fs::path& path, const std::string& message) { findings.push_back({TextOf(path), message}); }

  // Reads and inspects one file; every problem of the report becomes a finding.
  bool File(const fs::path& path, const std::string& kind, Report* out = nullptr) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
      Add(path, "missing");
      return false;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(TextOf(path), &bytes, &error)) {
      Add(path, "cannot read: " + error);
      return false;
    }
    Report rep = Inspect(kind, bytes);
    for (const std::string& p : rep.problems) Add(path, p);
    if (out) *out = std::move(rep);
    return rep.readable;
  }

  void Directories() {
    for (const char* d : {"HELP", "LIBS", "ORGS", "EFFECTS", "TEXTURES", "Work"}) {
      std::error_code ec;
      if (!fs::is_directory(root / d, ec)) Add(root / d, "missing directory");
    }
  }

  void Icon(const std::string& name) {
    if (!iconsChecked.insert(name).second) return;
    File(root / "EFFECTS" / (name + ".BMP"), "bitmap");
  }

  void Organizations() {
    std::error_code ec;
    if (!fs::is_regular_file(root / "ORGS" / "DEFAULT.ORG", ec))
      Add(root / "ORGS" / "DEFAULT.ORG", "missing: the organization every start falls back to");
    for (const fs::path& path : Listing(root / "ORGS")) {
      const std::string file = TextOf(path.filename());
      if (UpperExtension(file) != "ORG") continue;
      if (file.size() < 4 || file.compare(file.size() - 4, 4, ".ORG") != 0) {
        Add(path, "extension is not upper-case \".ORG\"; the Settings page lists it under a name that cannot be loaded");
        continue;
      }
      if (TextOf(path.stem()).size() > 8) Add(path, "organization name longer than 8 characters is ignored by the FX page");
      Report rep;
      File(path, "organization", &rep);
      if (!rep.content.contains("groups")) continue;
      for (const Json& g : rep.content["groups"]) {
        for (const Json& e : g["effects"]) {
          const std::string name = e.get<std::string>();
          try {
            CheckShortName(name, "group \"" + g["name"].get<std::string>() + "\": entry");
          } catch (const SourceError& bad) {
            Add(path, std::string(bad.what()) + "; the entry is not looked up");
            continue;
          }
          listed.insert(Upper(name));
          std::error_code ec2;
          if (!fs::is_regular_file(root / "EFFECTS" / PathOf(name + ".LMI"), ec2))
            Add(path, "group \"" + g["name"].get<std::string>() + "\": effect \"" + name + "\" has no effect file");
          Icon(name);
        }
      }
    }
  }

  void Effects() {
    for (const fs::path& path : Listing(root / "EFFECTS")) {
      if (UpperExtension(TextOf(path)) != "LMI") continue;
      Report rep;
      if (!File(path, "effect", &rep) && !rep.content.contains("name")) continue;
      if (rep.content.contains("name") && rep.content["name"].get<std::string>() != TextOf(path.stem()))
        Add(path, "short name \"" + rep.content["name"].get<std::string>() + "\" differs from the file name");
    }
  }

  // Effects that no organization lists: the FX page never shows them.
  void Unlisted() {
    for (const fs::path& path : Listing(root / "EFFECTS"))
      if (UpperExtension(TextOf(path)) == "LMI" && !listed.count(Upper(TextOf(path.stem()))))
        Add(path, "no organization lists this effect, so the FX page never shows it (lmxlib org add)");
  }

  void Textures() {
    struct Quality {
      const char* prefix;
      uint32_t side;
    };
    std::set<std::string> previews;
    for (Quality q : {Quality{"PREVS_", 32}, Quality{"PREVM_", 64}, Quality{"PREVL_", 128}}) {
      for (int i = 1; i <= 20; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%s%02d.LMT", q.prefix, i);
        previews.insert(name);
        const fs::path path = root / "TEXTURES" / name;
        Report rep;
        if (!File(path, "texture", &rep) || !rep.content.contains("width")) continue;
        const auto w = rep.content["width"].get<uint32_t>(), h = rep.content["height"].get<uint32_t>();
        if (w != q.side || h != q.side)
          Add(path, "preview texture of " + std::to_string(w) + " x " + std::to_string(h) + "; this quality needs " +
                        std::to_string(q.side) + " x " + std::to_string(q.side));
      }
    }
    for (const fs::path& path : Listing(root / "TEXTURES"))
      if (UpperExtension(TextOf(path)) == "LMT" && !previews.count(TextOf(path.filename()))) File(path, "texture");
  }

  void Rest() {
    File(root / "LIBS" / "LMX_ENG.LST", "engine list");
    File(root / "LMX.BMP", "bitmap");
    File(root / "CRVLOGO.BMP", "bitmap");
    std::error_code ec;
    if (fs::exists(root / "Work" / "Defaults.LRI", ec)) File(root / "Work" / "Defaults.LRI", "defaults");
  }

  // The help file: readable, a popup for every context of the module's help table.
  void Help() {
    const fs::path path = root / "HELP" / "LMXSlct.HLP";
    std::vector<uint8_t> bytes;
    std::string error;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) Add(path, "missing: help requests find no help file");
    else if (!ReadFileBytes(TextOf(path), &bytes, &error)) Add(path, "cannot read: " + error);
    else
      for (const std::string& p : winhelp::CheckHelpFile(bytes)) Add(path, p);
  }

  // What a write that never finished (a crash, a power cut) left beside its target.
  void Leftovers() {
    for (const char* d : {"", "HELP", "LIBS", "ORGS", "EFFECTS", "TEXTURES", "Work"})
      for (const fs::path& path : Listing(root / d))
        if (TextOf(path.filename()).rfind(lmx::kWriteTemporaryPrefix, 0) == 0)
          Add(path, "left by a write that did not finish (a crash or a power cut); nothing reads it, delete it");
  }

  static std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
  }

  static std::vector<fs::path> Listing(const fs::path& dir) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_regular_file(ec)) out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
  }
};

}  // namespace

std::vector<Finding> CheckInstallation(const std::string& dir) {
  Checker c;
  c.root = PathOf(dir);
  c.Directories();
  c.Rest();
  c.Help();
  c.Organizations();
  c.Effects();
  c.Unlisted();
  c.Textures();
  c.Leftovers();
  return c.findings;
}

int RunCheck(const Args& args, std::ostream& out, std::ostream& err) {
  static const CommandInfo info = {
      "check", "DIR",
      "Validates an installation directory and lists every problem as \"path: message\". Exit status 0\n"
      "only when nothing is found.",
      1, 1, {}, nullptr};
  ParsedArgs a;
  if (int status = ParseCommandLine(info, args, &a, out, err); status >= 0) return status;
  const std::string dir = a.operands[0];
  std::error_code ec;
  if (!fs::is_directory(PathOf(dir), ec)) {
    err << "lmxlib check: " << dir << " is not a directory\n";
    return kExitUsage;
  }
  const std::vector<Finding> findings = CheckInstallation(dir);
  for (const Finding& f : findings) out << f.path << ": " << f.message << "\n";
  if (findings.empty()) {
    out << dir << ": installation complete, no problems found\n";
    return kExitOk;
  }
  out << findings.size() << " problem(s) found\n";
  return kExitFindings;
}

}  // namespace lmxlib
