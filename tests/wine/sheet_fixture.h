// The common set-up of the sheet tests: an installation with the organization "DEFAULT"
// (group "Doors" of five effects, group "Cubes" of two), their effect files, preview
// settings in the registry, the instrumented engine, a message-box catcher, and the
// real LMX_GUI.DLL loaded after all of it.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>

#include "resources/resource_ids.h"
#include "sheet_harness.h"
#include "support/registry_control.h"

namespace lmx::test {

class SheetFixture : public ::testing::Test {
 public:
  void SetUp() override {
    WriteOrganization(install_, "DEFAULT",
                      {{"Doors", {"DOORS", "SLIDE", "SPIN", "FLIP", "WAVE"}}, {"Cubes", {"CUBE", "BOX"}}});
    EffectSpec doors{"DOORS", "Double Doors", "Two doors open.", 2, 1, 1, 1, 50.0f, {}};
    doors.options = {{7, 40.0f}};
    WriteEffect(install_, doors);
    EffectSpec slide{"SLIDE", "Slide Away", "A plain slide.", 1, 0, 0, 0, 30.0f, {}};
    WriteEffect(install_, slide);
    for (const char* name : {"SPIN", "FLIP", "WAVE", "CUBE", "BOX", "LOST"})
      WriteEffect(install_, EffectSpec{name, std::string(name) + " long", std::string(name) + " text", 3, 1, 1, 1, 50.0f, {}});
    SetRegistryString("OrgFile", "DEFAULT");
    SetRegistryDword("Eff_Display", 2);
    SetRegistryDword("Prev_Frames", 1);
    SetRegistryDword("Prev_Speed", 10);
    SetRegistryDword("Prev_Render", 0);
    SetRegistryDword("Prev_Quality", 0);
    std::memset(&block_, 0, sizeof block_);
    std::memcpy(block_.effectName, "DOORS", 6);
  }

  void TearDown() override {
    run_.reset();
    dll_.reset();
    engine_.reset();
  }

  // The engine (optional) and then the module; the module reads the installation now.
  void Load(bool withEngine = true, bool withRender = true) {
    if (withEngine) engine_.emplace(install_, withRender);
    dll_.emplace("LMX_GUI.DLL");
    ASSERT_TRUE(dll_->IsLoaded());
    select_ = platform::ProcAs<SelectFn>(dll_->Find("LMXGUI_Select"));
    ASSERT_NE(select_, nullptr);
  }

  // Opens the sheet on its own thread and waits until it is shown.
  SheetRun& Open(int32_t filterMode = 0) {
    run_ = std::make_unique<SheetRun>(select_, &block_, filterMode);
    EXPECT_NE(run_->WaitForSheet(), nullptr) << "the sheet did not appear";
    return *run_;
  }

  // The text of a control of the current page, once it equals expected (or the last seen).
  bool WaitForText(int id, const std::string& expected, int timeoutMs = 10000) {
    return WaitUntil([&] { return run_->Text(id) == expected; }, timeoutMs);
  }

  TestInstall install_;
  MessageBoxCatcher boxes_;
  std::optional<Engine> engine_;
  std::optional<platform::LoadedModule> dll_;
  SelectFn select_ = nullptr;
  EffectSettings block_;
  std::unique_ptr<SheetRun> run_;
};

}  // namespace lmx::test
