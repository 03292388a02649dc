#pragma once
// What the dialog component, the dialog manager and the registries share
// inside the wizard library: the current-manager scope and the scope that
// frees a form made for one showing.

#include "installer/wizard/cmp_TBaseInstallDlg.h"

#include <initializer_list>
#include <memory>

// Sets the current dialog manager (nullptr: none).
void SetCurrentDialogManager(TDialogManager* manager);

// Sets and clears the current dialog manager around one wizard or prompt.
class TCurrentManagerScope {
 public:
  explicit TCurrentManagerScope(TDialogManager* manager) { SetCurrentDialogManager(manager); }
  ~TCurrentManagerScope() { SetCurrentDialogManager(nullptr); }
  TCurrentManagerScope(const TCurrentManagerScope&) = delete;
  TCurrentManagerScope& operator=(const TCurrentManagerScope&) = delete;
};

// Frees a form made for one showing, whatever happens while it shows (and
// not again when the form freed itself meanwhile).
class TFormScope {
 public:
  explicit TFormScope(TForm* form) : form_(form), alive_(form->WeakSelf()) {}
  ~TFormScope() {
    if (!alive_.expired()) form_->Free();
  }
  TFormScope(const TFormScope&) = delete;
  TFormScope& operator=(const TFormScope&) = delete;
  TForm* get() const { return alive_.expired() ? nullptr : form_; }

 private:
  TForm* form_;
  std::weak_ptr<TControl*> alive_;
};

// A plain exception whose format goes through the translator first.
[[noreturn]] void RaiseTranslated(const char* format, std::initializer_list<TVarRec> args);
