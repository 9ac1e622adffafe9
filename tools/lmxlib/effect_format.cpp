#include "lmxlib/effect_format.h"

#include <cmath>
#include <cstring>

#include "common/chunk_writer.h"
#include "lmxlib/ansi_text.h"
#include "library/bytes.h"
#include "motion_kinds.h"

namespace lmxlib {
namespace {

using lmx::FourCC;

struct OptionKindName {
  uint32_t kind;
  const char* name;
};
constexpr OptionKindName kOptionKinds[] = {{0, "slider"}, {1, "checkbox"}, {3, "list"}};

uint32_t ParseMotionKind(const Json& v, const std::string& where) {
  if (v.is_string()) {
    for (const auto& k : lmx::kMotionKinds)
      if (v.get<std::string>() == k.name) return uint32_t(k.kind);
    throw SourceError(where + ": unknown motion kind \"" + v.get<std::string>() + "\"");
  }
  if (v.is_number_integer() && v.get<int64_t>() >= 0 && v.get<int64_t>() <= 0xFFFFFFFF) return uint32_t(v.get<int64_t>());
  throw SourceError(where + ": expected a motion kind name or a number");
}

uint16_t ParseOptionTag(const Json& v, const std::string& where) {
  if (v.is_string()) {
    for (const auto& t : lmx::kOptionTags)
      if (v.get<std::string>() == t.name) return uint16_t(t.tag);
    throw SourceError(where + ": unknown option tag \"" + v.get<std::string>() + "\"");
  }
  if (v.is_number_integer() && v.get<int64_t>() >= 0 && v.get<int64_t>() <= 0xFFFF) return uint16_t(v.get<int64_t>());
  throw SourceError(where + ": expected a tag name or a number from 0 to 65535");
}

uint32_t ParseOptionKind(const Json& v, const std::string& where) {
  if (v.is_string()) {
    for (const auto& k : kOptionKinds)
      if (v.get<std::string>() == k.name) return k.kind;
    throw SourceError(where + ": unknown option kind \"" + v.get<std::string>() + "\" (slider, checkbox, list)");
  }
  if (v.is_number_integer() && v.get<int64_t>() >= 0 && v.get<int64_t>() <= 0xFFFFFFFF) return uint32_t(v.get<int64_t>());
  throw SourceError(where + ": expected slider, checkbox, list or a number");
}

lmx::EffectOption ParseOption(const Json& o, const std::string& where) {
  AllowOnly(o, {"label", "kind", "choices", "default", "minimum", "maximum", "tag", "unused"}, where);
  lmx::EffectOption e{};
  std::string label = ToAnsi(GetText(o, "label", where, ""), where + ".label");
  if (label.empty() || label.size() >= sizeof e.label)
    throw SourceError(where + ".label: 1 to " + std::to_string(sizeof e.label - 1) + " characters");
  lmx::CopyFixed(e.label, sizeof e.label, label.c_str());
  if (!o.contains("kind")) throw SourceError(where + ".kind: missing (slider, checkbox or list)");
  e.kind = ParseOptionKind(o["kind"], where + ".kind");
  std::string choices;
  if (o.contains("choices") && o["choices"].is_array()) {
    for (size_t i = 0; i < o["choices"].size(); ++i) {
      const Json& c = o["choices"][i];
      const std::string at = where + ".choices[" + std::to_string(i) + "]";
      if (!c.is_string() || c.get<std::string>().empty() || c.get<std::string>().find(',') != std::string::npos)
        throw SourceError(at + ": a non-empty text without commas");
      choices += (i ? "," : "") + ToAnsi(c.get<std::string>(), at);
    }
  } else {
    choices = ToAnsi(GetText(o, "choices", where, ""), where + ".choices");
  }
  if (choices.size() >= sizeof e.choices)
    throw SourceError(where + ".choices: at most " + std::to_string(sizeof e.choices - 1) + " characters in all");
  lmx::CopyFixed(e.choices, sizeof e.choices, choices.c_str());
  e.defaultValue = GetFloat(o, "default", where, 0.0f);
  e.minimum = GetFloat(o, "minimum", where, 0.0f);
  e.maximum = GetFloat(o, "maximum", where, 0.0f);
  e.unused = uint16_t(GetU32(o, "unused", where, 0));
  if (!o.contains("tag")) throw SourceError(where + ".tag: missing");
  e.tag = ParseOptionTag(o["tag"], where + ".tag");
  switch (e.kind) {
    case 0:
      if (e.minimum > e.maximum) throw SourceError(where + ": minimum is above maximum");
      if (e.defaultValue < e.minimum || e.defaultValue > e.maximum)
        throw SourceError(where + ".default: outside minimum to maximum");
      break;
    case 1:
      if (e.defaultValue != 0.0f && e.defaultValue != 1.0f) throw SourceError(where + ".default: a check box is 0 or 1");
      break;
    case 3: {
      if (choices.empty()) throw SourceError(where + ".choices: a list needs its choices");
      size_t count = 1;
      for (char c : choices) count += c == ',';
      if (e.defaultValue < 0 || e.defaultValue >= float(count) || e.defaultValue != float(int(e.defaultValue)))
        throw SourceError(where + ".default: a list's default is the index of one of its " + std::to_string(count) +
                          " choices");
      break;
    }
    default: throw SourceError(where + ".kind: " + std::to_string(e.kind) + " is not a control kind (0, 1 or 3)");
  }
  return e;
}

std::string FixedText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

// A whole number as sources write it (4, not 4.0); -0 and fractions stay floats, so the
// source builds back to the same bytes.
Json NumberJson(float value) {
  const bool whole = std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e9f;
  if (whole && !(value == 0.0f && std::signbit(value))) return static_cast<int64_t>(value);
  return value;
}

}  // namespace

void CheckShortName(const std::string& name, const std::string& where) {
  // The characters first: a name with other characters is no file name at any length.
  for (char c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-'))
      throw SourceError(where + ": " + Quote(name) + " is not a short name (letters A-Z, digits, _ and - only)");
  if (name.empty() || name.size() > kMaxShortName)
    throw SourceError(where + ": a short name has 1 to 8 characters, not " + std::to_string(name.size()));
}

Json MotionKindJson(uint32_t kind) {
  for (const auto& k : lmx::kMotionKinds)
    if (uint32_t(k.kind) == kind) return k.name;
  return kind;
}

Json OptionTagJson(uint16_t tag) {
  for (const auto& t : lmx::kOptionTags)
    if (uint16_t(t.tag) == tag) return t.name;
  return tag;
}

Json OptionKindJson(uint32_t kind) {
  for (const auto& k : kOptionKinds)
    if (k.kind == kind) return k.name;
  return kind;
}

RawRecord ParseRawRecord(const Json& value, const std::string& where) {
  AllowOnly(value, {"tag", "hex", "offset"}, where);
  std::string tag = GetText(value, "tag", where, "");
  if (tag.size() != 4) throw SourceError(where + ".tag: four characters");
  RawRecord r;
  r.tag = uint32_t(uint8_t(tag[0])) | uint32_t(uint8_t(tag[1])) << 8 | uint32_t(uint8_t(tag[2])) << 16 |
          uint32_t(uint8_t(tag[3])) << 24;
  r.payload = FromHex(GetText(value, "hex", where, ""), where + ".hex");
  return r;
}

Json RawRecordJson(const WalkRecord& record) {
  return Json{{"tag", TagName(record.tag)}, {"hex", ToHex(record.data, record.length)}};
}

EffectSource ParseEffect(const Json& s) {
  const std::string where = "effect";
  AllowOnly(s, {"name", "longName", "description", "type", "kind", "objects", "direction", "shadow", "motion",
                "bestPosition", "options", "extraRecords"},
            where);
  EffectSource e;
  e.name = GetText(s, "name", where, "");
  CheckShortName(e.name, where + ".name");
  if (s.contains("longName")) {
    e.longName = ToAnsi(GetText(s, "longName", where, ""), where + ".longName");
    if (e.longName->size() > kMaxLongName)
      throw SourceError(where + ".longName: at most 42 characters (the host's effect info holds 42)");
  }
  if (s.contains("description")) e.description = ToAnsi(GetText(s, "description", where, ""), where + ".description");
  e.type = GetU32(s, "type", where, 0);
  if (s.contains("kind")) e.secondType = ParseMotionKind(s["kind"], where + ".kind");
  if (s.contains("objects")) {
    if (!s["objects"].is_array()) throw SourceError(where + ".objects: expected a list of object names");
    for (size_t i = 0; i < s["objects"].size(); ++i) {
      const Json& o = s["objects"][i];
      const std::string at = where + ".objects[" + std::to_string(i) + "]";
      if (!o.is_string()) throw SourceError(at + ": expected a text");
      e.objects.push_back(ToAnsi(o.get<std::string>(), at));
    }
  }
  if (e.objects.size() > kMaxObjects)
    throw SourceError(where + ".objects: at most 20 objects (the settings block holds 20)");
  if (e.type == 1 && e.objects.size() < 2)
    throw SourceError(where + ".type: type 1 swaps objects 0 and 1 on reverse; it needs at least 2 objects");
  e.direction = GetFlag(s, "direction", where, 0);
  e.shadow = GetFlag(s, "shadow", where, 0);
  e.motion = GetFlag(s, "motion", where, 0);
  e.bestPosition = GetFloat(s, "bestPosition", where, 50.0f);
  if (e.bestPosition < 0.0f || e.bestPosition > 100.0f)
    throw SourceError(where + ".bestPosition: from 0 to 100");
  if (s.contains("options")) {
    if (!s["options"].is_array()) throw SourceError(where + ".options: expected a list of options");
    for (size_t i = 0; i < s["options"].size(); ++i)
      e.options.push_back(ParseOption(s["options"][i], where + ".options[" + std::to_string(i) + "]"));
  }
  if (e.options.size() > kMaxOptions)
    throw SourceError(where + ".options: at most 10 options (the settings block holds 10)");
  if (s.contains("extraRecords")) {
    if (!s["extraRecords"].is_array()) throw SourceError(where + ".extraRecords: expected a list");
    for (size_t i = 0; i < s["extraRecords"].size(); ++i)
      e.extraRecords.push_back(ParseRawRecord(s["extraRecords"][i], where + ".extraRecords[" + std::to_string(i) + "]"));
  }
  return e;
}

Json EffectJson(const EffectSource& e) {
  Json j;
  j["name"] = e.name;
  if (e.longName) j["longName"] = FromAnsi(*e.longName);
  if (e.description) j["description"] = FromAnsi(*e.description);
  j["type"] = e.type;
  j["kind"] = MotionKindJson(e.secondType);
  j["objects"] = Json::array();
  for (const std::string& o : e.objects) j["objects"].push_back(FromAnsi(o));
  j["direction"] = FlagJson(e.direction);
  j["shadow"] = FlagJson(e.shadow);
  j["motion"] = FlagJson(e.motion);
  j["bestPosition"] = NumberJson(e.bestPosition);
  j["options"] = Json::array();
  for (const auto& o : e.options) {
    Json oj;
    oj["label"] = FromAnsi(FixedText(o.label, sizeof o.label));
    oj["kind"] = OptionKindJson(o.kind);
    const std::string choices = FixedText(o.choices, sizeof o.choices);
    if (!choices.empty()) oj["choices"] = FromAnsi(choices);
    oj["default"] = NumberJson(o.defaultValue);
    oj["minimum"] = NumberJson(o.minimum);
    oj["maximum"] = NumberJson(o.maximum);
    oj["tag"] = OptionTagJson(o.tag);
    if (o.unused) oj["unused"] = o.unused;
    j["options"].push_back(oj);
  }
  if (!e.extraRecords.empty()) {
    j["extraRecords"] = Json::array();
    for (const auto& r : e.extraRecords)
      j["extraRecords"].push_back({{"tag", TagName(r.tag)}, {"hex", ToHex(r.payload.data(), r.payload.size())}});
  }
  return j;
}

std::vector<uint8_t> EncodeEffect(const EffectSource& e) {
  lmx::ChunkWriter w(lmx::kEffectHeader);
  w.U32(FourCC("ETYP"), e.type).U32(FourCC("ITYP"), e.secondType).Text(FourCC("ENAM"), e.name);
  if (e.longName) w.Text(FourCC("ELNM"), *e.longName);
  if (e.description) w.Text(FourCC("DESC"), *e.description);
  w.U32(FourCC("VCNT"), uint32_t(e.objects.size()));
  for (size_t i = 0; i < e.objects.size(); ++i) w.IndexedText(FourCC("VDSC"), uint32_t(i), e.objects[i]);
  w.U32(FourCC("FDIR"), e.direction).U32(FourCC("FSHD"), e.shadow).U32(FourCC("FMOT"), e.motion);
  w.U32(FourCC("OCNT"), uint32_t(e.options.size()));
  for (size_t i = 0; i < e.options.size(); ++i)
    w.IndexedBytes(FourCC("OPTS"), uint32_t(i), &e.options[i], sizeof(lmx::EffectOption));
  w.F32(FourCC("BEST"), e.bestPosition);
  for (const auto& r : e.extraRecords) w.Record(r.tag, r.payload);
  return w.bytes();
}

Report DecodeEffect(const Walk& walk) {
  Report rep;
  rep.kind = "effect";
  lmx::EffectRecord record;
  EffectSource e;
  bool sawCount = false, sawOptionCount = false, sawName = false;
  std::vector<bool> named, filled;
  for (const WalkRecord& r : walk.records) {
    lmx::ChunkRecord cr{r.tag, r.length, r.data};
    record.ApplyRecord(cr);
    const std::string here = TagName(r.tag) + " " + At(r.offset);
    std::string text;
    switch (r.tag) {
      case FourCC("ETYP"):
        if (NeedU32(r, "type", &rep)) text = "effect type " + std::to_string(lmx::LoadU32(r.data));
        break;
      case FourCC("ITYP"):
        if (NeedU32(r, "motion kind", &rep)) text = "motion kind " + Pretty(MotionKindJson(lmx::LoadU32(r.data)), -1);
        break;
      case FourCC("FDIR"): case FourCC("FSHD"): case FourCC("FMOT"):
        if (NeedU32(r, "flag", &rep)) text = "flag " + std::to_string(lmx::LoadU32(r.data));
        break;
      case FourCC("BEST"):
        if (NeedU32(r, "position", &rep)) {
          float best = lmx::LoadF32(r.data);
          text = "best position " + Pretty(Json(best), -1);
          if (!(best >= 0.0f && best <= 100.0f)) rep.problems.push_back(here + ": best position outside 0 to 100");
        }
        break;
      case FourCC("ENAM"):
        if (NeedText(r, 0, "short name", &rep)) {
          std::string name = lmx::PayloadText(r.data, r.length);
          text = "short name " + Quote(name);
          sawName = true;
          if (name.size() > kMaxShortName)
            rep.problems.push_back(here + ": short name of " + std::to_string(name.size()) +
                                   " characters; readers keep the first 8");
        }
        break;
      case FourCC("ELNM"):
        if (NeedText(r, 0, "long name", &rep)) {
          e.longName = lmx::PayloadText(r.data, r.length);
          text = "long name " + Quote(FromAnsi(*e.longName));
          if (e.longName->size() > kMaxLongName)
            rep.problems.push_back(here + ": long name of " + std::to_string(e.longName->size()) +
                                   " characters; the host's effect info shows 42");
        }
        break;
      case FourCC("DESC"):
        if (NeedText(r, 0, "description", &rep)) {
          e.description = lmx::PayloadText(r.data, r.length);
          text = "description " + Quote(FromAnsi(*e.description));
        }
        break;
      case FourCC("VCNT"):
        if (NeedU32(r, "object count", &rep)) {
          uint32_t n = lmx::LoadU32(r.data);
          text = "object count " + std::to_string(n);
          if (sawCount) rep.problems.push_back(here + ": a second object count discards the names before it");
          if (n > kMaxObjects) rep.problems.push_back(here + ": " + std::to_string(n) + " objects; the settings block holds 20");
          sawCount = true;
          named.assign(record.objectCount(), false);
        }
        break;
      case FourCC("VDSC"):
        if (NeedText(r, 4, "object name", &rep)) {
          uint32_t index = lmx::LoadU32(r.data);
          text = "object " + std::to_string(index) + " " + Quote(FromAnsi(lmx::PayloadText(r.data + 4, r.length - 4)));
          if (index >= named.size())
            rep.problems.push_back(here + ": object index " + std::to_string(index) +
                                   (sawCount ? " is not below the object count" : " comes before the object count"));
          else
            named[index] = true;
        }
        break;
      case FourCC("OCNT"):
        if (NeedU32(r, "option count", &rep)) {
          uint32_t n = lmx::LoadU32(r.data);
          text = "option count " + std::to_string(n);
          if (sawOptionCount) rep.problems.push_back(here + ": a second option count discards the options before it");
          if (n > kMaxOptions) rep.problems.push_back(here + ": " + std::to_string(n) + " options; the settings block holds 10");
          sawOptionCount = true;
          filled.assign(record.optionCount(), false);
        }
        break;
      case FourCC("OPTS"):
        if (r.length < 4 + sizeof(lmx::EffectOption)) {
          rep.problems.push_back(here + ": payload of " + std::to_string(r.length) +
                                 " bytes; an option needs 112; readers skip the record");
        } else {
          uint32_t index = lmx::LoadU32(r.data);
          lmx::EffectOption o;
          std::memcpy(&o, r.data + 4, sizeof o);
          text = "option " + std::to_string(index) + " " + Quote(FromAnsi(FixedText(o.label, sizeof o.label)));
          if (r.length > 4 + sizeof o) rep.problems.push_back(here + ": bytes after the option entry are ignored");
          if (index >= filled.size())
            rep.problems.push_back(here + ": option index " + std::to_string(index) +
                                   (sawOptionCount ? " is not below the option count" : " comes before the option count"));
          else
            filled[index] = true;
        }
        break;
      default:
        text = "unknown tag, ignored by readers";
        e.extraRecords.push_back({r.tag, std::vector<uint8_t>(r.data, r.data + r.length)});
        break;
    }
    rep.lines.push_back({r.offset, r.tag, r.length, text});
  }
  AddWalkEnd(walk, &rep);

  e.name = record.shortName();
  e.type = record.effectType();
  e.secondType = record.secondType();
  for (uint32_t i = 0; i < record.objectCount(); ++i) e.objects.push_back(record.objectName(i));
  e.direction = record.directionFlag();
  e.shadow = record.shadowFlag();
  e.motion = record.motionFlag();
  e.bestPosition = record.bestPosition();
  for (uint32_t i = 0; i < record.optionCount(); ++i) e.options.push_back(record.option(i));

  if (!sawName) rep.problems.push_back("no short name (ENAM)");
  if (record.effectType() == 1 && record.objectCount() < 2)
    rep.problems.push_back("type 1 swaps objects 0 and 1 on reverse, but the effect has " +
                           std::to_string(record.objectCount()) + " object(s)");
  if (!sawCount) rep.problems.push_back("no object count (VCNT)");
  for (size_t i = 0; i < named.size(); ++i)
    if (!named[i]) rep.problems.push_back("object " + std::to_string(i) + " has no name (VDSC)");
  for (size_t i = 0; i < filled.size(); ++i)
    if (!filled[i]) rep.problems.push_back("option " + std::to_string(i) + " has no entry (OPTS)");
  for (size_t i = 0; i < e.options.size(); ++i) {
    const lmx::EffectOption& o = e.options[i];
    const std::string where = "option " + std::to_string(i);
    if (!filled.empty() && !filled[i]) continue;
    if (!std::memchr(o.label, 0, sizeof o.label)) rep.problems.push_back(where + ": label without terminating zero");
    if (!std::memchr(o.choices, 0, sizeof o.choices)) rep.problems.push_back(where + ": choices without terminating zero");
    if (o.kind != 0 && o.kind != 1 && o.kind != 3)
      rep.problems.push_back(where + ": kind " + std::to_string(o.kind) + " is not a slider (0), check box (1) or list (3)");
    if (o.kind == 0 && !(o.minimum <= o.defaultValue && o.defaultValue <= o.maximum))
      rep.problems.push_back(where + ": default outside minimum to maximum");
  }
  rep.content = EffectJson(e);
  return rep;
}

}  // namespace lmxlib
