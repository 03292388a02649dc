#include "installer/wizard/cmp_TBaseInstallDlg.h"

#include "platform/controls/Screen.h"

#include <cmath>

const TEnumInfo kOndrixDialogPositionIdents{
    "odpCenterLeft",   "odpCenter",       "odpCenterRight", "odpBottomLeft", "odpBottomCenter",
    "odpBottomRight",  "odpTopLeft",      "odpTopCenter",   "odpTopRight"};

TPoint TDialogPlacement::PlaceOnScreen(int formWidth, int formHeight, int screenWidth,
                                       int screenHeight, int captionHeight) const {
  // Halves go to the even neighbour.
  const int cx = static_cast<int>(std::nearbyint(screenWidth * 0.5 - formWidth * 0.5));
  const int cy = static_cast<int>(std::nearbyint(screenHeight * 0.5 - formHeight * 0.5));
  const int right = screenWidth - formWidth - relativeLeftOffset_;
  const int bottom = screenHeight - captionHeight - formHeight - relativeTopOffset_;
  switch (position_) {
    case odpCenterLeft: return {relativeLeftOffset_, cy + relativeTopOffset_};
    case odpCenter: return {cx + relativeLeftOffset_, cy + relativeTopOffset_};
    case odpCenterRight: return {right, cy + relativeTopOffset_};
    case odpBottomLeft: return {relativeLeftOffset_, bottom};
    case odpBottomCenter: return {cx + relativeLeftOffset_, bottom};
    case odpBottomRight: return {right, bottom};
    case odpTopLeft: return {relativeLeftOffset_, relativeTopOffset_};
    case odpTopCenter: return {cx + relativeLeftOffset_, relativeTopOffset_};
    case odpTopRight: return {right, relativeTopOffset_};
  }
  return {cx, cy};
}

void TDialogPlacement::PlaceForm(TForm* form) const {
  form->SetPosition(poDesigned);
  form->SetHeight(height_);
  form->SetWidth(width_);
  const TPoint at = PlaceOnScreen(form->Width(), form->Height(), Screen != nullptr ? Screen->Width() : 0,
                                  Screen != nullptr ? Screen->Height() : 0, SystemCaptionHeight());
  form->SetBounds(at.X, at.Y, form->Width(), form->Height());
}
