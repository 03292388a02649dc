#pragma once
// TBaseOndrixForm: the base of every window of the setup wizard. It takes
// the current language's texts and font through the main translator each
// time the wizard shows it (ApplyLanguage); while it lives it stands in the
// install unit's list of wizard forms, which a language change walks.

#include "installer/wizard/cmp_TTranslator.h"
#include "platform/controls/Form.h"

class TInstallObject;

class TBaseOndrixForm : public TForm {
 public:
  explicit TBaseOndrixForm(TComponent* owner);
  ~TBaseOndrixForm() override;

  bool AutoSetFont() const { return autoSetFont_; }
  void SetAutoSetFont(bool v) { autoSetFont_ = v; }
  bool AutoTranslate() const { return autoTranslate_; }
  void SetAutoTranslate(bool v) { autoTranslate_ = v; }
  // The install object the form works on (its dialog component sets it).
  TInstallObject* Container() const { return container_; }
  void SetContainer(TInstallObject* v);
  // The language the form's texts are in now.
  TOndxLanguage FormLanguage() const { return formLanguage_; }
  void SetFormLanguage(TOndxLanguage v) { formLanguage_ = v; }
  bool OverrideMainTranslator() const { return overrideMainTranslator_; }
  void SetOverrideMainTranslator(bool v) { overrideMainTranslator_ = v; }
  TOndxLanguage TranslateIntoLanguage() const { return translateIntoLanguage_; }
  void SetTranslateIntoLanguage(TOndxLanguage v) { translateIntoLanguage_ = v; }

  // Runs ApplyLanguage (after the user picked another language).
  virtual void RefreshLanguage(TObject* sender);
  // Each page fills its controls here before it is shown.
  virtual void InitializeForm() {}
  // Font, then texts, then pending messages. Without a main translator
  // neither step changes anything.
  virtual void ApplyLanguage();

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TBaseOndrixForm, TForm>& b);

 private:
  bool autoSetFont_ = true;
  bool autoTranslate_ = true;
  TInstallObject* container_ = nullptr;
  TOndxLanguage formLanguage_ = olEnglish;
  bool overrideMainTranslator_ = false;
  TOndxLanguage translateIntoLanguage_ = olUser;
};

// Runs RefreshLanguage on every live wizard form, in creation order.
void RefreshAllOndrixForms();
