#include "platform/controls/Dialogs.h"

#include "platform/controls/Application.h"
#include "platform/controls/Guard.h"
#include "platform/controls/QtLanguage.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QWidget>

namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kIconSize = 32;
// What a window manager's title bar takes beside the title: the window's
// icon and its close, maximize and minimize buttons.
constexpr int kTitleBarRoom = 4 * 32;

QStyle::StandardPixmap PixmapOf(TMessageIcon icon) {
  switch (icon) {
    case miError: return QStyle::SP_MessageBoxCritical;
    case miQuestion: return QStyle::SP_MessageBoxQuestion;
    case miWarning: return QStyle::SP_MessageBoxWarning;
    default: return QStyle::SP_MessageBoxInformation;
  }
}

TMessageIcon IconOfFlags(UINT flags) {
  switch (flags & 0xF0) {
    case MB_ICONERROR: return miError;
    case MB_ICONQUESTION: return miQuestion;
    case MB_ICONWARNING: return miWarning;
    case MB_ICONINFORMATION: return miInformation;
    default: return miNone;
  }
}

QList<TMessageForm::Button> ButtonsOfFlags(UINT flags) {
  using B = TMessageForm::Button;
  switch (flags & 0x0F) {
    case MB_OKCANCEL: return {B{"OK", IDOK}, B{"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {B{"&Abort", IDABORT}, B{"&Retry", IDRETRY}, B{"&Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {B{"&Yes", IDYES}, B{"&No", IDNO}, B{"Cancel", IDCANCEL}};
    case MB_YESNO: return {B{"&Yes", IDYES}, B{"&No", IDNO}};
    case MB_RETRYCANCEL: return {B{"&Retry", IDRETRY}, B{"Cancel", IDCANCEL}};
    default: return {B{"OK", IDOK}};
  }
}

bool HasResult(const QList<TMessageForm::Button>& buttons, TModalResult r) {
  for (const auto& b : buttons)
    if (b.result == r) return true;
  return false;
}

// Runs a box modally; the close box or Escape answers Cancel, or OK in a
// box that has only OK.
TModalResult RunBox(TMessageForm& box) {
  TModalResult r = box.ShowModal();
  if (r == mrCancel && !HasResult(box.Buttons(), mrCancel) && HasResult(box.Buttons(), mrOk))
    r = mrOk;
  return r;
}

// The captions of the box's buttons in Qt's words, which Qt translates.
QString ButtonText(const QString& caption) {
  static const struct {
    const char* ours;
    const char* qt;
  } table[] = {{"OK", "OK"},          {"Cancel", "Cancel"}, {"&Yes", "&Yes"},
               {"&No", "&No"},        {"&Abort", "Abort"},  {"&Retry", "Retry"},
               {"&Ignore", "Ignore"}, {"&Help", "Help"},    {"N&o to All", "N&o to All"},
               {"Yes to &All", "Yes to &All"}};
  for (const auto& row : table)
    if (caption == QLatin1String(row.ours)) return QtText("QPlatformTheme", row.qt, caption);
  return PlatformText(caption.toUtf8().constData());
}

// A title bar cuts a title that does not fit.
int TitleWidth(const QString& caption) {
  QFont font = QApplication::font();
  font.setBold(true);
  return QFontMetrics(font).horizontalAdvance(caption) + kTitleBarRoom;
}

QString TitleOrDefault(const QString& caption) {
  if (!caption.isEmpty()) return caption;
  return Application != nullptr ? Application->Title() : QString();
}

}  // namespace

TMessageForm::TMessageForm(const QString& text, const QString& caption, TMessageIcon icon,
                           QList<Button> buttons, int defaultIndex)
    : TForm(nullptr), text_(text), icon_(icon), buttons_(std::move(buttons)),
      defaultIndex_(defaultIndex) {
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetCaption(caption);
  const QFontMetrics fm(QApplication::font());
  const QRect textRect = fm.boundingRect(QRect(0, 0, 400, 10000), Qt::TextWordWrap, text_);
  const int iconSpace = icon_ == miNone ? 0 : kIconSize + kMargin;
  const int buttonsWidth = static_cast<int>(buttons_.size()) * (kButtonWidth + 8) - 8;
  const int width = std::max(std::max(iconSpace + textRect.width(), buttonsWidth) + 2 * kMargin,
                             TitleWidth(caption));
  const int height = std::max(textRect.height(), icon_ == miNone ? 0 : kIconSize) +
                     3 * kMargin + kButtonHeight;
  SetClientWidth(width);
  SetClientHeight(height);
}

void TMessageForm::CreateWnd() {
  TForm::CreateWnd();
  QWidget* w = Widget();
  int x = kMargin;
  if (icon_ != miNone) {
    auto* iconLabel = new QLabel(w);
    iconLabel->setPixmap(w->style()->standardIcon(PixmapOf(icon_)).pixmap(kIconSize, kIconSize));
    iconLabel->setGeometry(kMargin, kMargin, kIconSize, kIconSize);
    x += kIconSize + kMargin;
  }
  auto* label = new QLabel(text_, w);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(x, kMargin, ClientWidth() - x - kMargin,
                     ClientHeight() - 3 * kMargin - kButtonHeight);
  const int count = static_cast<int>(buttons_.size());
  int bx = (ClientWidth() - (count * (kButtonWidth + 8) - 8)) / 2;
  for (int i = 0; i < count; ++i) {
    auto* button = new QPushButton(ButtonText(buttons_[i].caption), w);
    button->setGeometry(bx, ClientHeight() - kMargin - kButtonHeight, kButtonWidth, kButtonHeight);
    button->setDefault(i == defaultIndex_);
    const TModalResult result = buttons_[i].result;
    GuardedConnect(this, button, &QPushButton::clicked, button, [this, result] { ClickButton(result); });
    bx += kButtonWidth + 8;
  }
}

bool TMessageForm::ClickButton(TModalResult result) {
  if (!HasResult(buttons_, result)) return false;
  if (result == mrNone) {  // the Help button
    if (Application != nullptr) Application->HelpContext(helpContext_);
    return true;
  }
  SetModalResult(result);
  return true;
}

void ShowMessage(const QString& msg) { MessageBox(msg, QString(), MB_OK); }

int MessageBox(const QString& text, const QString& caption, UINT flags) {
  const int defaultIndex = static_cast<int>((flags >> 8) & 0x0F);
  TMessageForm box(text, TitleOrDefault(caption), IconOfFlags(flags), ButtonsOfFlags(flags),
                   defaultIndex);
  return RunBox(box);
}

TModalResult MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                        int helpContext) {
  static const char* const captions[] = {"Warning", "Error", "Information", "Confirm"};
  static const TMessageIcon icons[] = {miWarning, miError, miInformation, miQuestion, miNone};
  static const struct {
    TMsgDlgBtn button;
    const char* caption;
    TModalResult result;
  } table[] = {{mbYes, "&Yes", mrYes},       {mbNo, "&No", mrNo},
               {mbOK, "OK", mrOk},           {mbCancel, "Cancel", mrCancel},
               {mbAbort, "&Abort", mrAbort}, {mbRetry, "&Retry", mrRetry},
               {mbIgnore, "&Ignore", mrIgnore}, {mbAll, "&All", mrAll},
               {mbNoToAll, "N&o to All", mrNoToAll}, {mbYesToAll, "Yes to &All", mrYesToAll},
               {mbHelp, "&Help", mrNone}};
  QList<TMessageForm::Button> list;
  for (const auto& row : table)
    if (buttons.Contains(row.button)) list.append({QString::fromLatin1(row.caption), row.result});
  const QString caption = type == mtCustom ? TitleOrDefault({}) : PlatformText(captions[type]);
  TMessageForm box(msg, caption, icons[type], list, 0);
  box.SetHelpContext(helpContext);
  return RunBox(box);
}
