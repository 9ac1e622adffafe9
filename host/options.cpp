#include "options.h"

#include <cctype>
#include <climits>
#include <cstdlib>

namespace lmx::host {
namespace {

bool ParseWhole(const std::string& text, int max, int* value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  long v = std::strtol(text.c_str(), nullptr, 10);
  if (v > max) return false;
  *value = static_cast<int>(v);
  return true;
}

// "WxH", each side a whole number from 1 to kMaxFrameSide.
bool ParseSize(const std::string& text, int* width, int* height) {
  const size_t x = text.find('x');
  return x != std::string::npos && ParseWhole(text.substr(0, x), kMaxFrameSide, width) && *width > 0 &&
         ParseWhole(text.substr(x + 1), kMaxFrameSide, height) && *height > 0;
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    std::string item = PageKey(list.substr(start, comma - start));
    if (!item.empty()) items.push_back(item);
    start = comma + 1;
  }
  return items;
}

}  // namespace

bool ParsePick(const std::string& text, Pick* pick) {
  size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  Pick p;
  // 16 buttons per group; the group list is the organization's and has no fixed bound.
  if (!ParseWhole(text.substr(0, colon), 9999, &p.group)) return false;
  if (!ParseWhole(text.substr(colon + 1), 15, &p.index)) return false;
  *pick = p;
  return true;
}

std::string PageKey(const std::string& title) {
  size_t first = title.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  size_t last = title.find_last_not_of(" \t");
  std::string key = title.substr(first, last - first + 1);
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

bool ParseCommandLine(const std::vector<std::string>& args, HostOptions* options, std::string* error) {
  HostOptions o;
  bool commandSeen = false;
  auto setCommand = [&](Command c) {
    if (commandSeen) {
      *error = "only one command at a time";
      return false;
    }
    commandSeen = true;
    o.command = c;
    return true;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *error = a + " needs a value";
        return false;
      }
      *out = args[++i];
      return true;
    };
    std::string v;
    if (a == "select") {
      if (!setCommand(Command::Select)) return false;
    } else if (a == "about") {
      if (!setCommand(Command::About)) return false;
    } else if (a == "info") {
      if (!setCommand(Command::Info)) return false;
      if (!value(&o.infoName)) {
        *error = "info needs an effect name";
        return false;
      }
    } else if (a == "render") {
      if (!setCommand(Command::Render)) return false;
    } else if (o.command == Command::Render && a[0] != '-' && o.clips.size() < 2) {
      o.clips.push_back(a);
    } else if (a == "--size") {
      if (!value(&v)) return false;
      if (!ParseSize(v, &o.width, &o.height)) {
        *error = "--size wants WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxFrameSide) + " pixels, not \"" +
                 v + "\"";
        return false;
      }
    } else if (a == "--frames") {
      if (!value(&v)) return false;
      if (!ParseWhole(v, kMaxRenderFrames, &o.frames) || o.frames == 0) {
        *error = "--frames wants a count from 1 to " + std::to_string(kMaxRenderFrames) + ", not \"" + v + "\"";
        return false;
      }
    } else if (a == "-o") {
      if (!value(&o.outputDir)) return false;
    } else if (a == "--help" || a == "-h" || a == "/?") {
      if (!setCommand(Command::Help)) return false;
    } else if (a == "--filter") {
      o.filterMode = true;
    } else if (a == "--block") {
      if (!value(&o.blockPath)) return false;
    } else if (a == "--dll") {
      if (!value(&o.dllPath)) return false;
    } else if (a == "--autopilot") {
      if (!setCommand(Command::Autopilot) || !value(&o.autopilotDir)) return false;
    } else if (a == "--pick") {
      Pick p;
      if (!value(&v)) return false;
      if (!ParsePick(v, &p)) {
        *error = "--pick wants GROUP:INDEX (index 0 to 15), not \"" + v + "\"";
        return false;
      }
      o.picks.push_back(p);
      o.picksGiven = true;
    } else if (a == "--pages") {
      if (!value(&v)) return false;
      o.pages = SplitList(v);
      if (o.pages.empty()) {
        *error = "--pages wants a comma-separated list of tab titles";
        return false;
      }
    } else if (a == "--timeout") {
      if (!value(&v)) return false;
      if (!ParseWhole(v, 3600, &o.timeoutSeconds) || o.timeoutSeconds == 0) {
        *error = "--timeout wants seconds from 1 to 3600";
        return false;
      }
    } else {
      *error = "unknown argument \"" + a + "\"";
      return false;
    }
  }
  const bool renderValues = o.frames > 0 || o.width > 0 || !o.outputDir.empty();
  if (o.command == Command::Render && (o.clips.size() != 2 || o.frames == 0 || o.width == 0 || o.outputDir.empty())) {
    *error = "render needs two pictures, --size, --frames and -o";
    return false;
  }
  if (renderValues && o.command != Command::Render) {
    *error = "--size, --frames and -o go with render";
    return false;
  }
  if ((o.picksGiven || !o.pages.empty()) && o.command != Command::Autopilot) {
    *error = "--pick and --pages go with --autopilot";
    return false;
  }
  if (o.filterMode && o.command != Command::Select && o.command != Command::Autopilot &&
      o.command != Command::Window) {
    *error = "--filter goes with select, --autopilot or the window";
    return false;
  }
  *options = o;
  return true;
}

const char* UsageText() {
  return "usage:\n"
         "  lmxhost [--filter] [--block FILE] [--dll FILE]   the host window\n"
         "  lmxhost select [--filter] [--block FILE]         open the selection sheet\n"
         "  lmxhost info NAME                                print one effect's EffectInfo\n"
         "  lmxhost about                                    show the about box\n"
         "  lmxhost render A.bmp B.bmp --size WxH --frames N -o DIR [--block FILE]\n"
         "                                                   render the chosen transition from\n"
         "                                                   clip A to clip B into DIR as BMPs\n"
         "  lmxhost --autopilot DIR [--filter] [--pick GROUP:INDEX]... [--pages LIST]\n"
         "          [--timeout SECONDS] [--block FILE]       drive the sheet and record it\n"
         "The settings block lives in lmxhost.lri beside the program unless --block names a file.\n";
}

}  // namespace lmx::host
