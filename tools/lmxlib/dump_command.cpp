// lmxlib dump FILE [--json]
#include <cstdio>

#include "lmxlib/command.h"
#include "lmxlib/examine.h"

namespace lmxlib {
namespace {

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

}  // namespace

int RunDump(const Args& args, std::ostream& out, std::ostream& err) {
  std::string path, kind;
  bool json = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") json = true;
    else if (args[i] == "--kind" && i + 1 < args.size()) kind = args[++i];
    else if (path.empty() && !args[i].empty() && args[i][0] != '-') path = args[i];
    else {
      err << "lmxlib dump: unexpected argument \"" << args[i] << "\"\n";
      return kExitUsage;
    }
  }
  if (path.empty()) {
    err << "usage: lmxlib dump FILE [--json] [--kind effect|organization|texture|defaults|bitmap|engine list]\n";
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
  if (json) {
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
