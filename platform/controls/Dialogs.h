#pragma once
// Message boxes: ShowMessage, MessageBox and MessageDlg. Each is a modal
// TMessageForm, so the application's ModalDriver can read and answer it.

#include "platform/classes/Set.h"
#include "platform/controls/Form.h"

#include <QList>
#include <QString>

inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_OKCANCEL = 0x0001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x0002;
inline constexpr UINT MB_YESNOCANCEL = 0x0003;
inline constexpr UINT MB_YESNO = 0x0004;
inline constexpr UINT MB_RETRYCANCEL = 0x0005;
inline constexpr UINT MB_ICONHAND = 0x0010;
inline constexpr UINT MB_ICONSTOP = 0x0010;
inline constexpr UINT MB_ICONERROR = 0x0010;
inline constexpr UINT MB_ICONQUESTION = 0x0020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x0030;
inline constexpr UINT MB_ICONWARNING = 0x0030;
inline constexpr UINT MB_ICONASTERISK = 0x0040;
inline constexpr UINT MB_ICONINFORMATION = 0x0040;
inline constexpr UINT MB_DEFBUTTON1 = 0x0000;
inline constexpr UINT MB_DEFBUTTON2 = 0x0100;
inline constexpr UINT MB_DEFBUTTON3 = 0x0200;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll,
                  mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// The icon a box shows.
enum TMessageIcon { miNone, miError, miQuestion, miWarning, miInformation };

// A modal box with a text, an icon and a row of buttons, each with its
// modal result.
class TMessageForm : public TForm {
 public:
  struct Button {
    QString caption;
    TModalResult result;
  };
  TMessageForm(const QString& text, const QString& caption, TMessageIcon icon,
               QList<Button> buttons, int defaultIndex);

  QString Text() const { return text_; }
  TMessageIcon Icon() const { return icon_; }
  const QList<Button>& Buttons() const { return buttons_; }
  // Presses the button with that result (as a click does); false if none.
  bool ClickButton(TModalResult result);
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int v) { helpContext_ = v; }

 protected:
  void CreateWnd() override;

 private:
  QString text_;
  TMessageIcon icon_;
  QList<Button> buttons_;
  int defaultIndex_;
  int helpContext_ = 0;
};

void ShowMessage(const QString& msg);
// Returns IDOK, IDCANCEL, IDYES ... (Escape or the close box: IDCANCEL when
// there is a Cancel button, IDOK for an OK-only box).
int MessageBox(const QString& text, const QString& caption, UINT flags);
TModalResult MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                        int helpContext);
