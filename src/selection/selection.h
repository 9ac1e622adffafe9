// The selection that all pages share while the sheet runs: which effect of which group
// is selected, and its description. Changed only by InitSelection and SelectEffect.
#pragma once

#include <cstdint>
#include <memory>

#include "library/effect_record.h"
#include "library/organization.h"
#include "model/effect_settings.h"

namespace lmx {

struct SelectionState {
  int32_t shownGroup = 0;
  int32_t selectedGroup = -1;
  int32_t selectedIndex = -1;
  char selectedName[16] = {};
  // The selected effect's description. Replaced as a whole, never changed in place; a
  // render keeps the record it started with alive through its own reference, so a pick
  // during a render never frees what the render reads. Read and replace it only through
  // CurrentEffect and ReplaceCurrentEffect (atomic on the pointer).
  std::shared_ptr<const EffectRecord> currentEffect;
  int32_t currentObject = 0;
};

std::shared_ptr<const EffectRecord> CurrentEffect(const SelectionState& selection);
void ReplaceCurrentEffect(SelectionState& selection, std::shared_ptr<const EffectRecord> record);

// Starts a selection for the host's block: fills it from the defaults file when it names
// no effect (the first entry of group 0 is then the one selected), and finds the named
// effect in the organization (group and index -1 when it is not listed). Afterwards
// currentEffect is never null: the named effect's description, read even when the
// organization does not list it, or an empty one when there is no name at all. The block
// changes only through the defaults file and, in filter mode, a FilterFrames of 0 set to 100.
void InitSelection(SelectionState& selection, EffectSettings* block, const Organization& organization,
                   bool filterMode);

// Picks entry `entry` of group `group` into the block: name, option defaults when the
// effect is new, forced zeros for what it does not support; reads its description.
// False (and nothing changed) when the entry does not exist. The caller refreshes the
// panel and repaints the button.
bool SelectEffect(SelectionState& selection, EffectSettings* block, const Organization& organization, int group,
                  int entry);

// Exchanges the values of objects 0 and 1 when the Options page is about to store a
// Direction different from the block's, the effect is of type 1 and autoReverse is on.
void ReverseObjectPair(const SelectionState& selection, EffectSettings* block, bool autoReverse, float newDirection);

}  // namespace lmx
