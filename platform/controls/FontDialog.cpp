#include "platform/controls/FontDialog.h"

#include "platform/controls/Dialogs.h"
#include "platform/controls/Guard.h"
#include "platform/controls/QtLanguage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <array>
#include <utility>

const TEnumInfo kFontDialogOptionIdents{
    "fdAnsiOnly",   "fdTrueTypeOnly", "fdEffects",       "fdFixedPitchOnly",
    "fdForceFontExist", "fdNoFaceSel", "fdNoOEMFonts",   "fdNoSimulations",
    "fdNoSizeSel",  "fdNoStyleSel",   "fdNoVectorFonts", "fdShowHelp",
    "fdWysiwyg",    "fdLimitSize",    "fdScalableOnly",  "fdApplyButton"};

namespace {

struct TNamedColor {
  TColor color;
  const char* name;
};
constexpr std::array kClassicColors{
    TNamedColor{clBlack, "Black"},   TNamedColor{clMaroon, "Maroon"},
    TNamedColor{clGreen, "Green"},   TNamedColor{clOlive, "Olive"},
    TNamedColor{clNavy, "Navy"},     TNamedColor{clPurple, "Purple"},
    TNamedColor{clTeal, "Teal"},     TNamedColor{clGray, "Gray"},
    TNamedColor{clSilver, "Silver"}, TNamedColor{clRed, "Red"},
    TNamedColor{clLime, "Lime"},     TNamedColor{clYellow, "Yellow"},
    TNamedColor{clBlue, "Blue"},     TNamedColor{clFuchsia, "Fuchsia"},
    TNamedColor{clAqua, "Aqua"},     TNamedColor{clWhite, "White"}};

constexpr std::array kStandardSizes{8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

enum { styleRegular, styleItalic, styleBold, styleBoldItalic };

// A label whose & marks the key that moves to buddy.
QLabel* LabelFor(const QString& text, QWidget* buddy) {
  auto* label = new QLabel(text);
  label->setBuddy(buddy);
  return label;
}

QListWidget* ListIn(QGridLayout* grid, int column, const QString& label, QLineEdit* edit) {
  grid->addWidget(LabelFor(label, edit), 0, column);
  grid->addWidget(edit, 1, column);
  auto* list = new QListWidget;
  grid->addWidget(list, 2, column);
  return list;
}

}  // namespace

TFontDialogForm::TFontDialogForm()
    : faceEdit(new QLineEdit),
      faceList(nullptr),
      styleList(nullptr),
      sizeEdit(new QLineEdit),
      sizeList(nullptr),
      strikeOutBox(new QCheckBox(QtText("QFontDialog", "Stri&keout", QStringLiteral("Stri&keout")))),
      underlineBox(new QCheckBox(QtText("QFontDialog", "&Underline", QStringLiteral("&Underline")))),
      colorCombo(new QComboBox) {
  setWindowTitle(QtText("QFontDialog", "Select Font", QStringLiteral("Font")));
  auto* grid = new QGridLayout;
  faceList = ListIn(grid, 0, QtText("QFontDialog", "&Font", QStringLiteral("&Font")) + u':', faceEdit);
  auto* styleEdit = new QLineEdit;
  styleEdit->setReadOnly(true);
  styleList = ListIn(grid, 1, QtText("QFontDialog", "Font st&yle", QStringLiteral("Font st&yle")) + u':',
                     styleEdit);
  sizeList = ListIn(grid, 2, QtText("QFontDialog", "&Size", QStringLiteral("&Size")) + u':', sizeEdit);
  // Qt names "Bold Italic" by joining the two, as here.
  const QString italic = QtText("QFontDatabase", "Italic", QStringLiteral("Italic"));
  const QString bold = QtText("QFontDatabase", "Bold", QStringLiteral("Bold"));
  styleList->addItems({QtText("QFontDatabase", "Normal", QStringLiteral("Regular")), italic, bold,
                       bold + u' ' + italic});
  for (const auto& pair :
       {std::pair{faceList, faceEdit}, {styleList, styleEdit}, {sizeList, sizeEdit}}) {
    QLineEdit* edit = pair.second;  // clang 14 cannot capture a structured binding
    GuardedConnect(nullptr, pair.first, &QListWidget::currentTextChanged, edit,
                   [edit](const QString& text) { edit->setText(text); });
  }
  auto* effects = new QGroupBox(QtText("QFontDialog", "Effects", QStringLiteral("Effects")));
  auto* effectsLayout = new QVBoxLayout(effects);
  effectsLayout->addWidget(strikeOutBox);
  effectsLayout->addWidget(underlineBox);
  effectsLayout->addWidget(LabelFor(QtText("QPrintSettingsOutput", "Color", QStringLiteral("&Color")) + u':', colorCombo));
  effectsLayout->addWidget(colorCombo);
  for (const TNamedColor& c : kClassicColors)
    colorCombo->addItem(PlatformText(c.name), static_cast<int>(c.color));
  grid->addWidget(effects, 3, 0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  GuardedConnect(nullptr, buttons, &QDialogButtonBox::accepted, this, [this] { accept(); });
  GuardedConnect(nullptr, buttons, &QDialogButtonBox::rejected, this, [this] { reject(); });
  grid->addWidget(buttons, 4, 0, 1, 3);
  setLayout(grid);
}

void TFontDialogForm::accept() {
  bool ok = false;
  Guard(nullptr, [this, &ok] { ok = !check || check(); });
  if (ok) QDialog::accept();
}

TFontDialog::TFontDialog(TComponent* owner)
    : TCommonDialog(owner), font_(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

TFontDialogForm* TFontDialog::FontDialogForm() const {
  return dynamic_cast<TFontDialogForm*>(ActiveDialog());
}

bool TFontDialog::SizeAllowed(int size) const {
  if (!options_.Contains(fdLimitSize)) return size > 0;
  return size > 0 && (minFontSize_ <= 0 || size >= minFontSize_) &&
         (maxFontSize_ <= 0 || size <= maxFontSize_);
}

void TFontDialog::Fill(TFontDialogForm& form) const {
  const bool fixedOnly = options_.Contains(fdFixedPitchOnly);
  const bool scalableOnly = options_.Contains(fdScalableOnly) || options_.Contains(fdTrueTypeOnly);
  for (const QString& family : QFontDatabase::families()) {
    if (fixedOnly && !QFontDatabase::isFixedPitch(family)) continue;
    if (scalableOnly && !QFontDatabase::isScalable(family)) continue;
    form.faceList->addItem(family);
  }
  for (int size : kStandardSizes)
    if (SizeAllowed(size)) form.sizeList->addItem(QString::number(size));
  if (!options_.Contains(fdNoFaceSel)) {
    const auto found = form.faceList->findItems(font_->Name(), Qt::MatchFixedString);
    if (!found.isEmpty()) form.faceList->setCurrentItem(found.first());
    form.faceEdit->setText(found.isEmpty() ? font_->Name() : found.first()->text());
  }
  if (!options_.Contains(fdNoStyleSel)) {
    const TFontStyles style = font_->Style();
    form.styleList->setCurrentRow((style.Contains(fsBold) ? styleBold : styleRegular) +
                                  (style.Contains(fsItalic) ? 1 : 0));
  }
  if (!options_.Contains(fdNoSizeSel)) form.sizeEdit->setText(QString::number(font_->Size()));
  form.strikeOutBox->setChecked(font_->Style().Contains(fsStrikeOut));
  form.underlineBox->setChecked(font_->Style().Contains(fsUnderline));
  int colorIndex = form.colorCombo->findData(static_cast<int>(font_->Color()));
  if (colorIndex < 0) {
    form.colorCombo->addItem(ColorToString(font_->Color()), static_cast<int>(font_->Color()));
    colorIndex = form.colorCombo->count() - 1;
  }
  form.colorCombo->setCurrentIndex(colorIndex);
  const bool effects = options_.Contains(fdEffects);
  form.strikeOutBox->parentWidget()->setVisible(effects);
}

bool TFontDialog::Check(TFontDialogForm& form) const {
  const QString face = form.faceEdit->text().trimmed();
  if (options_.Contains(fdForceFontExist) &&
      form.faceList->findItems(face, Qt::MatchFixedString).isEmpty()) {
    MessageDlg(PlatformText("There is no font with that name.\nChoose a font from the list of fonts."),
               mtWarning, {mbOK}, 0);
    return false;
  }
  bool number = false;
  const int size = form.sizeEdit->text().trimmed().toInt(&number);
  if (!number || size <= 0) {
    MessageDlg(PlatformText("Size must be a number."), mtWarning, {mbOK}, 0);
    return false;
  }
  if (!SizeAllowed(size)) {
    MessageDlg(PlatformText("Size must be between %1 and %2 points.")
                   .arg(minFontSize_ > 0 ? minFontSize_ : 1)
                   .arg(maxFontSize_ > 0 ? maxFontSize_ : 1638),
               mtWarning, {mbOK}, 0);
    return false;
  }
  return true;
}

void TFontDialog::Take(const TFontDialogForm& form) {
  const QString face = form.faceEdit->text().trimmed();
  if (!face.isEmpty()) font_->SetName(face);
  font_->SetSize(form.sizeEdit->text().trimmed().toInt());
  TFontStyles style = font_->Style();
  const int row = form.styleList->currentRow();
  if (row >= 0) {
    style = style - TFontStyles{fsBold, fsItalic};
    if (row == styleBold || row == styleBoldItalic) style.Include(fsBold);
    if (row == styleItalic || row == styleBoldItalic) style.Include(fsItalic);
  }
  if (options_.Contains(fdEffects)) {
    style = style - TFontStyles{fsUnderline, fsStrikeOut};
    if (form.underlineBox->isChecked()) style.Include(fsUnderline);
    if (form.strikeOutBox->isChecked()) style.Include(fsStrikeOut);
    font_->SetColor(static_cast<TColor>(form.colorCombo->currentData().toInt()));
  }
  font_->SetStyle(style);
}

bool TFontDialog::Execute() {
  TFontDialogForm form;
  Fill(form);
  form.check = [this, &form] { return Check(form); };
  if (!RunModal(form)) return false;
  Take(form);
  return true;
}

void TFontDialog::DeclareProperties(TClassBuilder<TFontDialog, TCommonDialog>& b) {
  b.Object("Font", &TFontDialog::Font);
  b.Property("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::SetMinFontSize).Default(0);
  b.Property("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::SetMaxFontSize).Default(0);
  b.Property("Options", &TFontDialog::Options, &TFontDialog::SetOptions,
             kFontDialogOptionIdents)
      .Default(TFontDialogOptions{fdEffects});
}
