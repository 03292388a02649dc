// Storing and loading a form's window placement, and the default storage
// names. Our forms keep no placement record of their own: the placement is
// made from the form's state and bounds (see FormPlacementOf).
//
// What this platform cannot take back: a window manager puts a minimised
// window where it likes (a client sets no icon position) and maximises a
// window over its work area, so the stored minimised and maximised
// positions ("MinMaxPos") are written as the form had them and read back
// only to be checked; the normal bounds, the state and the restore-to-
// maximised flag are applied.

#include "components/AppUtils.h"

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/Screen.h"
#include "platform/controls/WinControl.h"
#include "platform/rtl/ProcessState.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

namespace {

constexpr int WPF_SETMINPOSITION = 1;
constexpr int WPF_RESTORETOMAXIMIZED = 2;

struct TWindowPlacement {
  int flags = 0;
  int showCmd = SW_SHOWNORMAL;
  int minX = -1, minY = -1, maxX = -1, maxY = -1;
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The state gives the show command and the flags; the normal bounds the
// normal rectangle (also while maximised or minimised). The maximised
// position is known while the form is maximised; a minimised position
// never (-1).
TWindowPlacement FormPlacementOf(const TForm& form) {
  TWindowPlacement wp;
  switch (form.WindowState()) {
    case wsMinimized: wp.showCmd = SW_SHOWMINIMIZED; break;
    case wsMaximized: wp.showCmd = SW_SHOWMAXIMIZED; break;
    case wsNormal: wp.showCmd = SW_SHOWNORMAL; break;
  }
  if (form.RestoresMaximized()) wp.flags |= WPF_RESTORETOMAXIMIZED;
  if (form.WindowState() == wsMaximized) {
    wp.maxX = form.Left();
    wp.maxY = form.Top();
  }
  const TRect normal = form.NormalBounds();
  wp.left = normal.Left;
  wp.top = normal.Top;
  wp.right = normal.Right;
  wp.bottom = normal.Bottom;
  return wp;
}

struct TRegistryKeyDefaults {
  QString prefix;
  bool useTitle = false;
};

TRegistryKeyDefaults& KeyDefaults() { return ProcessObject<TRegistryKeyDefaults>(); }

QString ProgramFileName() {
  if (Application != nullptr)
    return Application->ExeName();
  return QCoreApplication::applicationFilePath();
}

QString ScreenSuffix() {
  if (Screen == nullptr)
    return QString();
  return QStringLiteral("(%1x%2)").arg(Screen->Width()).arg(Screen->Height());
}

QString FourNumbers(int a, int b, int c, int d) {
  return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

// Four numbers split at commas; each 0 when not a number or missing.
void SplitFour(const QString& text, int (&out)[4]) {
  const QStringList parts = text.split(QLatin1Char(','));
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    const int v = i < parts.size() ? parts[i].trimmed().toInt(&ok) : 0;
    out[i] = ok ? v : 0;
  }
}

// The screen-size key first, the plain key when that is empty.
QString ReadPosition(TIniStorage storage, const QString& section, const QString& ident) {
  QString text = ReadIniText(storage, section, ident + ScreenSuffix(), QString());
  if (text.isEmpty())
    text = ReadIniText(storage, section, ident, QString());
  return text;
}

bool IsMainForm(const TForm* form) {
  return Application != nullptr && Application->MainForm() == form;
}

}  // namespace

QString RegistryKeyPrefix() { return KeyDefaults().prefix; }
void SetRegistryKeyPrefix(const QString& value) { KeyDefaults().prefix = value; }
bool RegistryKeyUsesTitle() { return KeyDefaults().useTitle; }
void SetRegistryKeyUsesTitle(bool value) { KeyDefaults().useTitle = value; }

QString DefaultIniFileName() {
  return QFileInfo(ProgramFileName()).completeBaseName() + QStringLiteral(".INI");
}

QString DefaultRegistryKey() {
  QString key = QStringLiteral("Software\\");
  const TRegistryKeyDefaults& defaults = KeyDefaults();
  if (!defaults.prefix.isEmpty())
    key += defaults.prefix + QLatin1Char('\\');
  const QString title = Application != nullptr ? Application->Title() : QString();
  if (defaults.useTitle && !title.isEmpty())
    key += title;
  else
    key += QFileInfo(ProgramFileName()).completeBaseName();
  return key;
}

void StoreFormPlacement(TForm* form, TIniStorage storage, const QString& section) {
  if (form == nullptr)
    return;
  TWindowPlacement wp = FormPlacementOf(*form);
  if (form->FormStyle() == fsMDIChild && form->WindowState() == wsMinimized)
    wp.flags |= WPF_SETMINPOSITION;
  WriteIniNumber(storage, section, QStringLiteral("Flags"), wp.flags);
  WriteIniNumber(storage, section, QStringLiteral("ShowCmd"), wp.showCmd);
  const QString minMax = FourNumbers(wp.minX, wp.minY, wp.maxX, wp.maxY);
  const QString norm = FourNumbers(wp.left, wp.top, wp.right, wp.bottom);
  const QString suffix = ScreenSuffix();
  WriteIniText(storage, section, QStringLiteral("MinMaxPos"), minMax);
  WriteIniText(storage, section, QStringLiteral("MinMaxPos") + suffix, minMax);
  WriteIniText(storage, section, QStringLiteral("NormPos"), norm);
  WriteIniText(storage, section, QStringLiteral("NormPos") + suffix, norm);
}

void LoadFormPlacement(TForm* form, TIniStorage storage, const QString& section, bool position,
                       bool state) {
  if (form == nullptr || (!position && !state))
    return;
  // Read with the position, as the placement's own; the state applies it.
  int flags = FormPlacementOf(*form).flags;
  if (position) {
    TWindowPlacement wp = FormPlacementOf(*form);
    wp.flags = ReadIniNumber(storage, section, QStringLiteral("Flags"), wp.flags);
    flags = wp.flags;
    const QString minMax = ReadPosition(storage, section, QStringLiteral("MinMaxPos"));
    if (!minMax.isEmpty()) {
      int v[4];
      SplitFour(minMax, v);
      wp.minX = v[0], wp.minY = v[1], wp.maxX = v[2], wp.maxY = v[3];
    }
    const QString norm = ReadPosition(storage, section, QStringLiteral("NormPos"));
    if (!norm.isEmpty()) {
      int v[4];
      SplitFour(norm, v);
      wp.left = v[0], wp.top = v[1], wp.right = v[2], wp.bottom = v[3];
    }
    wp.showCmd = 0;
    if (!minMax.isEmpty() || !norm.isEmpty()) {
      if (form->BorderStyle() != bsSizeable && form->BorderStyle() != bsSizeToolWin) {
        wp.right = wp.left + form->Width();
        wp.bottom = wp.top + form->Height();
      }
      if (wp.left < wp.right)
        form->SetBounds(wp.left, wp.top, wp.right - wp.left, wp.bottom - wp.top);
    }
  }
  if (state) {
    TWindowState windowState = wsNormal;
    if (IsMainForm(form) &&
        (form->FormStyle() == fsMDIForm ||
         (form->FormStyle() == fsNormal && form->Position() == poDefault)))
      windowState = wsMaximized;
    switch (ReadIniNumber(storage, section, QStringLiteral("ShowCmd"), 0)) {
      case 1: case 5: case 9: windowState = wsNormal; break;
      case 2: case 6: case 7: windowState = wsMinimized; break;
      case 3: windowState = wsMaximized; break;
      default: break;
    }
    const bool toMaximized = (flags & WPF_RESTORETOMAXIMIZED) != 0;
    if (windowState == wsMinimized && IsMainForm(form)) {
      // The program minimises as a whole, never its main form alone, and
      // only once its windows show: a placement is loaded as the form is
      // about to show, so the minimise is posted.
      form->SetWindowState(toMaximized ? wsMaximized : wsNormal);
      PostMessage(form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return;
    }
    if (windowState == wsMinimized && toMaximized)
      form->MinimizeFromMaximized();
    else
      form->SetWindowState(windowState);
  }
  form->Update();
}
