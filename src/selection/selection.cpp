#include "selection/selection.h"

#include <atomic>
#include <cstring>
#include <new>

#include "config/defaults_file.h"
#include "config/installed_files.h"
#include "library/bytes.h"
#include "selection/render_control.h"
#include "selection/settings_access.h"

namespace lmx {
namespace {

// Stands in for a description when not even an empty record can be allocated; it owns
// nothing, so handing it out never allocates.
const std::shared_ptr<const EffectRecord>& NoEffect() {
  static const EffectRecord empty;
  static const std::shared_ptr<const EffectRecord> none(std::shared_ptr<const EffectRecord>(), &empty);
  return none;
}

// A fresh record read from the effect file of that name (empty for an empty name or a
// file that cannot be read); never null.
std::shared_ptr<const EffectRecord> ReadDescription(const char* name) {
  try {
    auto record = std::make_shared<EffectRecord>();
    if (name && name[0]) ReadInstalledEffect(*record, name);
    return record;
  } catch (const std::bad_alloc&) {
    return NoEffect();
  }
}

uint32_t UsedSpecialSlots(const EffectSettings* block) {
  const uint32_t count = GetSpecialCount(block);
  return count < uint32_t(kSpecialSlots) ? count : uint32_t(kSpecialSlots);
}

}  // namespace

std::shared_ptr<const EffectRecord> CurrentEffect(const SelectionState& selection) {
  return std::atomic_load(&selection.currentEffect);
}

void ReplaceCurrentEffect(SelectionState& selection, std::shared_ptr<const EffectRecord> record) {
  std::atomic_store(&selection.currentEffect, std::move(record));
}

void InitSelection(SelectionState& selection, EffectSettings* block, const Organization& organization,
                   bool filterMode) {
  selection.shownGroup = 0;
  selection.selectedGroup = 0;
  selection.selectedIndex = 0;
  selection.currentObject = 0;
  std::memset(selection.selectedName, 0, sizeof selection.selectedName);

  if (filterMode && GetGeneral(block, FilterFrames) == 0.0f)
    SetGeneral(block, FilterFrames, static_cast<float>(kDefaultFilterFrames));

  char name[sizeof block->effectName];
  GetEffectName(block, name);
  CopyFixed(selection.selectedName, sizeof selection.selectedName, name);
  if (selection.selectedName[0] == '\0') {
    LoadDefaults(block);
    CopyFixed(selection.selectedName, sizeof selection.selectedName, organization.EntryName(0, 0));
  }
  selection.selectedGroup = organization.FindGroupOf(selection.selectedName);
  selection.selectedIndex = organization.FindEntryOf(selection.selectedName);

  // The pages and the preview read the description before any pick (and without one when
  // the organization does not list the effect), so it is read here already.
  ReplaceCurrentEffect(selection, ReadDescription(selection.selectedName));
}

bool SelectEffect(SelectionState& selection, EffectSettings* block, const Organization& organization, int group,
                  int entry) {
  const char* entryName = organization.EntryName(group, entry);
  if (!entryName) return false;

  selection.selectedGroup = group;
  selection.selectedIndex = entry;
  CopyFixed(selection.selectedName, sizeof selection.selectedName, entryName);

  char current[sizeof block->effectName];
  GetEffectName(block, current);
  const bool isNew = std::strcmp(current, selection.selectedName) != 0;
  SetEffectName(block, selection.selectedName);

  if (isNew && block) {
    for (uint32_t s = 0; s < UsedSpecialSlots(block); ++s) block->specialValues[s] = SpecialValue{};
  }

  std::shared_ptr<const EffectRecord> record = ReadDescription(selection.selectedName);
  ReplaceCurrentEffect(selection, record);

  SetSpecialCount(block, record->optionCount());
  if (isNew) {
    for (uint32_t s = 0; s < UsedSpecialSlots(block); ++s) {
      const EffectOption option = record->option(s);
      SetSpecial(block, static_cast<int>(s), SpecialValue{0, option.tag, option.defaultValue});
    }
  }
  if (record->directionFlag() == 0)
    for (int object = 0; object < kObjectRows; ++object) SetObjectValue(block, object, PathRotation, 0.0f);
  if (record->shadowFlag() == 0) SetGeneral(block, Shadows, 0.0f);
  if (record->motionFlag() == 0) {
    SetGeneral(block, BlurPercent, 0.0f);
    SetGeneral(block, BlurCount, 0.0f);
  }
  selection.currentObject = 0;
  return true;
}

void ReverseObjectPair(const SelectionState& selection, EffectSettings* block, bool autoReverse, float newDirection) {
  if (!autoReverse || !block) return;
  const std::shared_ptr<const EffectRecord> record = CurrentEffect(selection);
  if (!record || record->effectType() != 1) return;
  if (GetGeneral(block, Direction) == newDirection) return;
  for (int column = 0; column < kObjectColumns; ++column) {
    const float first = GetObjectValue(block, 0, column);
    SetObjectValue(block, 0, column, GetObjectValue(block, 1, column));
    SetObjectValue(block, 1, column, first);
  }
}

}  // namespace lmx
