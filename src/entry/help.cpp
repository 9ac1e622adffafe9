#include "entry/help.h"

#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "entry/help_ids.h"
#include "entry/module_state.h"

namespace lmx {
namespace {

std::string g_helpLog;  // empty: requests go to WinHelpA

// The table itself lives in entry/help_ids.h (shared with the authoring tool); WinHelpA
// wants it as DWORDs.
template <std::size_t... I>
constexpr std::array<DWORD, sizeof...(I)> HelpIdDwords(std::index_sequence<I...>) {
  return {{DWORD(kHelpIdPairs[I])...}};
}
constexpr std::array<DWORD, kHelpIdCount> kHelpIdTable = HelpIdDwords(std::make_index_sequence<kHelpIdCount>());

}  // namespace

const DWORD* const HelpIdTable = kHelpIdTable.data();

DWORD HelpContextFor(int controlId) {
  for (const DWORD* pair = HelpIdTable; pair[0] != 0; pair += 2)
    if (pair[0] == static_cast<DWORD>(controlId)) return pair[1];
  return 0;
}

void InitHelpRequests() {
  char log[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA("LMX_TEST_HELP_LOG", log, sizeof log);
  g_helpLog = n > 0 && n < sizeof log ? log : "";
}

void RequestHelp(HWND window, UINT command, ULONG_PTR data) {
  const char* path = Module().helpFilePath;
  if (g_helpLog.empty()) {
    WinHelpA(window, path, command, data);
    return;
  }
  int id = window ? GetDlgCtrlID(window) : 0;
  DWORD context = command == HELP_FINDER ? 0 : HelpContextFor(id);
  if (FILE* file = std::fopen(g_helpLog.c_str(), "a")) {
    std::fprintf(file, "%u %d %lu %s\n", command, id, static_cast<unsigned long>(context), path);
    std::fclose(file);
  }
}

}  // namespace lmx
