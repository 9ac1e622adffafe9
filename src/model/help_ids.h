// The help contexts of the pages' controls: pairs of (control id, help context number),
// ended by (0, 0). A control listed twice gets its first context. Portable, so that the
// authoring tool can check the help file against the very numbers the module sends.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lmx {

// clang-format off
inline constexpr std::uint32_t kHelpIdPairs[] = {
  102, 100,   1026, 101,
  1001, 102,  1002, 102,  1003, 102,  1004, 102,  1005, 102,  1006, 102,  1007, 102,  1008, 102,
  1009, 102,  1010, 102,  1011, 102,  1012, 102,  1013, 102,  1014, 102,  1015, 102,  1016, 102,
  1509, 7,    1062, 7,    1078, 8,    1042, 6,    1044, 5,
  1100, 201,  1101, 201,  1103, 202,  1104, 202,  1105, 202,  1106, 203,  1107, 203,
  1108, 204,  1109, 204,  1110, 205,  1112, 206,  1113, 207,  1121, 208,  1115, 209,
  1117, 210,  1639, 211,
  1200, 301,  1201, 302,  1203, 303,  1205, 304,
  1300, 401,  1301, 402,  1303, 403,  1305, 404,  1309, 405,  1119, 406,  1312, 407,
  1307, 408,  1320, 409,
  1500, 501,  1501, 501,  1502, 501,  1503, 502,  1080, 509,
  1515, 503,  1516, 503,  1517, 503,  1504, 504,  1505, 505,  1081, 506,  1509, 507,
  1511, 508,
  0, 0,
};
// clang-format on

inline constexpr std::size_t kHelpIdCount = sizeof kHelpIdPairs / sizeof kHelpIdPairs[0];
static_assert(kHelpIdCount % 2 == 0 && kHelpIdPairs[kHelpIdCount - 2] == 0 && kHelpIdPairs[kHelpIdCount - 1] == 0,
              "the table is pairs ended by (0, 0)");

}  // namespace lmx
