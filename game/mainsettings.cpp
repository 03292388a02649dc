// The grid font and found-colour dialogs.
#include "components/Aligrid.h"
#include "game/main.h"
#include "platform/controls/ColorDialog.h"
#include "platform/controls/FontDialog.h"

namespace {

void CopyFontLook(const TFont& from, TFont& to) {
  to.SetSize(from.Size());
  to.SetColor(from.Color());
  to.SetName(from.Name());
  to.SetStyle(from.Style());
}

}  // namespace

void TForm1::Ruudukonkirjasin1Click(TObject*) {
  TFont* gridFont = stringgrid1->Font();
  CopyFontLook(*gridFont, *FontDialog1->Font());
  if (!FontDialog1->Execute()) return;
  CopyFontLook(*FontDialog1->Font(), *gridFont);
  for (int c = 0; c < stringgrid1->ColCount(); ++c)
    for (int r = 0; r < stringgrid1->RowCount(); ++r)
      CopyFontLook(*FontDialog1->Font(), *stringgrid1->GetCellFont(c, r));
}

void TForm1::Lydetynvri1Click(TObject*) {
  ColorDialog1->SetColor(state_.FoundColor);
  if (ColorDialog1->Execute()) state_.FoundColor = ColorDialog1->Color();
}
