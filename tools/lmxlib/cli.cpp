#include "lmxlib/cli.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "library/effect_record.h"
#include "lmxlib/command.h"
#include "lmxlib/organization_format.h"
#include "lmxlib/other_formats.h"
#include "lmxlib/record_walk.h"
#include "lmxlib/texture_format.h"

namespace lmxlib {

namespace {

const OptionInfo* FindOption(const CommandInfo& info, const std::string& word) {
  for (const OptionInfo& o : info.options)
    if (word == o.name || (o.shortName && word == o.shortName)) return &o;
  return nullptr;
}

}  // namespace

bool ParsedArgs::Has(const std::string& name) const {
  for (const auto& o : options)
    if (o.first == name) return true;
  return false;
}

std::string ParsedArgs::Get(const std::string& name, const std::string& fallback) const {
  std::string value = fallback;
  for (const auto& o : options)
    if (o.first == name) value = o.second;
  return value;
}

std::vector<std::string> ParsedArgs::All(const std::string& name) const {
  std::vector<std::string> values;
  for (const auto& o : options)
    if (o.first == name) values.push_back(o.second);
  return values;
}

std::string UsageLine(const CommandInfo& info) {
  std::string line = std::string("lmxlib ") + info.name;
  if (info.operands && *info.operands) line += std::string(" ") + info.operands;
  for (const OptionInfo& o : info.options) {
    std::string word = o.shortName ? o.shortName : o.name;
    if (o.value) word += std::string(" ") + o.value;
    // Options without which the command cannot run are shown bare.
    line += std::string(" ") + (o.use == Use::Required ? word : "[" + word + "]");
    if (o.use == Use::Repeatable) line += "...";
  }
  return line;
}

void PrintHelp(const CommandInfo& info, std::ostream& out) {
  out << "usage: " << UsageLine(info) << "\n\n" << info.summary << "\n";
  out << "\noptions:\n";
  for (const OptionInfo& o : info.options) {
    std::string words = o.shortName ? std::string(o.shortName) + ", " + o.name : std::string(o.name);
    if (o.value) words += std::string(" ") + o.value;
    out << "  " << words << std::string(words.size() < 24 ? 24 - words.size() : 1, ' ') << o.help << "\n";
  }
  out << "  -h, --help" << std::string(14, ' ') << "show this help and exit\n";
  if (info.details) out << "\n" << info.details;
}

int ParseCommandLine(const CommandInfo& info, const std::vector<std::string>& args, ParsedArgs* parsed,
                     std::ostream& out, std::ostream& err) {
  const std::string who = std::string("lmxlib ") + info.name + ": ";
  bool faulty = false;
  bool optionsEnd = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnd && (a == "-h" || a == "--help")) {
      PrintHelp(info, out);
      return kExitOk;
    }
    if (!optionsEnd && a == "--") {
      optionsEnd = true;
      continue;
    }
    if (optionsEnd || a.empty() || a[0] != '-' || a == "-") {
      parsed->operands.push_back(a);
      continue;
    }
    const size_t eq = a.find('=');
    const std::string word = a.compare(0, 2, "--") == 0 && eq != std::string::npos ? a.substr(0, eq) : a;
    const OptionInfo* o = FindOption(info, word);
    if (!o) {
      err << who << "unknown option \"" << word << "\"\n";
      faulty = true;
      continue;
    }
    std::string value;
    if (o->value) {
      if (word.size() < a.size()) {
        value = a.substr(eq + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        err << who << o->name << " needs a value (" << o->value << ")\n";
        faulty = true;
        continue;
      }
    } else if (word.size() < a.size()) {
      err << who << o->name << " takes no value\n";
      faulty = true;
      continue;
    }
    if (o->use != Use::Repeatable && o->value && parsed->Has(o->name) && parsed->Get(o->name) != value) {
      err << who << o->name << " is given twice (\"" << parsed->Get(o->name) << "\" and \"" << value << "\")\n";
      faulty = true;
      continue;
    }
    parsed->options.emplace_back(o->name, value);
  }
  if (parsed->operands.size() > info.maxOperands) {
    for (size_t i = info.maxOperands; i < parsed->operands.size(); ++i)
      err << who << "unexpected argument \"" << parsed->operands[i] << "\"\n";
    faulty = true;
  }
  for (const OptionInfo& o : info.options)
    if (o.use == Use::Required && !parsed->Has(o.name)) {
      err << who << (o.shortName ? o.shortName : o.name) << " " << o.value << " is needed\n";
      faulty = true;
    }
  if (parsed->operands.size() < info.minOperands) {
    err << who << "missing " << info.operands << "\n";
    faulty = true;
  }
  if (!faulty) return -1;
  err << "usage: " << UsageLine(info) << "\n(lmxlib " << info.name << " --help lists every option)\n";
  return kExitUsage;
}

bool ParseWhole(const std::string& text, long minimum, long maximum, long* value) {
  if (text.empty() || text.size() > 12) return false;
  size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
  if (i == text.size()) return false;
  for (size_t k = i; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return false;
  errno = 0;
  const long v = std::strtol(text.c_str(), nullptr, 10);
  if (errno != 0 || v < minimum || v > maximum) return false;
  *value = v;
  return true;
}

bool ErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

void PrintVersion(std::ostream& out) {
  out << "lmxlib " << kToolVersion << "\n"
      << "file formats (the library files carry no version besides their header value):\n"
      << "  effect (.LMI)        chunked, header " << TagName(lmx::kEffectHeader) << "\n"
      << "  organization (.ORG)  chunked, header " << TagName(kOrganizationHeader) << "\n"
      << "  texture (.LMT)       chunked, header " << TagName(kTextureHeader) << ", 32-bit BGRA rows bottom-up\n"
      << "  icon, picture (.BMP) Windows bitmap, 40- or 12-byte header, 24 or 32 bits per pixel\n"
      << "  defaults (.LRI)      one settings block of " << kDefaultsSize << " bytes\n"
      << "  engine list (.LST)   lines \"IDENTIFIER description\", each ending with a line feed\n"
      << "  texts in files       Windows-1252 (the ANSI code page of the library's readers)\n";
}

}  // namespace lmxlib
