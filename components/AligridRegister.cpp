// The grid's published properties, in the order form files list them, and
// its registration as a form class.
#include "components/Aligrid.h"

#include "platform/classes/ClassRegistry.h"

const TEnumInfo kMyAlignIdents{"alRight", "alLeft", "alCenter"};
const TEnumInfo kNextCellIdents{"nc_rightdown", "nc_downright", "nc_leftdown", "nc_downleft",
                                "nc_leftup",    "nc_upleft",    "nc_rightup",  "nc_upright"};
const TEnumInfo kLastCellIdents{"lc_newcolrow", "lc_stop", "lc_first"};

void TStringAlignGrid::DeclareProperties(TClassBuilder<TStringAlignGrid, TStringGrid>& b) {
  using G = TStringAlignGrid;
  b.Property("Alignment", &G::Alignment, &G::SetAlignment, kMyAlignIdents)
      .Default(TMyAlign::alLeft);
  b.Property("Editable", &G::Editable, &G::SetEditable).Default(true);
  b.Property("FixedColor", &TCustomGrid::FixedColor, &G::SetFixedColor, kColorIdents)
      .Default(clBtnFace);
  b.Property("ShowCellHints", &G::ShowCellHints, &G::SetShowCellHints).Default(true);
  b.Event("OnAfterEdit", &G::OnAfterEdit);
  b.Event("OnCancelEdit", &G::OnCancelEdit);
  b.Event("OnBeforeEdit", &G::OnBeforeEdit);
  b.Property("SelectedCellColor", &G::SelectedCellColor, &G::SetSelectedCellColor, kColorIdents)
      .Default(clActiveCaption);
  b.Property("SelectedFontColor", &G::SelectedFontColor, &G::SetSelectedFontColor, kColorIdents)
      .Default(clWhite);
  b.Property("AutoEditNextCell", &G::AutoEditNextCell, &G::SetAutoEditNextCell).Default(false);
  b.Property("NextCellEdit", &G::NextCellEdit, &G::SetNextCellEdit, kNextCellIdents)
      .Default(nc_rightdown);
  b.Property("NextCellTab", &G::NextCellTab, &G::SetNextCellTab, kNextCellIdents)
      .Default(nc_rightdown);
  b.Property("AfterLastCellEdit", &G::AfterLastCellEdit, &G::SetAfterLastCellEdit,
             kLastCellIdents)
      .Default(lc_newcolrow);
  b.Property("AfterLastCellTab", &G::AfterLastCellTab, &G::SetAfterLastCellTab, kLastCellIdents)
      .Default(lc_first);
  b.Property("DrawSelection", &G::DrawSelection, &G::SetDrawSelection).Default(true);
  b.Event("OnCompareRow", &G::OnCompareRow);
  b.Event("OnCompareCol", &G::OnCompareCol);
  b.Event("OnColWidthsChanged", &G::OnColWidthsChanged);
  b.Event("OnRowHeightsChanged", &G::OnRowHeightsChanged);
}

void RegisterAligridClasses() {
  RegisterGridClasses();
  if (GetClass(QStringLiteral("TStringAlignGrid")) == nullptr) RegisterClass<TStringAlignGrid>();
}
