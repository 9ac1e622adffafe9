#include "about/about_box.h"

#include "config/library_path.h"
#include "library/bytes.h"
#include "library/dib.h"
#include "platform/catch_all.h"
#include "platform/movable_memory.h"
#include "platform/win32/gdi.h"
#include "resources/resource_ids.h"
#include "ui/dialog_scale.h"
#include "ui/dib_draw.h"
#include "ui/module_instance.h"

namespace lmx {
namespace {

constexpr size_t kTextSize = 256;

HFONT BoldFont(int height) { return CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"); }

struct AboutBox {
  char title[kTextSize] = "Lumora FX";
  char release[kTextSize] = "Release 2";
  platform::MovableBlock picture;
  platform::MovableBlock logo;
  Font titleFont;  // made with the dialog, at its scale; they outlive its controls
  Font releaseFont;
};

platform::MovableBlock LoadPicture(const char* name) {
  char path[kLongPathSize];
  if (!BuildLibraryPath(path, sizeof path, "", name, "BMP")) return {};
  return platform::MovableBlock(LoadDib(path));
}

// Stretches a picture over the control's whole client area.
void PaintPicture(HWND dialog, int id, const platform::MovableBlock& dib) {
  HWND frame = GetDlgItem(dialog, id);
  if (frame == nullptr) return;
  RECT rect;
  GetClientRect(frame, &rect);
  WindowDc dc(frame);
  PictureStretch stretch(dc.get(), DialogScale::Of(dialog));
  DrawDibBlock(dc.get(), rect, dib.get());
}

INT_PTR AboutMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* box = reinterpret_cast<AboutBox*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const DialogScale scale = DialogScale::Of(dialog);
      box->titleFont.reset(BoldFont(scale.Pixels(28)));
      box->releaseFont.reset(BoldFont(scale.Pixels(18)));
      SendDlgItemMessageA(dialog, IDC_ABOUT_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(box->titleFont.get()), FALSE);
      SetDlgItemTextA(dialog, IDC_ABOUT_TITLE, box->title);
      SendDlgItemMessageA(dialog, IDC_ABOUT_RELEASE, WM_SETFONT, reinterpret_cast<WPARAM>(box->releaseFont.get()), FALSE);
      SetDlgItemTextA(dialog, IDC_ABOUT_RELEASE, box->release);
      return 0;
    }
    case WM_PAINT: {
      const auto* box = reinterpret_cast<const AboutBox*>(GetWindowLongPtrA(dialog, DWLP_USER));
      PaintScope paint(dialog);
      if (box != nullptr) {
        PaintPicture(dialog, IDC_ABOUT_PICTURE, box->picture);
        PaintPicture(dialog, IDC_ABOUT_LOGO, box->logo);
      }
      return 0;
    }
    case WM_COMMAND:  // Enter, Escape and the close box all arrive as commands
      EndDialog(dialog, 1);
      return 1;
    default:
      return 0;
  }
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::CatchAll<INT_PTR>(0, [&] { return AboutMessage(dialog, message, wParam, lParam); });
}

}  // namespace

int16_t ShowAboutBox(HWND parent, const char* title, const char* release) {
  AboutBox box;
  // A host text replaces the default, cut to kTextSize - 1 characters.
  if (title != nullptr) CopyFixed(box.title, sizeof box.title, title);
  if (release != nullptr) CopyFixed(box.release, sizeof box.release, release);
  box.picture = LoadPicture("LMX");
  box.logo = LoadPicture("CRVLOGO");
  const INT_PTR result = DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_ABOUT_BOX), parent, AboutDialogProc,
                                         reinterpret_cast<LPARAM>(&box));
  return result == -1 ? 2 : 0;
}

}  // namespace lmx
