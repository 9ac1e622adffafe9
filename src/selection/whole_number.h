// Settings are whole numbers held as f32; controls take them truncated toward zero.
#pragma once

#include <cstdint>
#include <limits>

namespace lmx {

// Truncates toward zero. A block from the host may hold anything: values beyond the
// 32-bit range saturate and NaN gives 0, instead of an undefined conversion.
inline int32_t WholeNumber(float value) {
  if (value != value) return 0;
  if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace lmx
