#pragma once
// Dialog components and dialog managers: the install objects (registered
// type 9000) through which the install run's stage codes reach the wizard.
// A dialog component holds one page's settings and, standing alone, shows
// its page as a modal window on its code; a dialog manager gathers every
// page registered for its manager type into one wizard (TBaseFormContainer)
// and also drives the forms shown while files are copied and the change-disk
// prompt.
//
// Page forms reach a wizard through three registries. A page form class is
// named by its maker (FormClassOf<T>); a page's units register their form
// with RegisterInstallForm, and a placed component registers (form, itself).
//
// The code: the registries in cmp_TBaseInstallDlg_Registries.cpp, the
// component in cmp_TBaseInstallDlg.cpp, the manager in _Manager.cpp, the
// window placement in _Placement.cpp.

#include "installer/engine/cmp_TInstallContainer.h"
#include "installer/wizard/cmp_TBaseOndrixForm.h"

#include <functional>
#include <memory>

class TBitmap;
class TDialogManager;
class TCustomBaseInstallDlg;
class TDiskParameter;

enum TManagerType {
  dmBeforeInstall,
  dmAfterGoodInstall,
  dmAfterBadInstall,
  dmDuringCopyFiles,
  dmChangeDisk,
  dmReboot
};
extern const TEnumInfo kManagerTypeIdents;

enum TOndrixDialogPosition {
  odpCenterLeft,
  odpCenter,
  odpCenterRight,
  odpBottomLeft,
  odpBottomCenter,
  odpBottomRight,
  odpTopLeft,
  odpTopCenter,
  odpTopRight
};
extern const TEnumInfo kOndrixDialogPositionIdents;

// A form class: makes the form with its owner (the owner frees it).
using TFormClass = TForm* (*)(TComponent* owner);
template <class F>
TForm* FormClassOf(TComponent* owner) {
  return new F(owner);
}

struct TBIFEntry {
  TFormClass formClass = nullptr;
  TCustomBaseInstallDlg* dialog = nullptr;
  int tag = 0;
};
struct TDCFEntry {
  TFormClass formClass = nullptr;
  int value1 = 0;
  int value2 = 0;
};
struct TBCDFEntry {
  TFormClass formClass = nullptr;
  TCustomBaseInstallDlg* dialog = nullptr;
  int tag = 0;
};

// Wizard page forms.
TBIFEntry* RegisterInstallForm(TFormClass formClass, TCustomBaseInstallDlg* dialog, int tag);
void UnregisterInstallForm(TBIFEntry* entry);
int InstallFormCount();
// Exception "The BIFList is NIL", "%d is an invalid index in the BIFList".
TBIFEntry* GetInstallFormEntry(int index);
// Forms shown while files are copied.
TDCFEntry* RegisterDuringCopyForm(TFormClass formClass, int value1, int value2);
void UnregisterDuringCopyForm(TDCFEntry* entry);
int DuringCopyFormCount();
TDCFEntry* GetDuringCopyFormEntry(int index);
// Change-disk forms.
TBCDFEntry* RegisterChangeDiskForm(TFormClass formClass, TCustomBaseInstallDlg* dialog, int tag);
void UnregisterChangeDiskForm(TBCDFEntry* entry);
int ChangeDiskFormCount();
TBCDFEntry* GetChangeDiskFormEntry(int index);

// The first dialog manager of that type whose Container is the current
// install component; nullptr when none.
TDialogManager* FindDialogManager(TManagerType type);
// The manager whose wizard is being built or shown; nullptr between wizards.
TDialogManager* CurrentDialogManager();

// Asks whether the user really wants to abort the installation, as the
// Cancel buttons do: yes without an install component. The install
// component's question stands behind it; tests and the install run may put
// their own in place (reset with the process state).
using TUserAbortQuestion = std::function<bool()>;
void SetUserAbortQuestion(TUserAbortQuestion question);
bool WizardAskUserAbort();

// ---------------------------------------------------------------------------

class TCustomBaseInstallDlg : public TInstallObject {
 public:
  explicit TCustomBaseInstallDlg(TComponent* owner);
  ~TCustomBaseInstallDlg() override;

