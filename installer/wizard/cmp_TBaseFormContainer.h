#pragma once
// The wizard frame (TBaseFormContainer) and the base of its pages
// (TBaseInstallForm). The frame holds the pages of one dialog manager as
// borderless child windows over its display panel and moves between them
// with each page's Back, Next and Cancel; it ends with mrOk (finished) or
// mrAbort (a confirmed cancel). Closing the frame, or a stand-alone page,
// through the window manager is a cancel, asked like the Cancel button.

#include "installer/wizard/cmp_TBaseInstallDlg.h"
#include "installer/wizard/cmp_TBaseOndrixForm.h"

#include <QList>

class TBaseInstallForm;
class TPanel;
class TTabControl;

class TBaseFormContainer : public TForm {
 public:
  explicit TBaseFormContainer(TComponent* owner);
  ~TBaseFormContainer() override;
  QString FormResourceName() const override {
    return QStringLiteral(":/forms/BaseFormContainer.form");
  }
  static TFormBinding Binding();

  TPanel* DisplayPanel = nullptr;
  TTabControl* Tabs = nullptr;

  // Exception "The current dialog manager is not defined" without one.
  int PopulatePages();
  bool GoToPage(int index, bool backward);
  virtual void PreviousPage();
  virtual void NextPage();
  bool IsFirstPage() const;
  bool IsLastPage() const;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TBaseInstallForm* Page(int index) const { return pages_.at(index); }
  // The current page's index (the tab index).
  int CurrentIndex() const;
  TBaseInstallForm* CurrentPage() const;

  void FormCreate(TObject* sender);
  void FormDestroy(TObject* sender);
  void FormResize(TObject* sender);
  void FormShow(TObject* sender);
  void TabsChange(TObject* sender);
  void TabsChanging(TObject* sender, bool& allowChange);

 protected:
  void DefaultHandler(TMessage& message) override;

 private:
  void FreePages();

  bool resizing_ = false;
  QList<TBaseInstallForm*> pages_;
};

class TBaseInstallForm : public TBaseOndrixForm {
 public:
  explicit TBaseInstallForm(TComponent* owner);
  ~TBaseInstallForm() override;

  TCustomBaseInstallDlg* DC() const { return dc_; }
  void SetDC(TCustomBaseInstallDlg* v);
  TDialogManager* DM() const { return dm_; }
  void SetDM(TDialogManager* v);
  int Order() const { return order_; }
  void SetOrder(int v) { order_ = v; }

  virtual bool IsFirstPage();
  virtual bool IsLastPage();
  virtual void PageLeaving() {}
  // Ends the wizard as cancelled without asking.
  virtual void AbortWizard();
  virtual void NextPage();
  virtual void PreviousPage();
  virtual void ActivatePage();
  virtual bool SkipPage() { return false; }
  // Asks WizardAskUserAbort; yes ends the wizard (or the stand-alone page)
  // with mrAbort.
  virtual void CancelWizard();

  // The frame the page stands in; nullptr outside a wizard.
  TBaseFormContainer* FormContainer() const;

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TBaseInstallForm, TBaseOndrixForm>& b);

 protected:
  // A page form's constructor: its default Order and its manager by type.
  void SetPageDefaults(int order, TManagerType type);
  void DefaultHandler(TMessage& message) override;
  Qt::WindowFlags TopLevelFlags() const override;

 private:
  void SetModalResultOfWizard(TModalResult result);

  TCustomBaseInstallDlg* dc_ = nullptr;
  TDialogManager* dm_ = nullptr;
  int order_ = 0;
};

void RegisterWizardFormClasses();
