// lmxlib dump FILE [--json | --source] [--kind KIND]
#include <cstdio>

#include "lmxlib/cli.h"
#include "lmxlib/command.h"
#include "lmxlib/examine.h"

namespace lmxlib {
namespace {

constexpr const char* kKinds = "effect, organization, texture, defaults, bitmap, engine-list";

bool KnownKind(const std::string& kind) {
  for (const char* k : {"effect", "organization", "texture", "defaults", "bitmap", "engine list"})
    if (kind == k) return true;
  return false;
}

const CommandInfo kCommand = {
    "dump", "FILE",
    "Prints any library file record by record with offsets and meanings, its content as the readers\n"
    "see it, every problem, and where a damaged file stops being readable.",
    1, 1,
    {{"--json", nullptr, nullptr, "the same as one JSON document", Use::Optional},
     {"--source", nullptr, nullptr, "only the content of an effect or organization: the JSON source build takes back",
      Use::Optional},
     {"--kind", nullptr, "KIND", "read FILE as effect, organization, texture, defaults, bitmap or engine-list",
      Use::Optional}},
    "Exit status 0 when the file reads to its end (with --source: and has no problems), 1 otherwise.\n"};

void PrintText(const std::string& path, size_t size, const Report& rep, std::ostream& out) {
  out << path << ": " << rep.kind << " file, " << size << " bytes\n";
  if (!rep.lines.empty()) {
    out << "  offset  tag         length  meaning\n";
    for (const RecordLine& l : rep.lines) {
      char head[64];
      std::snprintf(head, sizeof head, "  %6zu  %-10s %7u  ", l.offset, TagName(l.tag).c_str(), l.length);
      out << head << l.text << "\n";
    }
  }
  if (!rep.content.empty()) {
    out << "content:\n";
    std::string pretty = Pretty(rep.content, 2);
    size_t start = 0;
    while (start < pretty.size()) {
      size_t end = pretty.find('\n', start);
      if (end == std::string::npos) end = pretty.size();
      out << "  " << pretty.substr(start, end - start) << "\n";
      start = end + 1;
    }
  }
  if (!rep.problems.empty()) {
    out << "problems:\n";
    for (const std::string& p : rep.problems) out << "  " << p << "\n";
  }
  out << (rep.readable ? "readable to the end\n" : rep.stop + "\n");
}

// The source that builds the file back, on its own: what build takes.
int PrintSource(const std::string& path, const Report& rep, std::ostream& out, std::ostream& err) {
  if (rep.kind != "effect" && rep.kind != "organization") {
    err << "lmxlib dump: " << path << " is a " << rep.kind
        << " file; only effects and organizations have a JSON source\n";
    return kExitUsage;
  }
  for (const std::string& p : rep.problems) err << "lmxlib dump: warning: " << path << ": " << p << "\n";
  out << Pretty(rep.content, 2) << "\n";
  return rep.readable && rep.problems.empty() ? kExitOk : kExitFindings;
}

}  // namespace

int RunDump(const Args& args, std::ostream& out, std::ostream& err) {
  ParsedArgs a;
  if (int status = ParseCommandLine(kCommand, args, &a, out, err); status >= 0) return status;
  const std::string path = a.operands[0];
  std::string kind = a.Get("--kind");
  if (kind == "engine-list") kind = "engine list";
  if (!kind.empty() && !KnownKind(kind)) {
    err << "lmxlib dump: unknown kind \"" << kind << "\" (" << kKinds << ")\n";
    return kExitUsage;
  }
  if (a.Has("--json") && a.Has("--source")) {
    err << "lmxlib dump: --json and --source exclude each other\n";
    return kExitUsage;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(path, &bytes, &error)) {
    err << "lmxlib dump: cannot read " << path << ": " << error << "\n";
    return kExitFindings;
  }
  if (kind.empty()) kind = GuessKind(path, bytes);
  if (kind.empty()) {
    err << "lmxlib dump: " << path << ": not a library file (neither its extension nor its first bytes tell the kind)\n";
    return kExitFindings;
  }
  const Report rep = Inspect(kind, bytes);
  if (a.Has("--source")) return PrintSource(path, rep, out, err);
  if (a.Has("--json")) {
    Json j;
    j["file"] = path;
    j["kind"] = rep.kind;
    j["size"] = bytes.size();
    j["records"] = Json::array();
    for (const RecordLine& l : rep.lines)
      j["records"].push_back({{"offset", l.offset}, {"tag", TagName(l.tag)}, {"length", l.length}, {"meaning", l.text}});
    j["content"] = rep.content;
    j["problems"] = rep.problems;
    j["readable"] = rep.readable;
    if (!rep.stop.empty()) j["stop"] = rep.stop;
    out << Pretty(j, 2) << "\n";
  } else {
    PrintText(path, bytes.size(), rep, out);
  }
  return rep.readable ? kExitOk : kExitFindings;
}

}  // namespace lmxlib
