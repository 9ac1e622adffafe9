#include "ui/help.h"

#include <array>
#include <utility>

#include "model/help_ids.h"
#include "ui/module_state.h"

namespace lmx {
namespace {

// The table itself lives in model/help_ids.h (shared with the authoring tool); WinHelpA
// wants it as DWORDs.
template <std::size_t... I>
constexpr std::array<DWORD, sizeof...(I)> HelpIdDwords(std::index_sequence<I...>) {
  return {{DWORD(kHelpIdPairs[I])...}};
}
constexpr std::array<DWORD, kHelpIdCount> kHelpIdTable = HelpIdDwords(std::make_index_sequence<kHelpIdCount>());

}  // namespace

const DWORD* const HelpIdTable = kHelpIdTable.data();

void RequestHelp(HWND window, UINT command, ULONG_PTR data) {
  WinHelpA(window, Module().helpFilePath, command, data);
}

}  // namespace lmx
