// lmxlib kdenlive EFFECTS -o DIR: one Kdenlive composition per effect of an EFFECTS folder
// (lumorafx_<name>.xml), a file that hides the generic entries Kdenlive would build from
// MLT's description, and with --yaml the MLT descriptions of both services. Every
// parameter comes from the plugin's own table, the effect options from the effect files.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "../../frei0r/param_table.h"
#include "library/effect_record.h"
#include "lmxlib/ansi_text.h"
#include "lmxlib/cli.h"
#include "lmxlib/command.h"

namespace lmxlib {
namespace {

namespace fs = std::filesystem;
using lumorafx::kParams;
using lumorafx::ParamInfo;
using lumorafx::ParamType;

const CommandInfo kCommand = {
    "kdenlive",
    "EFFECTS",
    "Writes a Kdenlive composition for every effect file (.LMI) in EFFECTS: its long name and description,\n"
    "the effect fixed, the position animated from 0 to 1, the switches, factors and the effect's own options.",
    1,
    1,
    {{"--output", "-o", "DIR", "the folder of the compositions (made when missing)", Use::Required},
     {"--service", nullptr, "NAME", "the MLT service they use: lumorafx (the native one, default) or frei0r.lumorafx",
      Use::Optional},
     {"--yaml", nullptr, "DIR",
      "also write MLT's descriptions transition_lumorafx.yml and\n"
      "transition_frei0r.lumorafx.yml there",
      Use::Optional}},
    "Exit status 1 when an effect file is damaged or a file cannot be written.\n"};

struct Effect {
  std::string name;  // the file's short name, upper case
  lmx::EffectRecord record;
};

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Number(double v) {
  std::ostringstream s;
  s.imbue(std::locale::classic());
  s << v;
  return s.str();
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

// One <parameter> of the plugin's own table.
void WriteParameter(const ParamInfo& p, std::ostream& x) {
  const std::string name = p.name;
  if (p.type == ParamType::Bool) {
    x << "  <parameter type=\"bool\" name=\"" << name << "\" default=\"" << Number(p.defaultValue) << "\">\n";
  } else if (name == "position") {
    x << "  <parameter type=\"animated\" name=\"position\" min=\"0\" max=\"" << Number(p.factor)
      << "\" default=\"0=0;%out=1\" factor=\"" << Number(p.factor) << "\" suffix=\"" << p.unit << "\">\n";
  } else {
    // A shown value: the default too is value x factor.
    x << "  <parameter type=\"constant\" name=\"" << name << "\" min=\"0\" max=\"" << Number(p.factor)
      << "\" default=\"" << Number(p.defaultValue * p.factor) << "\" factor=\"" << Number(p.factor) << "\" suffix=\""
      << Escaped(std::string(" ") + p.unit) << "\" decimals=\"0\">\n";
  }
  x << "    <name>" << Escaped(p.title) << "</name>\n    <comment>" << Escaped(p.explanation) << "</comment>\n";
  x << "  </parameter>\n";
}

// Option i of the effect through the plugin's option slot: values 0..1 across its span.
void WriteOption(const lmx::EffectOption& o, int slot, std::ostream& x) {
  const lumorafx::OptionSpan span = lumorafx::SpanOf(o);
  const double width = span.high - span.low;
  const double unit = width > 0 ? (o.defaultValue - span.low) / width : 0;
  const std::string label = FromAnsi(std::string(o.label, strnlen(o.label, sizeof o.label)));
  const std::string name = kParams[lumorafx::kOption1 + slot].name;
  if (o.kind == 1) {
    x << "  <parameter type=\"bool\" name=\"" << name << "\" default=\"" << Number(unit) << "\">\n";
  } else if (o.kind == 3) {
    const std::vector<std::string> choices =
        Split(FromAnsi(std::string(o.choices, strnlen(o.choices, sizeof o.choices))), ',');
    std::string values;
    for (size_t i = 0; i < choices.size(); ++i) values += (i ? ";" : "") + Number(width > 0 ? i / width : 0);
    x << "  <parameter type=\"list\" name=\"" << name << "\" default=\"" << Number(unit) << "\" paramlist=\"" << values
      << "\">\n";
    std::string shown;
    for (size_t i = 0; i < choices.size(); ++i) shown += (i ? "," : "") + choices[i];
    x << "    <paramlistdisplay>" << Escaped(shown) << "</paramlistdisplay>\n";
  } else {
    x << "  <parameter type=\"constant\" name=\"" << name << "\" min=\"" << Number(span.low) << "\" max=\""
      << Number(span.high) << "\" default=\"" << Number(o.defaultValue) << "\" factor=\"" << Number(width)
      << "\" offset=\"" << Number(span.low) << "\" decimals=\"0\">\n";
  }
  x << "    <name>" << Escaped(label) << "</name>\n  </parameter>\n";
}

std::string Composition(const Effect& e, const std::string& service) {
  std::ostringstream x;
  const std::string id = "lumorafx_" + Lower(e.name);
  std::string longName = FromAnsi(e.record.longName()), description = FromAnsi(e.record.description());
  if (longName.empty()) longName = e.name;
  x << "<?xml version=\"1.0\"?>\n<!DOCTYPE kpartgui>\n";
  x << "<transition tag=\"" << service << "\" id=\"" << id << "\" type=\"short\">\n";
  x << "  <name>" << Escaped(longName) << "</name>\n";
  x << "  <description>" << Escaped(description) << "</description>\n  <author>Lumora FX</author>\n";
  x << "  <parameter type=\"fixed\" name=\"library\" value=\"\" default=\"\"/>\n";
  x << "  <parameter type=\"fixed\" name=\"effect\" value=\"" << e.name << "\" default=\"" << e.name << "\"/>\n";
  for (int i = lumorafx::kPosition; i < lumorafx::kOption1; ++i) WriteParameter(kParams[i], x);
  const uint32_t options = std::min<uint32_t>(e.record.optionCount(), lumorafx::kOptionSlots);
  for (uint32_t i = 0; i < options; ++i) WriteOption(e.record.option(i), static_cast<int>(i), x);
  x << "</transition>\n";
  return x.str();
}

// The generic entries Kdenlive builds from MLT's descriptions, hidden: they cannot name an
// effect, and the compositions above stand for them.
std::string HiddenEntries() {
  std::ostringstream x;
  x << "<?xml version=\"1.0\"?>\n<!DOCTYPE kpartgui>\n<transitions>\n";
  for (const char* tag : {"frei0r.lumorafx", "lumorafx"})
    x << "  <transition tag=\"" << tag << "\" id=\"" << tag << "\" type=\"hidden\">\n    <name>Lumora FX</name>\n"
      << "  </transition>\n";
  x << "</transitions>\n";
  return x.str();
}

// MLT's description of one service, in its YAML metadata schema.
std::string Yaml(const std::string& identifier, const std::vector<Effect>& effects) {
  std::ostringstream y;
  y << "schema_version: 0.3\ntype: transition\nidentifier: " << identifier << "\ntitle: Lumora FX\nversion: 1\n"
    << "creator: Lumora FX\nlanguage: en\ntags:\n  - Video\n"
    << "description: >\n  3-D transitions from a Lumora FX effect library: the clips become pieces that fly, turn and "
       "fold.\n"
    << "parameters:\n";
  for (const ParamInfo& p : kParams) {
    const std::string name = p.name;
    y << "  - identifier: " << name << "\n    title: " << p.title << "\n    description: >\n      " << p.explanation;
    if (p.factor > 0) y << " (shown x " << Number(p.factor) << " in " << p.unit << ")";
    y << "\n    mutable: yes\n";
    if (p.type == ParamType::String) {
      y << "    type: string\n";
      if (name == "effect") {
        y << "    default: " << lumorafx::kDefaultEffect << "\n    values:\n";
        for (const Effect& e : effects) y << "      - " << e.name << "\n";
      } else {
        y << "    default: ''\n";
      }
      continue;
    }
    y << "    type: " << (p.type == ParamType::Bool ? "boolean" : "float") << "\n";
    y << "    minimum: " << (name.rfind("option", 0) == 0 ? "-1" : "0") << "\n    maximum: 1\n";
    y << "    default: " << Number(p.defaultValue) << "\n";
    if (p.factor > 0) y << "    unit: " << p.unit << " / " << Number(p.factor) << "\n";
    if (p.type == ParamType::Double) y << "    animation: yes\n";
  }
  return y.str();
}

bool Write(const fs::path& path, const std::string& text, std::ostream& err) {
  std::string error;
  if (WriteFileBytes(path.string(), std::vector<uint8_t>(text.begin(), text.end()), &error)) return true;
  err << "lmxlib kdenlive: cannot write " << path.string() << ": " << error << "\n";
  return false;
}

}  // namespace

int RunKdenlive(const Args& args, std::ostream& out, std::ostream& err) {
  ParsedArgs a;
  if (int status = ParseCommandLine(kCommand, args, &a, out, err); status >= 0) return status;
  const std::string service = a.Get("--service", "lumorafx");
  if (service != "lumorafx" && service != "frei0r.lumorafx") {
    err << "lmxlib kdenlive: --service \"" << service << "\": lumorafx or frei0r.lumorafx\n";
    return kExitUsage;
  }
  std::error_code ec;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(a.operands[0], ec))
    if (entry.is_regular_file() && Lower(entry.path().extension().string()) == ".lmi") files.push_back(entry.path());
  if (ec) {
    err << "lmxlib kdenlive: " << a.operands[0] << ": " << ec.message() << "\n";
    return kExitUsage;
  }
  std::sort(files.begin(), files.end());
  int status = kExitOk;
  std::vector<Effect> effects;
  for (const fs::path& file : files) {
    Effect e;
    e.name = file.stem().string();
    std::transform(e.name.begin(), e.name.end(), e.name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (e.record.ReadEffectFile(file.string().c_str()) != 0) {
      err << "lmxlib kdenlive: " << file.string() << ": damaged effect file; left out\n";
      status = kExitFindings;
      continue;
    }
    effects.push_back(std::move(e));
  }
  const fs::path dir = a.Get("--output");
  fs::create_directories(dir, ec);
  bool ok = Write(dir / "lumorafx_hidden.xml", HiddenEntries(), err);
  for (const Effect& e : effects)
    ok = Write(dir / ("lumorafx_" + Lower(e.name) + ".xml"), Composition(e, service), err) && ok;
  if (a.Has("--yaml")) {
    const fs::path yaml = a.Get("--yaml");
    fs::create_directories(yaml, ec);
    ok = Write(yaml / "transition_lumorafx.yml", Yaml("lumorafx", effects), err) && ok;
    ok = Write(yaml / "transition_frei0r.lumorafx.yml", Yaml("frei0r.lumorafx", effects), err) && ok;
  }
  out << dir.string() << ": " << effects.size() << " composition" << (effects.size() == 1 ? "" : "s") << " for "
      << service << "\n";
  return ok ? status : kExitFindings;
}

}  // namespace lmxlib
