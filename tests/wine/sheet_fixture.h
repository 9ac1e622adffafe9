// The common set-up of the sheet tests: an installation with the organization "DEFAULT"
// (group "Doors" of five effects, group "Cubes" of two), their effect files, preview
// settings in the registry, the instrumented engine, a message-box catcher, and the
// real LMX_GUI.DLL loaded after all of it.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>

#include "resources/resource_ids.h"
#include "sheet_harness.h"
#include "support/registry_control.h"

namespace lmx::test {

class SheetFixture : public ::testing::Test {
 public:
  void SetUp() override {
    WriteOrganization(install_, "DEFAULT",
                      {{"Doors", {"DOORS", "SLIDE", "SPIN", "FLIP", "WAVE"}}, {"Cubes", {"CUBE", "BOX"}}});
    WriteEffect(install_, {"DOORS", "Double Doors", "Two doors open.", 2, 1, 1, 1, 50.0f, {{7, 40.0f}}, 1});
    WriteEffect(install_, {"SLIDE", "Slide Away", "A plain slide.", 1, 0, 0, 0, 30.0f, {}, 1});
    for (const char* name : {"SPIN", "FLIP", "WAVE", "CUBE", "BOX", "LOST"})
      WriteEffect(install_, {name, std::string(name) + " long", std::string(name) + " text", 3, 1, 1, 1, 50.0f, {}, 1});
    SetRegistryString("OrgFile", "DEFAULT");
    for (auto [name, value] : {std::pair{"Eff_Display", 2u}, {"Prev_Frames", 1u}, {"Prev_Speed", 10u},
                               {"Prev_Render", 0u}, {"Prev_Quality", 0u}})
      SetRegistryDword(name, value);
    std::memset(&block_, 0, sizeof block_);
    std::memcpy(block_.effectName, "DOORS", 6);
  }

  void TearDown() override {
    CloseWithOk();
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

  // Opens the sheet on its own thread, waits until it is shown and shows `page`.
  SheetRun& Open(int32_t filterMode = 0, int page = kFxPage) {
    CloseWithOk();
    run_ = std::make_unique<SheetRun>(select_, &block_, filterMode);
    EXPECT_NE(run_->WaitForSheet(), nullptr) << "the sheet did not appear";
    if (page != kFxPage) {
      EXPECT_TRUE(run_->ShowPage(page)) << "page " << page << " did not show";
    }
    return *run_;
  }

  // A sheet that the test leaves open is closed with OK when the next opens or the test
  // ends, and must give 0 then, whatever the test did to it.
  void CloseWithOk() {
    if (run_ && run_->sheet() && !run_->finished()) {
      EXPECT_EQ(run_->Close(PSBTN_OK), 0) << "OK at the end";
    }
  }

  // Clicks effect button `entry` of the FX page and waits until the block names `effect`.
  bool PickEffect(int entry, const char* effect) {
    run_->Click(IDC_FX_BUTTON_FIRST + entry);
    return WaitUntil([&] { return std::strcmp(block_.effectName, effect) == 0; });
  }

  // Clicks Render and waits until the engine has taken `calls` calls (the last one held).
  bool StartRender(int calls) {
    run_->Click(IDC_PANEL_RENDER);
    return WaitUntil([&] { return engine_->CallCount() == calls; });
  }

  // Clicks Render and waits until the engine has been called `calls` times and the button
  // reads "Render" again.
  void RenderAndWait(int calls) {
    run_->Click(IDC_PANEL_RENDER);
    ASSERT_TRUE(WaitUntil([&] { return engine_->CallCount() >= calls && run_->Text(IDC_PANEL_RENDER) == "Render"; }))
        << "calls " << engine_->CallCount() << ", button " << run_->Text(IDC_PANEL_RENDER);
  }

  // Sets general values of the block, (slot, value) pairs.
  void SetGeneral(std::initializer_list<std::pair<int, float>> values) {
    for (const auto& [slot, value] : values) block_.generalValues[slot] = value;
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

// The text of each control of the current page, (id, text) pairs.
inline void ExpectTexts(const SheetRun& run, std::initializer_list<std::pair<int, const char*>> texts) {
  for (const auto& [id, text] : texts) EXPECT_EQ(run.Text(id), text) << "control " << id;
}

// The check mark of each button of the current page, (id, checked) pairs.
inline void ExpectChecks(const SheetRun& run, std::initializer_list<std::pair<int, bool>> checks) {
  for (const auto& [id, checked] : checks) EXPECT_EQ(run.IsChecked(id), checked) << "control " << id;
}

}  // namespace lmx::test