  bool AutoSetFont() const { return autoSetFont_; }
  void SetAutoSetFont(bool v) { autoSetFont_ = v; }
  bool AutoTranslate() const { return autoTranslate_; }
  void SetAutoTranslate(bool v) { autoTranslate_ = v; }
  // The language of the last translation (the next starts from it).
  TOndxLanguage LastLanguage() const { return lastLanguage_; }
  // The page form while it exists.
  TForm* Dialog() const { return dialog_; }
  void SetDialog(TForm* form);
  TDialogManager* DialogManager() const { return dialogManager_; }
  virtual void SetDialogManager(TDialogManager* value);
  // The page's place in a wizard (smaller first): the component's own, not
  // the container's Order of its helpers, which is their processing rank
  // and is renumbered whenever a helper comes or goes.
  int Order() const { return order_; }
  void SetOrder(int v) { order_ = v; }
  bool OverrideMainTranslator() const { return overrideMainTranslator_; }
  void SetOverrideMainTranslator(bool v) { overrideMainTranslator_ = v; }
  TOndxLanguage TranslateIntoLanguage() const { return translateIntoLanguage_; }
  void SetTranslateIntoLanguage(TOndxLanguage v) { translateIntoLanguage_ = v; }
  TBitmap* ThemeBitmap() const { return themeBitmap_.get(); }
  virtual void SetThemeBitmap(TBitmap* value);

  TNotifyEvent OnAfterExecute;
  TNotifyEvent OnBeforeExecute;

  virtual void Translate();
  virtual void AssignDialogProperties();
  // OnBeforeExecute, ShowDialog, OnAfterExecute; an EAbort among them is
  // swallowed (see the .cpp), anything else goes on.
  virtual bool Execute();
  // Shows FormClass modally; a result other than mrOk raises EAIUserAbort.
  virtual bool ShowDialog();
  virtual TFormClass FormClass() const = 0;
  virtual bool CanShow() { return true; }

  void ContainerDestroyed(TInstallContainer* container) override;
  int GetRegisteredType() const override { return rtDialog; }
  void LanguageChanged() override { Translate(); }
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TCustomBaseInstallDlg, TInstallObject>& b);
  // The rows every published dialog component shares: how it translates
  // and fonts its window, and the window's theme picture.
  template <class T, class B>
  static void DeclareTranslation(TClassBuilder<T, B>& b) {
    b.Property("AutoSetFont", &T::AutoSetFont, &T::SetAutoSetFont).Default(true);
    b.Property("AutoTranslate", &T::AutoTranslate, &T::SetAutoTranslate).Default(true);
    b.Property("OverrideMainTranslator", &T::OverrideMainTranslator, &T::SetOverrideMainTranslator)
        .Default(false);
    b.Object("ThemeBitmap", &T::ThemeBitmap);
    b.Property("TranslateIntoLanguage", &T::TranslateIntoLanguage, &T::SetTranslateIntoLanguage,
               kOndxLanguageIdents)
        .Default(olUser);
  }

 protected:
  // A page component's constructor: its default Order, its registration
  // (form, self) and its manager found by type (set without the setter).
  void RegisterPage(int defaultOrder, TManagerType type);
  // A change-disk component's constructor: the same in the change-disk list.
  void RegisterChangeDisk(TManagerType type);
  // A page component answers its code only while it stands alone.
  bool StandsAlone() const { return dialogManager_ == nullptr; }

 private:
  bool autoSetFont_ = true;
  bool autoTranslate_ = true;
  TOndxLanguage lastLanguage_ = olEnglish;
  TForm* dialog_ = nullptr;
  TDialogManager* dialogManager_ = nullptr;
  int order_ = 0;
  bool overrideMainTranslator_ = false;
  TOndxLanguage translateIntoLanguage_ = olUser;
  std::unique_ptr<TBitmap> themeBitmap_;
  TBIFEntry* pageEntry_ = nullptr;
  TBCDFEntry* changeDiskEntry_ = nullptr;
};

// The base of every wizard-page dialog component.
class TBaseInstallDlg : public TCustomBaseInstallDlg {
 public:
  using TCustomBaseInstallDlg::TCustomBaseInstallDlg;
  static void DeclareProperties(TClassBuilder<TBaseInstallDlg, TCustomBaseInstallDlg>& b);
};

// ---------------------------------------------------------------------------
// The bases of the forms a manager drives while files are copied and when
// it asks for the next disk.

class TBaseDuringCopyForm : public TBaseOndrixForm {
 public:
  explicit TBaseDuringCopyForm(TComponent* owner);
  TDialogManager* DM() const { return dm_; }
  void SetDM(TDialogManager* v) { dm_ = v; }
  virtual void CancelCopy() {}
  virtual void UpdateStatus(TFileStatusParameter* fileStatus, TDownloadStatusParameter* download);

