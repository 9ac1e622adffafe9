// examples/minimal_host.c run as a user would run it, on a planted installation: its sheet
// opens, OK is pressed on it, and the program writes frame 25 of the chosen transition as
// a 320 x 240 BMP that is not of one colour.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstring>

#include "common/chunk_writer.h"
#include "library/bytes.h"
#include "library/effect_record.h"
#include "library/organization.h"
#include "run_host.h"
#include "support/test_install.h"

namespace {

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

  bool pressed = false;
  const auto run = lmx::host::test::RunProgram("minimal_host.exe", {install.File("frame.bmp")}, 240000, [&](DWORD id) {
    // Once the sheet of this process shows its first page, OK as a user would press it.
    HWND sheet = pressed ? nullptr : FindWindowA(nullptr, "Lumora FX Selection");
    DWORD owner = 0;
    if (sheet) GetWindowThreadProcessId(sheet, &owner);
    if (owner == id && SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) {
      SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
      pressed = true;
    }
  });
  ASSERT_TRUE(pressed) << "the sheet never opened\n" << run.output;
  ASSERT_TRUE(lmx::host::test::Ended(run, 0));

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
