#include "installer/wizard/cmp_TBaseFormContainer.h"

#include "installer/engine/cmp_TInstall.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"
#include "platform/controls/Messages.h"
#include "platform/controls/PageControl.h"
#include "platform/controls/Panel.h"

#include <QApplication>
#include <QStyle>
#include <QWidget>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterWizardQrc() { Q_INIT_RESOURCE(wizard); }

static void InitWizardResources() {
  static const bool done = (RegisterWizardQrc(), true);
  (void)done;
}

int SystemCaptionHeight() {
  if (QApplication::style() == nullptr) return 0;
  return QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
}

// ---------------------------------------------------------------------------
// TBaseFormContainer.

TBaseFormContainer::TBaseFormContainer(TComponent* owner) : TForm(owner) {
  InitWizardResources();
  ReadForm(this);
}

// The pages' windows are children of the frame's: they go first.
TBaseFormContainer::~TBaseFormContainer() { FreePages(); }

void TBaseFormContainer::FreePages() {
  const QList<TBaseInstallForm*> pages = pages_;
  pages_.clear();
  for (TBaseInstallForm* page : pages) page->Free();
}

TFormBinding TBaseFormContainer::Binding() {
  return {
      Field("DisplayPanel", &TBaseFormContainer::DisplayPanel),
      Field("Tabs", &TBaseFormContainer::Tabs),
      Handler("FormCreate", &TBaseFormContainer::FormCreate),
      Handler("FormDestroy", &TBaseFormContainer::FormDestroy),
      Handler("FormResize", &TBaseFormContainer::FormResize),
      Handler("FormShow", &TBaseFormContainer::FormShow),
      Handler("TabsChange", &TBaseFormContainer::TabsChange),
      Handler("TabsChanging", &TBaseFormContainer::TabsChanging),
  };
}

void TBaseFormContainer::FormCreate(TObject*) {
  Font()->SetCharset(0);
  resizing_ = true;
  SetHeight(395);
  SetWidth(478);
  resizing_ = false;
}

void TBaseFormContainer::FormDestroy(TObject*) { FreePages(); }

void TBaseFormContainer::FormResize(TObject*) {
  if (resizing_ || DisplayPanel == nullptr) return;
  for (TBaseInstallForm* page : pages_) {
    page->SetBounds(DisplayPanel->Left(), DisplayPanel->Top(), DisplayPanel->Width(),
                    DisplayPanel->Height());
    page->Repaint();
  }
}

void TBaseFormContainer::FormShow(TObject*) {
  if (!GoToPage(0, true)) GoToPage(0, false);
}

int TBaseFormContainer::PopulatePages() {
  TDialogManager* manager = CurrentDialogManager();
  if (manager == nullptr)
    throw Exception(TranslateText(QStringLiteral("The current dialog manager is not defined")));
  pages_.clear();
  for (int i = 0; i < InstallFormCount(); ++i) {
    TBIFEntry* entry = GetInstallFormEntry(i);
    TCustomBaseInstallDlg* dialog = entry->dialog;
    if (dialog != nullptr && (dialog->DialogManager() != manager || !dialog->CanShow())) continue;
    TForm* form = entry->formClass(this);
    auto* page = dynamic_cast<TBaseInstallForm*>(form);
    if (page == nullptr || (dialog == nullptr && page->DM() != manager)) {
      RemoveComponent(form);
      form->Free();
      continue;
    }
    page->SetDC(dialog);
    if (dialog != nullptr) {
      page->SetContainer(dynamic_cast<TInstallObject*>(dialog->Container()));
      page->SetOrder(dialog->Order());
      dialog->SetDialog(page);
      dialog->AssignDialogProperties();
    } else if (page->Container() == nullptr) {
      // A page without a component works on the install itself.
      page->SetContainer(CurrentInstall());
    }
    Tabs->Tabs()->Add(page->Caption());
    page->SetBounds(DisplayPanel->Left(), DisplayPanel->Top(), DisplayPanel->Width(),
                    DisplayPanel->Height());
    page->ApplyLanguage();
    page->Show();
    pages_.append(page);
  }
  // An exchange sort, as the pages have always been ordered.
  for (int i = 0; i < pages_.size(); ++i)
    for (int j = i + 1; j < pages_.size(); ++j)
      if (pages_[j]->Order() < pages_[i]->Order()) pages_.swapItemsAt(i, j);
  return static_cast<int>(pages_.size());
}

bool TBaseFormContainer::GoToPage(int index, bool backward) {
  if (index < 0 || index >= pages_.size()) return false;
  TBaseInstallForm* page = pages_[index];
  if (page->SkipPage()) return backward ? GoToPage(index - 1, true) : GoToPage(index + 1, false);
  Tabs->SetTabIndex(index);
  // The page is drawn before the title names it: the window never shows
  // one page under another's title.
  page->ActivatePage();
  page->Repaint();
  SetCaption(page->Caption());
  return true;
}

int TBaseFormContainer::CurrentIndex() const { return Tabs != nullptr ? Tabs->TabIndex() : -1; }

TBaseInstallForm* TBaseFormContainer::CurrentPage() const {
  const int index = CurrentIndex();
  return index >= 0 && index < pages_.size() ? pages_[index] : nullptr;
}

void TBaseFormContainer::PreviousPage() {
  const int index = CurrentIndex();
  if (!GoToPage(index - 1, true)) GoToPage(index - 1, false);
}

