#include "selection/sheet_state.h"

namespace lmx {
namespace {

// The one sheet's state: the property sheet's pages and the render thread reach it here.
SheetContext g_sheet;
SelectionState g_selection;

}  // namespace

SheetContext& Sheet() { return g_sheet; }
SelectionState& Selection() { return g_selection; }

}  // namespace lmx
