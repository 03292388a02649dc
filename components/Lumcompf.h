#pragma once
// TFormHook puts itself in front of its owner form's window procedure, so a
// descendant sees every message of the form first and may swallow it.
// TFormSizer keeps the form's position and size inside optional bounds
// (-1: none), through WM_GETMINMAXINFO and by clamping every proposed move
// and resize (WM_WINDOWPOSCHANGING). The hook is put in place only for a
// component read from a form file (Loaded); once freed it is never called,
// even when a procedure put in front of it later keeps it in the chain.

#include "components/WndProcLink.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/controls/Messages.h"

class TForm;

enum TInitialPosSize { ipsDefault, ipsMin, ipsMax };

class TFormHook : public TComponent {
 public:
  // owner must be a form: EComponentError "Owner must be a form" otherwise.
  explicit TFormHook(TComponent* owner);
  ~TFormHook() override;

  TForm* Form() const { return form_; }
  // True while the hook stands in the form's chain of procedures.
  bool Hooked() const { return link_.Installed(); }
  void Loaded() override;
  // True: the message is handled, the form's own procedure does not see it.
  virtual bool HandleFormMessage(TMessage& message) = 0;

  static void DeclareProperties(TClassBuilder<TFormHook, TComponent>& b);

 private:
  void HookWndProc(TMessage& message);

  TForm* form_ = nullptr;
  TWndProcLink link_;
};

class TFormSizer : public TFormHook {
 public:
  explicit TFormSizer(TComponent* owner);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  TInitialPosSize InitialFormPos() const { return initialFormPos_; }
  void SetInitialFormPos(TInitialPosSize value) { initialFormPos_ = value; }
  TInitialPosSize InitialFormSize() const { return initialFormSize_; }
  void SetInitialFormSize(TInitialPosSize value) { initialFormSize_ = value; }

  int HeightMax() const { return heightMax_; }
  void SetHeightMax(int value);
  int HeightMin() const { return heightMin_; }
  void SetHeightMin(int value);
  int LeftMax() const { return leftMax_; }
  void SetLeftMax(int value);
  int LeftMin() const { return leftMin_; }
  void SetLeftMin(int value);
  int TopMax() const { return topMax_; }
  void SetTopMax(int value);
  int TopMin() const { return topMin_; }
  void SetTopMin(int value);
  int WidthMax() const { return widthMax_; }
  void SetWidthMax(int value);
  int WidthMin() const { return widthMin_; }
  void SetWidthMin(int value);

  // Four bounds as one batch: the form's bounds are applied again at most once.
  virtual void SetMaxBounds(int left, int top, int width, int height);
  virtual void SetMinBounds(int left, int top, int width, int height);

  void Loaded() override;
  bool HandleFormMessage(TMessage& message) override;

  static void DeclareProperties(TClassBuilder<TFormSizer, TFormHook>& b);

 private:
  // Stores a bound; current is the form's coordinate it limits.
  void SetMax(int& max, int min, int value, int current);
  void SetMin(int& min, int max, int value, int current);
  void RequestApply();
  void ApplyBounds();

  bool enabled_ = true;
  int heightMax_ = -1;
  int heightMin_ = -1;
  TInitialPosSize initialFormPos_ = ipsDefault;
  TInitialPosSize initialFormSize_ = ipsDefault;
  int leftMax_ = -1;
  int leftMin_ = -1;
  int topMax_ = -1;
  int topMin_ = -1;
  int widthMax_ = -1;
  int widthMin_ = -1;
  bool batch_ = false;
  bool pending_ = false;
};

void RegisterFormSizerClasses();
