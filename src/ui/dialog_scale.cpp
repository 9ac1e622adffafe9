#include "ui/dialog_scale.h"

namespace lmx {

DialogScale DialogScale::Of(HWND dialog) {
  RECT line = {0, 0, 0, 8};
  return DialogScale(MapDialogRect(dialog, &line) ? line.bottom : kLinePixelsAt96);
}

PictureStretch::PictureStretch(HDC dc, const DialogScale& scale) {
  if (!dc || !scale.Enlarged()) return;
  previousMode_ = SetStretchBltMode(dc, HALFTONE);
  if (previousMode_ == 0) return;
  // After choosing HALFTONE the brush origin must be set again, or brushes come out misaligned.
  SetBrushOrgEx(dc, 0, 0, &previousOrigin_);
  dc_ = dc;
}

PictureStretch::~PictureStretch() {
  if (!dc_) return;
  SetStretchBltMode(dc_, previousMode_);
  SetBrushOrgEx(dc_, previousOrigin_.x, previousOrigin_.y, nullptr);
}

}  // namespace lmx
