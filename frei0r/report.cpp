#include "report.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace lumorafx {

void ReportOnce(const std::string& text) {
  static std::mutex lock;
  static std::set<std::string> reported;
  std::lock_guard<std::mutex> guard(lock);
  if (!reported.insert(text).second) return;
  std::fprintf(stderr, "lumorafx: %s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace lumorafx
