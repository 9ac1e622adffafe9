// JSON helpers for the readable sources: strict field access with messages that name
// the field, so that an author sees exactly what is wrong in a source file.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace lmxlib {

using Json = nlohmann::ordered_json;

// A fault in a readable source or on the command line; the message is shown as is.
class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Refuses keys outside allowed (a misspelt key would otherwise be dropped silently).
void AllowOnly(const Json& object, std::initializer_list<const char*> allowed, const std::string& where);
void RequireObject(const Json& value, const std::string& where);

std::string GetText(const Json& object, const char* key, const std::string& where, const std::string& fallback);
uint32_t GetU32(const Json& object, const char* key, const std::string& where, uint32_t fallback);
float GetFloat(const Json& object, const char* key, const std::string& where, float fallback);
// true/false or a number; a number other than 0 and 1 is kept as it is.
uint32_t GetFlag(const Json& object, const char* key, const std::string& where, uint32_t fallback);

// A flag as it is shown: true/false for 0 and 1, the number otherwise.
Json FlagJson(uint32_t value);

std::string ToHex(const uint8_t* data, size_t size);
// Refuses odd lengths and characters that are not hex digits.
std::vector<uint8_t> FromHex(const std::string& hex, const std::string& where);

}  // namespace lmxlib

namespace lmxlib {
// Parses a source; throws SourceError with the line, column and reason of a fault.
Json ParseJsonText(const std::vector<uint8_t>& bytes);
// Serialises without ever throwing on bytes that are not UTF-8 (damaged files).
std::string Quote(const std::string& text);
std::string Pretty(const Json& value, int indent);
}  // namespace lmxlib
