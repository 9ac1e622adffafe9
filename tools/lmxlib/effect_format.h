// Effect files (.LMI): the readable source form, its encoding into records, and the
// reading back of a file into the same form with every fault an author should see.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/effect_record.h"
#include "lmxlib/json_util.h"
#include "lmxlib/report.h"

namespace lmxlib {

// Limits an author must keep to: what the settings block, the host's effect info and the
// option entry can hold.
inline constexpr size_t kMaxShortName = 8;
inline constexpr size_t kMaxLongName = 42;
inline constexpr uint32_t kMaxObjects = 20;
inline constexpr uint32_t kMaxOptions = 10;

struct RawRecord {
  uint32_t tag = 0;
  std::vector<uint8_t> payload;
};

struct EffectSource {
  std::string name;
  std::optional<std::string> longName;
  std::optional<std::string> description;
  uint32_t type = 0;
  uint32_t secondType = 0;
  std::vector<std::string> objects;
  uint32_t direction = 0, shadow = 0, motion = 0;
  float bestPosition = 0.0f;
  std::vector<lmx::EffectOption> options;
  std::vector<RawRecord> extraRecords;  // written after the known ones, in order
};

// Refuses anything but 1 to 8 letters, digits, _ and - (effect and organization entry
// names, which become file names), naming where.
void CheckShortName(const std::string& name, const std::string& where);
// Parses and validates a source; throws SourceError naming the faulty field.
EffectSource ParseEffect(const Json& source);
Json EffectJson(const EffectSource& effect);
std::vector<uint8_t> EncodeEffect(const EffectSource& effect);
// Reads an effect file's records as the product does, into a report whose content is
// the source form of what was read.
Report DecodeEffect(const Walk& walk);

// Catalogue names; numbers outside the catalogue come back as numbers.
Json MotionKindJson(uint32_t kind);
Json OptionTagJson(uint16_t tag);
Json OptionKindJson(uint32_t kind);
RawRecord ParseRawRecord(const Json& value, const std::string& where);
Json RawRecordJson(const WalkRecord& record);

}  // namespace lmxlib
