#pragma once
// TFormPlacement saves its owner form's placement when the form closes and
// restores it when the form is shown, in a registry key or an INI file.
// TWinMinMaxInfo holds the form's size and position limits (0: not set);
// through a TIniLink another component stores its own data in the
// placement's storage while that is open.

#include "components/AppUtils.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/controls/Messages.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class TForm;
class TFormPlacement;
class TKvWindowHook;

enum TPlacementOption { fpState, fpPosition, fpActiveControl };
using TPlacementOptions = TSet<TPlacementOption>;
extern const TEnumInfo kPlacementOptionIdents;

class TWinMinMaxInfo : public TPersistent {
 public:
  explicit TWinMinMaxInfo(TFormPlacement* owner = nullptr) : owner_(owner) {}

  int MaxPosLeft() const { return info_.ptMaxPosition.x; }
  void SetMaxPosLeft(int v) { SetValue(info_.ptMaxPosition.x, v); }
  int MaxPosTop() const { return info_.ptMaxPosition.y; }
  void SetMaxPosTop(int v) { SetValue(info_.ptMaxPosition.y, v); }
  int MaxSizeHeight() const { return info_.ptMaxSize.y; }
  void SetMaxSizeHeight(int v) { SetValue(info_.ptMaxSize.y, v); }
  int MaxSizeWidth() const { return info_.ptMaxSize.x; }
  void SetMaxSizeWidth(int v) { SetValue(info_.ptMaxSize.x, v); }
  int MaxTrackHeight() const { return info_.ptMaxTrackSize.y; }
  void SetMaxTrackHeight(int v) { SetValue(info_.ptMaxTrackSize.y, v); }
  int MaxTrackWidth() const { return info_.ptMaxTrackSize.x; }
  void SetMaxTrackWidth(int v) { SetValue(info_.ptMaxTrackSize.x, v); }
  int MinTrackHeight() const { return info_.ptMinTrackSize.y; }
  void SetMinTrackHeight(int v) { SetValue(info_.ptMinTrackSize.y, v); }
  int MinTrackWidth() const { return info_.ptMinTrackSize.x; }
  void SetMinTrackWidth(int v) { SetValue(info_.ptMinTrackSize.x, v); }

  // All eight values 0.
  bool DefaultMinMaxInfo() const;
  const TMinMaxInfo& Info() const { return info_; }
  void Assign(TPersistent* source) override;

  static void DeclareProperties(TClassBuilder<TWinMinMaxInfo, TPersistent>& b);

 private:
  void SetValue(int& field, int value);

  TFormPlacement* owner_;
  TMinMaxInfo info_;
};

class TIniLink : public TPersistent {
 public:
  TIniLink() = default;
  ~TIniLink() override;
  TIniLink(const TIniLink&) = delete;
  TIniLink& operator=(const TIniLink&) = delete;

  TFormPlacement* Storage() const { return storage_; }
  // Moves the link from the old placement's list to the new one's.
  void SetStorage(TFormPlacement* value);
  // The placement's open storage; none while it is closed or unlinked.
  TIniStorage IniObject() const;

  TNotifyEvent OnSave;
  TNotifyEvent OnLoad;

 protected:
  friend class TFormPlacement;
  virtual void SaveToIni();
  virtual void LoadFromIni();

 private:
  TFormPlacement* storage_ = nullptr;
};

class TFormPlacement : public TComponent {
 public:
  explicit TFormPlacement(TComponent* owner);
  ~TFormPlacement() override;

  bool Active() const { return active_; }
  void SetActive(bool v) { active_ = v; }
  // Empty: DefaultRegistryKey or DefaultIniFileName.
  QString IniFileName() const { return iniFileName_; }
  void SetIniFileName(const QString& v) { iniFileName_ = v; }
  // Empty: DefaultStorageSection of the owner.
  QString IniSection() const { return iniSection_; }
  void SetIniSection(const QString& v) { iniSection_ = v; }
  TWinMinMaxInfo* MinMaxInfo() const { return minMaxInfo_.get(); }
  void SetMinMaxInfo(TWinMinMaxInfo* v) { minMaxInfo_->Assign(v); }
  TPlacementOptions Options() const { return options_; }
  void SetOptions(TPlacementOptions v) { options_ = v; }
  bool PreventResize() const { return preventResize_; }
  void SetPreventResize(bool v);
  bool UseRegistry() const { return useRegistry_; }
  void SetUseRegistry(bool v) { useRegistry_ = v; }
  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  void SaveFormPlacement();
  void RestoreFormPlacement();
  // The storage open during a save or a restore; none otherwise.
  TIniStorage IniObject() const;
  QString FileName() const;
  QString Section() const;
  bool Restored() const { return restored_; }
  bool Saved() const { return saved_; }
  // Called by the limits when they change.
  void MinMaxInfoChanged() { UpdateHook(); }
  // True while the window hook watches the form.
  bool Hooked() const;

  void Loaded() override;
  static void DeclareProperties(TClassBuilder<TFormPlacement, TComponent>& b);

 protected:
  void BeforeDestruction() override;
  virtual void SavePlacement();
  virtual void RestorePlacement();
  virtual void Save();
  virtual void Restore();

 private:
  friend class TIniLink;
  TForm* Form() const;
  void FormShow(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormDestroy(TObject* sender);
  void AfterMessage(TMessage& msg);
  void UpdateHook();
  void ApplyPreventResize();
  void CloseStorage();

  bool active_ = true;
  QString iniFileName_;
  QString iniSection_;
  std::unique_ptr<TWinMinMaxInfo> minMaxInfo_;
  TPlacementOptions options_;
  bool preventResize_ = false;
  bool useRegistry_ = false;
  std::unique_ptr<TOpenIniStorage> storage_;
  QList<TIniLink*> links_;
  bool restored_ = false;
  bool saved_ = false;
  bool destroying_ = false;
  bool eventsHooked_ = false;
  bool hadMaximize_ = true;
  TNotifyEvent saveFormShow_;
  std::function<void(TObject*, bool&)> saveFormCloseQuery_;
  TNotifyEvent saveFormDestroy_;
  std::unique_ptr<TKvWindowHook> hook_;
};

void RegisterPlacemntClasses();
