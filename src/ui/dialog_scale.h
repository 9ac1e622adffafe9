// How much larger than at 96 DPI a dialog is drawn, and drawing its pictures to match.
// The scale is read from the dialog's own font: the dialog manager lays the controls out
// in units of that font, so pictures stretched over controls grow exactly as the dialog
// did, whether the host is DPI aware or the system scales it, and on any monitor.
#pragma once

#include <windows.h>

namespace lmx {

class DialogScale {
 public:
  // Eight vertical dialog units are one line of the dialog's font: 13 pixels for the
  // sheet's 8-point font at 96 DPI.
  static constexpr int kLinePixelsAt96 = 13;

  // The scale of a dialog; 1 for any other window (MapDialogRect fails on those).
  static DialogScale Of(HWND dialog);

  // True when the dialog is drawn larger than at 96 DPI.
  bool Enlarged() const { return linePixels_ > kLinePixelsAt96; }
  // A length in pixels at 96 DPI, at this scale; unchanged unless enlarged.
  int Pixels(int at96) const { return Enlarged() ? MulDiv(at96, linePixels_, kLinePixelsAt96) : at96; }

 private:
  explicit DialogScale(int linePixels) : linePixels_(linePixels) {}
  int linePixels_;
};

// Sets the stretching of pictures into a drawing context for a scale, and puts it back
// at the end: smoothed (HALFTONE) when the dialog is enlarged, left alone otherwise, so
// that drawing at 96 DPI stays as it always was.
class PictureStretch {
 public:
  PictureStretch(HDC dc, const DialogScale& scale);
  ~PictureStretch();
  PictureStretch(const PictureStretch&) = delete;
  PictureStretch& operator=(const PictureStretch&) = delete;

 private:
  HDC dc_ = nullptr;  // set only while the mode is changed
  int previousMode_ = 0;
  POINT previousOrigin_{};
};

}  // namespace lmx
