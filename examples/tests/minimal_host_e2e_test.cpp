// examples/minimal_host.c run as a user would run it, on a planted installation: its sheet
// opens, OK is pressed on it, and the program writes frame 25 of the chosen transition as
// a 320 x 240 BMP that is not of one colour.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "run_host.h"
#include "support/test_install.h"

namespace {

struct SheetSearch {
  DWORD process;
  HWND sheet;
};

BOOL CALLBACK TakeSheet(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<SheetSearch*>(param);
  DWORD owner = 0;
  char caption[64] = {};
  GetWindowThreadProcessId(window, &owner);
  GetWindowTextA(window, caption, sizeof caption);
  if (owner != search->process || std::strcmp(caption, "Lumora FX Selection") != 0) return TRUE;
  search->sheet = window;
  return FALSE;
}

HWND SheetOf(DWORD process) {
  SheetSearch search{process, nullptr};
  EnumWindows(TakeSheet, reinterpret_cast<LPARAM>(&search));
  return search.sheet;
}

TEST(MinimalHost, RendersTheChosenTransitionIntoABmp) {
  lmx::test::TestInstall install;
  lmx::ChunkWriter effect(lmx::kEffectHeader);
  effect.U32(lmx::FourCC("ITYP"), 2).Text(lmx::FourCC("ENAM"), "TILES").Text(lmx::FourCC("ELNM"), "Tiles");
  install.Write("EFFECTS/TILES.LMI", effect.bytes());
  lmx::ChunkWriter org(lmx::kOrganizationHeader);
  org.Text(lmx::FourCC("OGRP"), "Tiles").Text(lmx::FourCC("OITM"), "TILES");
  install.Write("ORGS/DEFAULT.ORG", org.bytes());
  for (const char* dll : {"LMX_GUI.DLL", "LIBS/LMX.DLL"}) {
    ASSERT_TRUE(lmx::host::test::PlantModule(install, dll)) << dll << " must be beside the test";
  }

  const std::string bmp = install.File("frame.bmp");
  std::string line = "\"" + lmx::host::test::ProgramFolder() + "\\minimal_host.exe\" \"" + bmp + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  CloseHandle(process.hThread);

  // Once the sheet shows its first page, OK as a user would press it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  bool pressed = false;
  while (!pressed && std::chrono::steady_clock::now() < deadline &&
         WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
    HWND sheet = SheetOf(process.dwProcessId);
    if (sheet && SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) {
      SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
      pressed = true;
    }
  }
  DWORD code = 99;
  if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  ASSERT_TRUE(pressed) << "the sheet never opened";
  ASSERT_EQ(code, 0u);

  const std::vector<uint8_t> bytes = install.Read("frame.bmp");
  const size_t pixels = 320 * 240;
  ASSERT_EQ(bytes.size(), 54 + pixels * 4);
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes.data() + 14, sizeof header);
  EXPECT_EQ(header.biWidth, 320);
  EXPECT_EQ(header.biHeight, 240);
  EXPECT_EQ(header.biBitCount, 32);
  const uint8_t* first = bytes.data() + 54;
  size_t differing = 0;
  for (size_t i = 1; i < pixels; ++i) differing += std::memcmp(first, first + i * 4, 3) != 0;
  EXPECT_GT(differing, pixels / 4) << "the frame is nearly one colour";
}

}  // namespace
