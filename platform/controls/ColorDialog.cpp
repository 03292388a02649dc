#include "platform/controls/ColorDialog.h"

#include <QColorDialog>

const TEnumInfo kColorDialogOptionIdents{"cdFullOpen", "cdPreventFullOpen", "cdShowHelp",
                                         "cdSolidColor", "cdAnyColor"};

namespace {

constexpr int kCustomCount = 16;

QString CustomName(int index) { return QStringLiteral("Color") + QChar(u'A' + index); }

}  // namespace

TColorDialog::TColorDialog(TComponent* owner)
    : TCommonDialog(owner), customColors_(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

QColorDialog* TColorDialog::ColorDialogWidget() const {
  return qobject_cast<QColorDialog*>(ActiveDialog());
}

bool TColorDialog::Execute() {
  // Qt keeps custom colours process-wide: put back what was there after.
  QList<QColor> saved;
  for (int i = 0; i < kCustomCount; ++i) saved.append(QColorDialog::customColor(i));
  struct Restore {
    const QList<QColor>& colors;
    ~Restore() {
      for (int i = 0; i < kCustomCount; ++i) QColorDialog::setCustomColor(i, colors.at(i));
    }
  } restore{saved};
  for (int i = 0; i < kCustomCount; ++i) {
    const QString value = customColors_->Values(CustomName(i)).trimmed();
    bool ok = false;
    const uint bgr = value.toUInt(&ok, 16);
    QColorDialog::setCustomColor(i, ok && bgr <= 0xFFFFFF ? ColorToQColor(ColorOf(bgr))
                                                          : QColor(Qt::white));
  }
  QColorDialog dialog;
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  dialog.setCurrentColor(ColorToQColor(color_));
  if (!RunModal(dialog)) return false;
  color_ = QColorToColor(dialog.currentColor());
  for (int i = 0; i < kCustomCount; ++i) {
    const auto value = static_cast<std::uint32_t>(QColorToColor(QColorDialog::customColor(i)));
    customColors_->SetValues(CustomName(i),
                             QStringLiteral("%1").arg(value & 0xFFFFFF, 6, 16, QChar(u'0')).toUpper());
  }
  return true;
}

void TColorDialog::DeclareProperties(TClassBuilder<TColorDialog, TCommonDialog>& b) {
  b.Property("Color", &TColorDialog::Color, &TColorDialog::SetColor, kColorIdents)
      .Default(clBlack);
  b.Object("CustomColors", &TColorDialog::CustomColors);
  b.Property("Options", &TColorDialog::Options, &TColorDialog::SetOptions,
             kColorDialogOptionIdents)
      .Default(TColorDialogOptions{});
}