 private:
  TDialogManager* dm_ = nullptr;
};

class TBaseChangeDiskForm : public TBaseOndrixForm {
 public:
  explicit TBaseChangeDiskForm(TComponent* owner);
  TDialogManager* DM() const { return dm_; }
  void SetDM(TDialogManager* v) { dm_ = v; }
  TDiskParameter* DiskParameter() const { return diskParameter_; }
  void SetDiskParameter(TDiskParameter* v) { diskParameter_ = v; }

 private:
  TDialogManager* dm_ = nullptr;
  TDiskParameter* diskParameter_ = nullptr;
};

// ---------------------------------------------------------------------------

// Where a wizard window goes: its size, and its place on the screen by a
// position and two offsets.
class TDialogPlacement {
 public:
  TDialogPlacement(int width, int height) : height_(height), width_(width) {}

  int Height() const { return height_; }
  void SetHeight(int v) { height_ = v; }
  TOndrixDialogPosition Position() const { return position_; }
  void SetPosition(TOndrixDialogPosition v) { position_ = v; }
  int RelativeLeftOffset() const { return relativeLeftOffset_; }
  void SetRelativeLeftOffset(int v) { relativeLeftOffset_ = v; }
  int RelativeTopOffset() const { return relativeTopOffset_; }
  void SetRelativeTopOffset(int v) { relativeTopOffset_ = v; }
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }

  // Where a form of that size goes on a screen of that size.
  TPoint PlaceOnScreen(int formWidth, int formHeight, int screenWidth, int screenHeight,
                       int captionHeight) const;
  // Gives form this size and puts it in its place on the screen.
  void PlaceForm(TForm* form) const;

  // The published rows of a class that places its window so.
  template <class T, class B>
  static void DeclarePlacement(TClassBuilder<T, B>& b, int width, int height) {
    b.Property("Height", &T::Height, &T::SetHeight).Default(height);
    b.Property("Position", &T::Position, &T::SetPosition, kOndrixDialogPositionIdents).Default(odpCenter);
    b.Property("RelativeLeftOffset", &T::RelativeLeftOffset, &T::SetRelativeLeftOffset).Default(0);
    b.Property("RelativeTopOffset", &T::RelativeTopOffset, &T::SetRelativeTopOffset).Default(0);
    b.Property("Width", &T::Width, &T::SetWidth).Default(width);
  }

 private:
  int height_;
  TOndrixDialogPosition position_ = odpCenter;
  int relativeLeftOffset_ = 0;
  int relativeTopOffset_ = 0;
  int width_;
};

class TDialogManager : public TInstallObject, public TDialogPlacement {
 public:
  explicit TDialogManager(TComponent* owner);
  ~TDialogManager() override;

  TManagerType ManagerType() const { return managerType_; }
  void SetManagerType(TManagerType v) { managerType_ = v; }
  const QList<TCustomBaseInstallDlg*>& Dialogs() const { return dialogs_; }
  const QList<TForm*>& OpenDuringCopyForms() const { return openForms_; }

  // Builds, places and shows the wizard of this manager's pages; a
  // confirmed cancel raises EAIUserAbort.
  virtual void Execute();
  virtual void ShowChangeDisk(TObject* parameter);
  // Exception "Cannot add a NIL Dialog to the Dialog Manager %s".
  virtual void AddDialog(TCustomBaseInstallDlg* dialog);
  virtual void RemoveDialog(TCustomBaseInstallDlg* dialog);
  void CreateDuringCopyForms();
  void UpdateDuringCopyForms(TFileStatusParameter* fileStatus, TDownloadStatusParameter* download);
  void CloseDuringCopyForms();

  void ContainerDestroyed(TInstallContainer* container) override;
  void HandleMessage(TInstallContainer* sender, int code, TObject* param) override;
  int GetRegisteredType() const override { return rtDialog; }
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TDialogManager, TInstallObject>& b);

 private:
  QList<TForm*> openForms_;
  QList<TCustomBaseInstallDlg*> dialogs_;
  TManagerType managerType_ = dmBeforeInstall;
};

// The caption height the manager places by (the system's title bar).
int SystemCaptionHeight();

void RegisterInstallDialogClasses();
