#include "lmxlib/json_util.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace lmxlib {

void RequireObject(const Json& value, const std::string& where) {
  if (!value.is_object()) throw SourceError(where + ": expected a JSON object");
}

void AllowOnly(const Json& object, std::initializer_list<const char*> allowed, const std::string& where) {
  RequireObject(object, where);
  for (auto it = object.begin(); it != object.end(); ++it) {
    bool known = false;
    for (const char* key : allowed) known = known || it.key() == key;
    if (!known) throw SourceError(where + ": unknown field \"" + it.key() + "\"");
  }
}

std::string GetText(const Json& object, const char* key, const std::string& where, const std::string& fallback) {
  if (!object.contains(key)) return fallback;
  const Json& v = object[key];
  if (!v.is_string()) throw SourceError(where + "." + key + ": expected a text");
  std::string s = v.get<std::string>();
  if (s.find('\0') != std::string::npos) throw SourceError(where + "." + key + ": text holds a zero character");
  return s;
}

uint32_t GetU32(const Json& object, const char* key, const std::string& where, uint32_t fallback) {
  if (!object.contains(key)) return fallback;
  const Json& v = object[key];
  if (v.is_number_unsigned()) {
    auto n = v.get<uint64_t>();
    if (n <= 0xFFFFFFFFu) return uint32_t(n);
  } else if (v.is_number_integer() && v.get<int64_t>() >= 0 && v.get<int64_t>() <= 0xFFFFFFFF) {
    return uint32_t(v.get<int64_t>());
  }
  throw SourceError(where + "." + key + ": expected a whole number from 0 to 4294967295");
}

float GetFloat(const Json& object, const char* key, const std::string& where, float fallback) {
  if (!object.contains(key)) return fallback;
  const Json& v = object[key];
  if (!v.is_number()) throw SourceError(where + "." + key + ": expected a number");
  double d = v.get<double>();
  if (!std::isfinite(d) || std::fabs(d) > 3.0e38) throw SourceError(where + "." + key + ": number out of range");
  return float(d);
}

uint32_t GetFlag(const Json& object, const char* key, const std::string& where, uint32_t fallback) {
  if (object.contains(key) && object[key].is_boolean()) return object[key].get<bool>() ? 1 : 0;
  return GetU32(object, key, where, fallback);
}

Json FlagJson(uint32_t value) {
  if (value <= 1) return Json(value == 1);
  return Json(value);
}

std::string ToHex(const uint8_t* data, size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  s.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    s += digits[data[i] >> 4];
    s += digits[data[i] & 15];
  }
  return s;
}

std::vector<uint8_t> FromHex(const std::string& hex, const std::string& where) {
  auto nibble = [&](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw SourceError(where + ": \"" + std::string(1, c) + "\" is not a hex digit");
  };
  if (hex.size() % 2) throw SourceError(where + ": hex text of odd length");
  std::vector<uint8_t> out;
  for (size_t i = 0; i < hex.size(); i += 2) out.push_back(uint8_t(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
  return out;
}

}  // namespace lmxlib

namespace lmxlib {
Json ParseJsonText(const std::vector<uint8_t>& bytes) {
  try {
    return Json::parse(bytes.begin(), bytes.end());
  } catch (const nlohmann::json::parse_error& e) {
    // The library's text reads "[json.exception.parse_error.101] parse error at line 2,
    // column 5: syntax error ..."; an author needs only the place and the reason.
    std::string reason = e.what();
    const size_t bracket = reason.find("] ");
    if (bracket != std::string::npos) reason.erase(0, bracket + 2);
    if (reason.compare(0, 15, "parse error at ") == 0) reason.erase(0, 15);
    throw SourceError("not valid JSON: " + reason);
  }
}

std::string Quote(const std::string& text) { return Pretty(Json(text), -1); }
std::string Pretty(const Json& value, int indent) {
  return value.dump(indent, ' ', false, Json::error_handler_t::replace);
}
}  // namespace lmxlib
