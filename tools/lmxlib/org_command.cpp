// lmxlib org add|remove|list: an organization file edited in place (with a safe write),
// so that an author never writes its source by hand.
#include <filesystem>

#include "lmxlib/cli.h"
#include "lmxlib/command.h"
#include "lmxlib/examine.h"
#include "lmxlib/organization_format.h"

namespace lmxlib {
namespace {

namespace fs = std::filesystem;

const CommandInfo kAdd = {
    "org add", "ORG GROUP EFFECT",
    "Adds the effect EFFECT (its short name) at the end of the group GROUP of the organization file ORG\n"
    "(ORGS/NAME.ORG). A group that does not exist is added after the others; a missing file is created.",
    3, 3, {}, nullptr};
const CommandInfo kRemove = {
    "org remove", "ORG GROUP EFFECT",
    "Removes the effect EFFECT from the group GROUP of ORG; a group left empty is removed with it.", 3, 3, {},
    nullptr};
const CommandInfo kList = {"org list", "ORG", "Lists the groups of ORG and their effects, in the FX page's order.",
                           1, 1, {}, nullptr};

// The organization's source form; false (with the reasons on err) when the file cannot
// be read or has problems an edit would silently carry on or drop.
bool ReadOrganization(const std::string& path, bool mayBeMissing, Json* source, std::ostream& err) {
  std::error_code ec;
  if (mayBeMissing && !fs::exists(PathOf(path), ec)) {
    *source = Json{{"groups", Json::array()}};
    return true;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(path, &bytes, &error)) {
    err << "lmxlib org: cannot read " << path << ": " << error << "\n";
    return false;
  }
  const Report rep = Inspect("organization", bytes);
  if (!rep.readable || !rep.problems.empty()) {
    for (const std::string& p : rep.problems) err << "lmxlib org: " << path << ": " << p << "\n";
    err << "lmxlib org: " << path << " is left as it is; mend it first (lmxlib dump " << path << ")\n";
    return false;
  }
  *source = rep.content;
  return true;
}

Json* FindGroup(Json& source, const std::string& name) {
  for (Json& g : source["groups"])
    if (g["name"] == name) return &g;
  return nullptr;
}

std::string GroupNames(const Json& source) {
  std::string names;
  for (const Json& g : source["groups"]) names += (names.empty() ? "" : ", ") + Quote(g["name"].get<std::string>());
  return names.empty() ? "none" : names;
}

int Edit(bool add, const ParsedArgs& a, std::ostream& out, std::ostream& err) {
  const std::string path = a.operands[0], group = a.operands[1], effect = a.operands[2];
  Json source;
  if (!ReadOrganization(path, add, &source, err)) return kExitFindings;
  Json* g = FindGroup(source, group);
  std::string done;
  if (add) {
    if (!g) {
      source["groups"].push_back({{"name", group}, {"effects", Json::array()}});
      g = &source["groups"].back();
    }
    for (const Json& e : (*g)["effects"])
      if (e == effect) {
        err << "lmxlib org: " << path << ": group " << Quote(group) << " already lists " << effect << "\n";
        return kExitFindings;
      }
    (*g)["effects"].push_back(effect);
    done = "added " + effect + " to group " + Quote(group);
  } else {
    if (!g) {
      err << "lmxlib org: " << path << ": no group " << Quote(group) << " (groups: " << GroupNames(source) << ")\n";
      return kExitFindings;
    }
    Json& effects = (*g)["effects"];
    size_t i = 0;
    while (i < effects.size() && effects[i] != effect) ++i;
    if (i == effects.size()) {
      err << "lmxlib org: " << path << ": group " << Quote(group) << " does not list " << effect << "\n";
      return kExitFindings;
    }
    effects.erase(i);
    done = "removed " + effect + " from group " + Quote(group);
    if (effects.empty()) {
      Json& groups = source["groups"];
      for (size_t k = 0; k < groups.size(); ++k)
        if (groups[k]["name"] == group) {
          groups.erase(k);
          break;
        }
      done += ", and the group, now empty";
    }
  }
  std::vector<uint8_t> bytes;
  try {
    bytes = EncodeOrganization(ParseOrganization(source));
  } catch (const SourceError& e) {
    err << "lmxlib org: " << e.what() << "\n";
    return kExitFindings;
  }
  std::string error;
  if (!WriteFileBytes(path, bytes, &error)) {
    err << "lmxlib org: cannot write " << path << ": " << error << "\n";
    return kExitFindings;
  }
  out << path << ": " << done << "\n";
  std::error_code ec;
  const fs::path effectFile = PathOf(path).parent_path().parent_path() / "EFFECTS" / PathOf(effect + ".LMI");
  if (add && !fs::exists(effectFile, ec))
    err << "lmxlib org: note: " << TextOf(effectFile) << " does not exist (yet); the FX page shows an empty button\n";
  return kExitOk;
}

int List(const ParsedArgs& a, std::ostream& out, std::ostream& err) {
  Json source;
  if (!ReadOrganization(a.operands[0], false, &source, err)) return kExitFindings;
  for (const Json& g : source["groups"]) {
    out << g["name"].get<std::string>() << "\n";
    for (const Json& e : g["effects"]) out << "  " << e.get<std::string>() << "\n";
  }
  return kExitOk;
}

}  // namespace

int RunOrg(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string action = args.empty() ? "" : args[0];
  const CommandInfo* info = action == "add" ? &kAdd : action == "remove" ? &kRemove : action == "list" ? &kList : nullptr;
  if (!info) {
    const bool help = action == "--help" || action == "-h";
    std::ostream& to = help ? out : err;
    if (!help) err << (action.empty() ? "lmxlib org: add, remove or list?\n" : "lmxlib org: unknown action \"" + action + "\"\n");
    to << "usage:\n";
    for (const CommandInfo* s : {&kAdd, &kRemove, &kList}) {
      std::string summary = s->summary;
      for (size_t at = summary.find('\n'); at != std::string::npos; at = summary.find('\n', at + 1))
        summary.insert(at + 1, "      ");
      to << "  " << UsageLine(*s) << "\n      " << summary << "\n";
    }
    return help ? kExitOk : kExitUsage;
  }
  ParsedArgs a;
  if (int status = ParseCommandLine(*info, Args(args.begin() + 1, args.end()), &a, out, err); status >= 0) return status;
  return info == &kList ? List(a, out, err) : Edit(info == &kAdd, a, out, err);
}

}  // namespace lmxlib
