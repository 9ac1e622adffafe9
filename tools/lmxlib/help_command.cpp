// lmxlib help build SRC -o FILE.HLP: writes the help file and its contents file (.CNT)
// from a directory of topic sources. lmxlib help dump FILE.HLP: lists what our reader
// finds in a help file.
#include <cstdio>
#include <filesystem>

#include "lmxlib/command.h"
#include "winhelp/help_source.h"
#include "winhelp/hlp_reader.h"
#include "winhelp/hlp_writer.h"

namespace lmxlib {
namespace {

constexpr const char* kUsage =
    "usage: lmxlib help build SRC -o FILE.HLP   (SRC: a directory of topic sources, *.md)\n"
    "       lmxlib help dump FILE.HLP\n";

std::string Hex8(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", v);
  return text;
}

// The .CNT beside the help file, its extension in the help file's case.
std::string ContentsPath(const std::string& hlp) {
  std::filesystem::path p = PathOf(hlp);
  const std::string ext = TextOf(p.extension());
  p.replace_extension(!ext.empty() && ext == ".hlp" ? ".cnt" : ".CNT");
  return TextOf(p);
}

int Build(const Args& args, std::ostream& out, std::ostream& err) {
  std::string src, dst;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) dst = args[++i];
    else if (src.empty() && !args[i].empty() && args[i][0] != '-') src = args[i];
    else {
      err << "lmxlib help build: unexpected argument \"" << args[i] << "\"\n" << kUsage;
      return kExitUsage;
    }
  }
  if (src.empty() || dst.empty()) {
    err << kUsage;
    return kExitUsage;
  }
  // -o X.CNT would write the help file, then the contents file over it.
  if (SameOutputFile(dst, ContentsPath(dst))) {
    err << "lmxlib help build: -o " << dst << ": its contents file " << ContentsPath(dst)
        << " would be the same file; name the help file FILE.HLP\n";
    return kExitUsage;
  }
  winhelp::HelpProject project;
  std::vector<uint8_t> bytes;
  std::string error;
  if (!winhelp::LoadHelpSources(src, &project, &error) || !winhelp::WriteHelpFile(project, &bytes, &error)) {
    err << "lmxlib help build: " << error << "\n";
    return kExitFindings;
  }
  const std::string cntPath = ContentsPath(dst);
  const std::string cnt = winhelp::ContentsFile(project, TextOf(PathOf(dst).filename()));
  for (const auto& [path, data] : {std::pair{dst, bytes}, std::pair{cntPath, std::vector<uint8_t>(cnt.begin(), cnt.end())}}) {
    if (!WriteFileBytes(path, data, &error)) {
      err << "lmxlib help build: cannot write " << path << ": " << error << "\n";
      return kExitFindings;
    }
  }
  size_t popups = 0;
  for (const winhelp::Topic& t : project.topics) popups += t.kind == winhelp::TopicKind::kPopup;
  out << "wrote " << dst << ": " << project.topics.size() << " topics (" << popups << " popups), " << bytes.size()
      << " bytes\nwrote " << cntPath << "\n";
  return kExitOk;
}

int Dump(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    err << kUsage;
    return kExitUsage;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(args[0], &bytes, &error)) {
    err << "lmxlib help dump: " << args[0] << ": cannot read: " << error << "\n";
    return kExitFindings;
  }
  winhelp::HelpFile file;
  if (!winhelp::ReadHelpFile(bytes, &file, &error)) {
    err << "lmxlib help dump: " << args[0] << ": " << error << "\n";
    return kExitFindings;
  }
  auto titleAt = [&](uint32_t offset) {
    const winhelp::ReadTopic* t = file.TopicAt(offset);
    return t ? "\"" + t->title + "\"" : std::string("(no topic)");
  };
  out << args[0] << ": WinHelp 3.1 file (version 1." << file.minorVersion << "), " << file.fileSize << " bytes\n"
      << "title: \"" << file.title << "\"\n";
  if (!file.copyright.empty()) out << "copyright: \"" << file.copyright << "\"\n";
  if (!file.mainCaption.empty()) out << "window main: \"" << file.mainCaption << "\"\n";
  out << "contents: " << Hex8(file.contentsOffset) << " " << titleAt(file.contentsOffset) << "\n"
      << "fonts: " << file.fontCount << "\n"
      << "internal files:\n";
  for (const winhelp::InternalFileEntry& f : file.files)
    out << "  " << f.name << " at " << Hex8(f.offset) << ", " << f.size << " bytes\n";
  out << "topics: " << file.topics.size() << "\n";
  for (const winhelp::ReadTopic& t : file.topics) {
    out << "  topic " << t.number << " at " << Hex8(t.offset) << ": \"" << t.title << "\"\n";
    for (const std::string& p : t.paragraphs) out << "    | " << p << "\n";
    for (int32_t link : t.links) out << "    link to " << Hex8(uint32_t(link)) << "\n";
  }
  out << "contexts: " << file.contexts.size() << "\n";
  for (const winhelp::ReadContext& c : file.contexts)
    out << "  hash " << Hex8(uint32_t(c.hash)) << " -> " << Hex8(c.offset) << " " << titleAt(c.offset) << "\n";
  out << "map: " << file.map.size() << "\n";
  for (const winhelp::ReadMapEntry& m : file.map)
    out << "  " << m.number << " -> " << Hex8(m.offset) << " " << titleAt(m.offset) << "\n";
  out << "titles: " << file.titles.size() << "\n";
  for (const winhelp::ReadTitle& t : file.titles) out << "  " << Hex8(t.offset) << " \"" << t.title << "\"\n";
  return kExitOk;
}

}  // namespace

int RunHelp(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {  // "lmxlib help" alone lists every command, as it always did
    for (const Command& c : Commands()) out << "  lmxlib " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
    return kExitOk;
  }
  if (args[0] == "build") return Build(Args(args.begin() + 1, args.end()), out, err);
  if (args[0] == "dump") return Dump(Args(args.begin() + 1, args.end()), out, err);
  err << "lmxlib help: unknown subcommand \"" << args[0] << "\"\n" << kUsage;
  return kExitUsage;
}

}  // namespace lmxlib
