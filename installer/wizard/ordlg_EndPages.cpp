#include "installer/wizard/ordlg_EndPages.h"

#include "installer/engine/cmp_TInstall.h"
#include "platform/controls/CheckRadio.h"
#include "platform/rtl/Format.h"

namespace {

// The counts of what a bad end took back; the labels and no plural forms,
// so that every language can say it for any count.
constexpr char kTextTakenBack[] = "Changes taken back - files: %d, folders: %d, registry values: %d.";
constexpr char kTextEarlierRunTakenBack[] =
    "Changes of an earlier setup that was stopped, taken back - files: %d, folders: %d, registry "
    "values: %d.";

}  // namespace

void TEndPageForm::InitializePage() {
  ProceedBtn->SetVisible(!IsLastPage());
  FinishBtn->SetVisible(!ProceedBtn->Visible());
}

TGoodInstallForm::TGoodInstallForm(TComponent* owner) : TEndPageForm(owner) {
  SetPageDefaults(10, dmAfterGoodInstall);
  ReadForm(this, QStringLiteral(":/forms/GoodInstallForm.form"));
}

TBadInstallForm::TBadInstallForm(TComponent* owner) : TEndPageForm(owner) {
  SetPageDefaults(10, dmAfterBadInstall);
  ReadForm(this, QStringLiteral(":/forms/BadInstallForm.form"));
}

TFormBinding TBadInstallForm::Binding() {
  return {QX_END_PAGE_BINDING(TBadInstallForm), Field("PutBackLabel", &TBadInstallForm::PutBackLabel),
          Field("UndoneLabel", &TBadInstallForm::UndoneLabel),
          Field("FailedLabel", &TBadInstallForm::FailedLabel),
          Field("FailedList", &TBadInstallForm::FailedList)};
}

void TBadInstallForm::PageCreated() {
  if (TCustomInstall* install = CurrentInstall()) report_ = install->UndoReport();
  FillUndoReport();
}

void TBadInstallForm::ShowUndoReport(const TUndoReport& report) {
  report_ = report;
  FillUndoReport();
}

void TBadInstallForm::ApplyLanguage() {
  TEndPageForm::ApplyLanguage();
  FillUndoReport();
}

// Everything put back: the machine is as it was, and the page says so
// instead of calling the software half-installed.
void TBadInstallForm::FillUndoReport() {
  const bool told = !report_.Empty();
  const bool whole = told && report_.failed.isEmpty();
  TopLabel->SetVisible(!whole);
  PutBackLabel->SetVisible(whole);
  UndoneLabel->SetVisible(told);
  if (told) {
    const char* text = report_.earlierRun ? kTextEarlierRunTakenBack : kTextTakenBack;
    UndoneLabel->SetCaption(Format(TranslateText(QString::fromLatin1(text)),
                                   {report_.files, report_.folders, report_.registryValues}));
  }
  FailedLabel->SetVisible(!report_.failed.isEmpty());
  FailedList->SetVisible(!report_.failed.isEmpty());
  FailedList->Items()->Clear();
  for (const QString& line : report_.failed) FailedList->Items()->Add(line);
}

TRebootForm::TRebootForm(TComponent* owner) : TEndPageForm(owner) {
  SetPageDefaults(10, dmReboot);
  ReadForm(this, QStringLiteral(":/forms/RebootForm.form"));
}

TFormBinding TRebootForm::Binding() {
  return {QX_END_PAGE_BINDING(TRebootForm), Field("RG", &TRebootForm::RG),
          Handler("RGClick", &TRebootForm::RGClick)};
}

void TRebootForm::InitializePage() {
  TEndPageForm::InitializePage();
  RG->SetItemIndex(RebootNeeded() ? 0 : 1);
}

void TRebootForm::RGClick(TObject*) {
  SetRebootNeeded(RG->ItemIndex() == 0);
}
