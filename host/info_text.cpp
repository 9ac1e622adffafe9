#include "info_text.h"

#include <cstring>

namespace lmx::host {
namespace {

template <size_t N>
std::string Field(const char (&text)[N]) {
  const void* end = std::memchr(text, 0, N);
  return std::string(text, end ? static_cast<size_t>(static_cast<const char*>(end) - text) : N);
}

}  // namespace

std::string DescribeEffectInfo(const EffectInfo& info) {
  return "effectType: " + std::to_string(info.effectType) + "\n" +
         "shortName: " + Field(info.shortName) + "\n" +
         "longName: " + Field(info.longName) + "\n" +
         "objectCount: " + std::to_string(info.objectCount) + "\n";
}

std::string DisplayName(const EffectInfo& info) {
  std::string name = Field(info.longName);
  return name.empty() ? Field(info.shortName) : name;
}

}  // namespace lmx::host
