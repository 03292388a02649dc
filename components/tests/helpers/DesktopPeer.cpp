// A form with a placement, a shadow label and a picture button on the
// display it is given, for the components' desktop test:
//   qx_components_desktop_peer <ini file> [prevent]
// The placement is kept in the INI file (PreventResize with "prevent").
// Keys: d disables or enables the label and the button together, h hides or
// shows the label. The caption counts the label's mouse entries and exits:
// "Sijoitus <entries>/<exits>". The program ends when the form closes.
#include "components/KVCtrls.h"
#include "components/Lumbtn.h"
#include "components/Placemnt.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/Platform.h"
#include "platform/graphics/Bitmap.h"

#include <QString>

#include <memory>

namespace {

QByteArray FormText(const QString& iniFile, bool prevent) {
  QByteArray text =
      "object Sijoitus: TForm\n"
      "  Left = 120\n  Top = 90\n  Width = 360\n  Height = 240\n"
      "  Caption = 'Sijoitus 0/0'\n  Color = clLime\n  KeyPreview = True\n"
      "  object FormPlacement1: TFormPlacement\n"
      "    IniFileName = '" + iniFile.toUtf8() + "'\n";
  if (prevent) text += "    PreventResize = True\n";
  text +=
      "  end\n"
      "  object KvLabel1: TKvLabel\n"
      "    Left = 20\n    Top = 20\n    Caption = 'Trovaly 1.0'\n"
      "  end\n"
      "end\n";
  return text;
}

// Red with a blue square, on the button's face colour.
std::unique_ptr<TBitmap> Glyph() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(16, 16);
  bitmap->Canvas()->Brush()->SetColor(clRed);
  bitmap->Canvas()->FillRect(Rect(0, 0, 16, 16));
  bitmap->Canvas()->Brush()->SetColor(clBlue);
  bitmap->Canvas()->FillRect(Rect(4, 4, 12, 12));
  return bitmap;
}

}  // namespace

int main(int argc, char** argv) {
  auto session = InitPlatformOrExit(argc, argv, true);
  if (argc < 2) return 2;
  RegisterPlacemntClasses();
  RegisterKvCtrlsClasses();
  RegisterPicSpeedBtnClasses();
  TForm* form = nullptr;
  Application->CreateForm(form);
  ReadRootComponent(form, FormText(QString::fromLocal8Bit(argv[1]), argc > 2), QStringLiteral("peer.form"));
  auto* label = dynamic_cast<TKvLabel*>(form->FindComponent(QStringLiteral("KvLabel1")));
  auto* button = new TPicSpeedBtn(form);
  button->SetParent(form);
  button->SetBounds(20, 80, 40, 40);
  auto glyph = Glyph();
  button->Picture()->SetGraphic(glyph.get());
  int entries = 0;
  int exits = 0;
  auto count = [&] { form->SetCaption(QStringLiteral("Sijoitus %1/%2").arg(entries).arg(exits)); };
  label->OnMouseEnter = [&](TObject*) { ++entries; count(); };
  label->OnMouseLeave = [&](TObject*) { ++exits; count(); };
  form->OnKeyPress = [&](TObject*, char& key) {
    if (key == 'd') {
      label->SetEnabled(!label->Enabled());
      button->SetEnabled(!button->Enabled());
    } else if (key == 'h') {
      label->SetVisible(!label->Visible());
    }
  };
  Application->Run();
  return 0;
}