void TBaseFormContainer::NextPage() {
  const int remembered = CurrentIndex();
  if (!GoToPage(remembered + 1, false)) GoToPage(remembered + 1, true);
  if (CurrentIndex() == remembered) {
    SetModalResult(mrOk);
    if (!Modal()) Close();
  }
}

void TBaseFormContainer::TabsChange(TObject*) {
  if (!GoToPage(CurrentIndex(), true)) GoToPage(CurrentIndex(), false);
}

void TBaseFormContainer::TabsChanging(TObject*, bool&) {
  if (TBaseInstallForm* page = CurrentPage()) page->PageLeaving();
}

bool TBaseFormContainer::IsFirstPage() const {
  const int index = CurrentIndex();
  for (int i = 0; i < index && i < pages_.size(); ++i)
    if (!pages_[i]->SkipPage()) return false;
  return true;
}

bool TBaseFormContainer::IsLastPage() const { return pages_.size() == CurrentIndex() + 1; }

// The window manager's close is the Cancel button's question, never a
// silent end of the wizard.
void TBaseFormContainer::DefaultHandler(TMessage& message) {
  if (message.Msg == WM_CLOSE && Modal()) {
    if (TBaseInstallForm* page = CurrentPage())
      page->CancelWizard();
    else if (WizardAskUserAbort())
      SetModalResult(mrAbort);
    return;
  }
  TForm::DefaultHandler(message);
}

// ---------------------------------------------------------------------------
// TBaseInstallForm.

TBaseInstallForm::TBaseInstallForm(TComponent* owner) : TBaseOndrixForm(owner) {}

TBaseInstallForm::~TBaseInstallForm() = default;

void TBaseInstallForm::SetPageDefaults(int order, TManagerType type) {
  order_ = order;
  SetDM(FindDialogManager(type));
}

void TBaseInstallForm::SetDC(TCustomBaseInstallDlg* v) {
  if (v == dc_) return;
  if (dc_ != nullptr) dc_->RemoveFreeNotification(this);
  dc_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TBaseInstallForm::SetDM(TDialogManager* v) {
  if (v == dm_) return;
  if (dm_ != nullptr) dm_->RemoveFreeNotification(this);
  dm_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TBaseInstallForm::Notification(TComponent* component, TOperation operation) {
  TBaseOndrixForm::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == dc_) dc_ = nullptr;
  if (component == dm_) dm_ = nullptr;
}

TBaseFormContainer* TBaseInstallForm::FormContainer() const {
  return dynamic_cast<TBaseFormContainer*>(Owner());
}

// Inside a frame the page is a borderless child window over its display.
void TBaseInstallForm::Loaded() {
  TBaseOndrixForm::Loaded();
  auto* owner = dynamic_cast<TForm*>(Owner());
  if (owner == nullptr) return;
  SetVisible(false);
  SetPosition(poDesigned);
  SetBorderIcons(TBorderIcons{});
  SetBorderStyle(bsNone);
  // A child window only: the page stays a form of its own, so its buttons'
  // modal results stay on the page.
  Handle()->setParent(owner->Handle());
  SetBounds(0, 0, owner->ClientWidth(), owner->Height());
}

Qt::WindowFlags TBaseInstallForm::TopLevelFlags() const {
  if (dynamic_cast<TForm*>(Owner()) != nullptr) return Qt::Widget;
  return TBaseOndrixForm::TopLevelFlags();
}

bool TBaseInstallForm::IsFirstPage() {
  TBaseFormContainer* frame = FormContainer();
  return frame != nullptr && frame->IsFirstPage();
}

bool TBaseInstallForm::IsLastPage() {
  TBaseFormContainer* frame = FormContainer();
  return frame != nullptr && frame->IsLastPage();
}

void TBaseInstallForm::NextPage() {
  if (TBaseFormContainer* frame = FormContainer()) frame->NextPage();
}

void TBaseInstallForm::PreviousPage() {
  if (TBaseFormContainer* frame = FormContainer()) frame->PreviousPage();
}

void TBaseInstallForm::ActivatePage() {
  if (dynamic_cast<TForm*>(Owner()) == nullptr) return;
  InitializeForm();
  BringToFront();
}

void TBaseInstallForm::SetModalResultOfWizard(TModalResult result) {
  if (TBaseFormContainer* frame = FormContainer())
    frame->SetModalResult(result);
  else
    SetModalResult(result);
}

void TBaseInstallForm::AbortWizard() { SetModalResultOfWizard(mrAbort); }

void TBaseInstallForm::CancelWizard() {
  if (WizardAskUserAbort()) SetModalResultOfWizard(mrAbort);
}

// A stand-alone page closed by the window manager asks as Cancel does.
void TBaseInstallForm::DefaultHandler(TMessage& message) {
  if (message.Msg == WM_CLOSE && Modal() && FormContainer() == nullptr) {
    CancelWizard();
    return;
  }
  TBaseOndrixForm::DefaultHandler(message);
}

void TBaseInstallForm::DeclareProperties(TClassBuilder<TBaseInstallForm, TBaseOndrixForm>& b) {
  b.Property("Order", &TBaseInstallForm::Order, &TBaseInstallForm::SetOrder).Default(0);
}

void RegisterWizardFormClasses() {
  RegisterControlClasses();
  if (GetClass(QStringLiteral("TBaseFormContainer")) == nullptr)
    RegisterClass<TBaseFormContainer>();
}
