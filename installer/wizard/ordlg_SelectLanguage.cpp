#include "installer/wizard/ordlg_SelectLanguage.h"

#include "installer/engine/cmp_TInstallContainer.h"
#include "platform/controls/Screen.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/ProcessState.h"

#include <cmath>

TSelectLanguageForm::TSelectLanguageForm(TComponent* owner) : TWizardPageForm(owner) {
  SetPageDefaults(0, dmBeforeInstall);
  ReadForm(this, QStringLiteral(":/forms/ordlg_SelectLanguage.form"));
}

TSelectLanguageForm::~TSelectLanguageForm() = default;

TFormBinding TSelectLanguageForm::Binding() {
  using F = TSelectLanguageForm;
  return {
      QX_WIZARD_PAGE_BINDING,
      Field("LanguageGrid", &F::LanguageGrid),
      Handler("LanguageGridClick", &F::LanguageGridClick),
      Handler("LanguageGridDrawCell", &F::LanguageGridDrawCell),
  };
}

void TSelectLanguageForm::PageCreated() {
  for (auto& bitmap : bitmaps_) {
    bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromResourceName(QStringLiteral("BM_LANG_NONE"));
  }
  LanguageGrid->OnKeyPress = [this](TObject*, char&) { ChooseCurrentCell(); };
}

void TSelectLanguageForm::InitializePage() {
  TTranslator* translator = GlobalTranslator();
  if (translator == nullptr) return;
  QList<TLanguage*> shown;
  for (const auto& language : translator->Languages())
    if (language->Strings()->Count() > 1) shown.append(language.get());
  const int columns = LanguageGrid->ColCount();
  filling_ = true;
  LanguageGrid->SetRowCount(std::max(1, static_cast<int>(std::lround(
                                            static_cast<double>(shown.size()) / columns + 0.1))));
  for (int row = 0; row < LanguageGrid->RowCount(); ++row)
    for (int col = 0; col < columns; ++col) {
      LanguageGrid->SetCells(col, row, QString());
      LanguageGrid->SetObjects(col, row, nullptr);
    }
  for (int i = 0; i < shown.size(); ++i) {
    TLanguage* language = shown[i];
    const int col = i % columns;
    const int row = i / columns;
    if (row >= LanguageGrid->RowCount()) LanguageGrid->SetRowCount(row + 1);
    bitmaps_[language->LanguageIdent()]->LoadFromResourceName(language->BitmapName());
    LanguageGrid->SetCells(col, row, LangIdToString(language->LanguageIdent()));
    LanguageGrid->SetObjects(col, row, language);
    if (language->LanguageIdent() == translator->TranslateIntoLanguage()) {
      LanguageGrid->SetCol(col);
      LanguageGrid->SetRow(row);
    }
  }
  filling_ = false;
}

void TSelectLanguageForm::LanguageGridClick(TObject*) { ChooseCurrentCell(); }

void TSelectLanguageForm::ChooseCurrentCell() {
  TTranslator* translator = GlobalTranslator();
  auto* language = dynamic_cast<TLanguage*>(LanguageGrid->Objects(LanguageGrid->Col(), LanguageGrid->Row()));
  if (filling_ || translator == nullptr || language == nullptr) return;
  const TCursor cursor = Screen != nullptr ? Screen->Cursor() : crDefault;
  if (Screen != nullptr) Screen->SetCursor(crHourGlass);
  LanguageGrid->SetEnabled(false);
  struct TRestore {
    TSelectLanguageForm* self;
    TCursor cursor;
    ~TRestore() {
      self->LanguageGrid->SetEnabled(true);
      if (Screen != nullptr) Screen->SetCursor(cursor);
    }
  } restore{this, cursor};
  translator->SetTranslateIntoLanguage(language->LanguageIdent());
  const QList<TInstallContainer*> containers = InstallUnitState().containers;
  for (TInstallContainer* container : containers) container->LanguageChanged();
  RefreshAllOndrixForms();
  CancelBtn->Repaint();
}

void TSelectLanguageForm::LanguageGridDrawCell(TObject*, int aCol, int aRow, TRect rect, TGridDrawState) {
  try {
    TCanvas* canvas = LanguageGrid->Canvas();
    canvas->FillRect(rect);
    auto* language = dynamic_cast<TLanguage*>(LanguageGrid->Objects(aCol, aRow));
    if (language == nullptr) return;
    TBitmap* bitmap = bitmaps_[language->LanguageIdent()].get();
    bitmap->SetTransparentColor(static_cast<TColor>(0x008080));
    bitmap->SetTransparent(true);
    const int top = rect.Top + static_cast<int>(std::lround((rect.Bottom - rect.Top - bitmap->Height()) / 2.0));
    canvas->Draw(rect.Left + 2, top, bitmap);
  } catch (const Exception&) {
    // A cell that cannot be drawn stays blank.
  }
}
