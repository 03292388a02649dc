// The published properties of TControl and the identifier tables they use.
#include "platform/controls/Control.h"

#include "platform/controls/Menus.h"
#include "platform/controls/Screen.h"

Qt::CursorShape CursorShapeOf(TCursor c) {
  switch (c) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crDrag: case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

const TEnumInfo kAlignIdents{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};

const TEnumInfo kCursorIdents{
    {crDefault, "crDefault"},   {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},       {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},     {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},   {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},     {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"}, {crNo, "crNo"},
    {crAppStart, "crAppStart"}, {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"}};

const TEnumInfo kColorIdents{
    {clBlack, "clBlack"},       {clMaroon, "clMaroon"},     {clGreen, "clGreen"},
    {clOlive, "clOlive"},       {clNavy, "clNavy"},         {clPurple, "clPurple"},
    {clTeal, "clTeal"},         {clGray, "clGray"},         {clSilver, "clSilver"},
    {clRed, "clRed"},           {clLime, "clLime"},         {clYellow, "clYellow"},
    {clBlue, "clBlue"},         {clFuchsia, "clFuchsia"},   {clAqua, "clAqua"},
    {clWhite, "clWhite"},       {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},         {clWindow, "clWindow"},     {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},     {clNone, "clNone"},         {clDefault, "clDefault"}};

void TControl::DeclareProperties(TClassBuilder<TControl, TComponent>& b) {
  b.Property("Left", &TControl::Left, &TControl::SetLeft);
  b.Property("Top", &TControl::Top, &TControl::SetTop);
  b.Property("Width", &TControl::Width, &TControl::SetWidth);
  b.Property("Height", &TControl::Height, &TControl::SetHeight);
  b.Property("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth).Stored(false);
  b.Property("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight).Stored(false);
  b.Property("Align", &TControl::Align, &TControl::SetAlign, kAlignIdents).Default(alNone);
  b.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  b.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  // Colour and font taken from the parent are not the control's own: only
  // its own are stored.
  b.Property("Color", &TControl::Color, &TControl::SetColor, kColorIdents)
      .Default(clWindow)
      .Stored(&TControl::ColorStored);
  b.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
  b.Object("Font", &TControl::Font).Stored(&TControl::FontStored);
  b.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
  b.Property("Hint", &TControl::Hint, &TControl::SetHint);
  // Only a control's own ShowHint is stored; an inherited one would turn
  // ParentShowHint off when read back.
  b.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
      .Stored(&TControl::ShowHintStored);
  b.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint)
      .Default(true);
  b.Property("Cursor", &TControl::Cursor, &TControl::SetCursor, kCursorIdents).Default(crDefault);
  b.Property("Caption", &TControl::Caption, &TControl::SetCaption);
  b.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  b.Event("OnClick", &TControl::OnClick);
  b.Event("OnDblClick", &TControl::OnDblClick);
  b.Event("OnMouseDown", &TControl::OnMouseDown);
  b.Event("OnMouseMove", &TControl::OnMouseMove);
  b.Event("OnMouseUp", &TControl::OnMouseUp);
  b.Event("OnResize", &TControl::OnResize);
}

void TControl::SetPopupMenu(TPopupMenu* v) {
  if (v == popupMenu_) return;
  SetControlPopupMenu(this, v);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == popupMenu_)
    popupMenu_ = nullptr;
}
