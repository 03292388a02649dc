#include "components/Placemnt.h"

#include "components/KvHook.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"

#include <algorithm>

const TEnumInfo kPlacementOptionIdents{"fpState", "fpPosition", "fpActiveControl"};

namespace {

const TPlacementOptions kDefaultOptions{fpState, fpPosition};

}  // namespace

// ---- TWinMinMaxInfo --------------------------------------------------------

void TWinMinMaxInfo::SetValue(int& field, int value) {
  if (field == value)
    return;
  field = value;
  if (owner_ != nullptr)
    owner_->MinMaxInfoChanged();
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const {
  return info_.ptMaxPosition.x == 0 && info_.ptMaxPosition.y == 0 && info_.ptMaxSize.x == 0 &&
         info_.ptMaxSize.y == 0 && info_.ptMaxTrackSize.x == 0 && info_.ptMaxTrackSize.y == 0 &&
         info_.ptMinTrackSize.x == 0 && info_.ptMinTrackSize.y == 0;
}

void TWinMinMaxInfo::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TWinMinMaxInfo*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  info_ = other->info_;
  if (owner_ != nullptr)
    owner_->MinMaxInfoChanged();
}

void TWinMinMaxInfo::DeclareProperties(TClassBuilder<TWinMinMaxInfo, TPersistent>& b) {
  using M = TWinMinMaxInfo;
  b.Property("MaxPosLeft", &M::MaxPosLeft, &M::SetMaxPosLeft).Default(0);
  b.Property("MaxPosTop", &M::MaxPosTop, &M::SetMaxPosTop).Default(0);
  b.Property("MaxSizeHeight", &M::MaxSizeHeight, &M::SetMaxSizeHeight).Default(0);
  b.Property("MaxSizeWidth", &M::MaxSizeWidth, &M::SetMaxSizeWidth).Default(0);
  b.Property("MaxTrackHeight", &M::MaxTrackHeight, &M::SetMaxTrackHeight).Default(0);
  b.Property("MaxTrackWidth", &M::MaxTrackWidth, &M::SetMaxTrackWidth).Default(0);
  b.Property("MinTrackHeight", &M::MinTrackHeight, &M::SetMinTrackHeight).Default(0);
  b.Property("MinTrackWidth", &M::MinTrackWidth, &M::SetMinTrackWidth).Default(0);
}

// ---- TIniLink --------------------------------------------------------------

TIniLink::~TIniLink() { SetStorage(nullptr); }

void TIniLink::SetStorage(TFormPlacement* value) {
  if (storage_ == value)
    return;
  if (storage_ != nullptr)
    storage_->links_.removeOne(this);
  storage_ = value;
  if (value != nullptr)
    value->links_.append(this);
}

TIniStorage TIniLink::IniObject() const {
  return storage_ != nullptr ? storage_->IniObject() : TIniStorage();
}

void TIniLink::SaveToIni() {
  if (OnSave)
    OnSave(this);
}

void TIniLink::LoadFromIni() {
  if (OnLoad)
    OnLoad(this);
}

// ---- TFormPlacement --------------------------------------------------------

TFormPlacement::TFormPlacement(TComponent* owner)
    : TComponent(owner),
      minMaxInfo_(std::make_unique<TWinMinMaxInfo>(this)),
      hook_(std::make_unique<TKvWindowHook>(nullptr)) {
  if (dynamic_cast<TForm*>(owner) != nullptr)
    options_ = kDefaultOptions;
  hook_->AfterMessage = [this](TObject*, TMessage& msg, bool&) { AfterMessage(msg); };
}

TFormPlacement::~TFormPlacement() {
  TFormPlacement::BeforeDestruction();
  storage_.reset();
  while (!links_.isEmpty())
    links_.first()->SetStorage(nullptr);
}

// While the owner is still known; a form on its way out keeps its events.
void TFormPlacement::BeforeDestruction() {
  hook_->SetActive(false);
  hook_->SetWinControl(nullptr);
  TForm* form = Form();
  if (form != nullptr && eventsHooked_ && !form->ComponentState().Contains(csDestroying)) {
    form->OnShow = std::move(saveFormShow_);
    form->OnCloseQuery = std::move(saveFormCloseQuery_);
    form->OnDestroy = std::move(saveFormDestroy_);
  }
  eventsHooked_ = false;
  TComponent::BeforeDestruction();
}

TForm* TFormPlacement::Form() const { return dynamic_cast<TForm*>(Owner()); }

void TFormPlacement::Loaded() {
  const bool loading = ComponentState().Contains(csLoading);
  TComponent::Loaded();
  TForm* form = Form();
  if (loading && form != nullptr && !eventsHooked_) {
    saveFormShow_ = std::move(form->OnShow);
    saveFormCloseQuery_ = std::move(form->OnCloseQuery);
    saveFormDestroy_ = std::move(form->OnDestroy);
    form->OnShow = [this](TObject* sender) { FormShow(sender); };
    form->OnCloseQuery = [this](TObject* sender, bool& canClose) {
      FormCloseQuery(sender, canClose);
    };
    form->OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
    eventsHooked_ = true;
    hadMaximize_ = form->BorderIcons().Contains(biMaximize);
    ApplyPreventResize();
  }
  UpdateHook();
}

bool TFormPlacement::Hooked() const { return hook_->Active() && hook_->WinControl() != nullptr; }

void TFormPlacement::UpdateHook() {
  TForm* form = Form();
  if (form != nullptr && (!minMaxInfo_->DefaultMinMaxInfo() || preventResize_)) {
    hook_->SetWinControl(form);
    hook_->SetActive(true);
  } else {
    hook_->SetActive(false);
  }
}

void TFormPlacement::ApplyPreventResize() {
  TForm* form = Form();
  if (form == nullptr)
    return;
  TBorderIcons icons = form->BorderIcons();
  const bool active = active_;
  active_ = false;
  if (preventResize_ || !hadMaximize_ || form->BorderStyle() == bsDialog)
    icons.Exclude(biMaximize);
  else
    icons.Include(biMaximize);
  form->SetBorderIcons(icons);
  // The window manager's own sizing and its window menu's Size and Maximize
  // go with a fixed-size hint.
  form->SetSizeFixed(preventResize_);
  active_ = active;
}

void TFormPlacement::SetPreventResize(bool v) {
  if (Form() == nullptr || preventResize_ == v)
    return;
  preventResize_ = v;
  if (ComponentState().Contains(csLoading))
    return;
  ApplyPreventResize();
  UpdateHook();
}

// Without limits of our own the window maximises to the screen's corner.
void TFormPlacement::AfterMessage(TMessage& msg) {
  if (msg.Msg != WM_GETMINMAXINFO || msg.LParam == 0)
    return;
  auto* info = reinterpret_cast<TMinMaxInfo*>(msg.LParam);
  TForm* form = Form();
  if (preventResize_ && form != nullptr) {
    info->ptMinTrackSize = {form->Width(), form->Height()};
    info->ptMaxTrackSize = {form->Width(), form->Height()};
  } else if (!minMaxInfo_->DefaultMinMaxInfo()) {
    const TMinMaxInfo& mine = minMaxInfo_->Info();
    auto take = [](int& field, int value) {
      if (value != 0)
        field = value;
    };
    take(info->ptMaxSize.x, mine.ptMaxSize.x);
    take(info->ptMaxSize.y, mine.ptMaxSize.y);
    take(info->ptMaxPosition.x, mine.ptMaxPosition.x);
    take(info->ptMaxPosition.y, mine.ptMaxPosition.y);
    take(info->ptMinTrackSize.x, mine.ptMinTrackSize.x);
    take(info->ptMinTrackSize.y, mine.ptMinTrackSize.y);
    take(info->ptMaxTrackSize.x, mine.ptMaxTrackSize.x);
    take(info->ptMaxTrackSize.y, mine.ptMaxTrackSize.y);
  } else {
    info->ptMaxPosition = {0, 0};
  }
  msg.Result = 1;
}

void TFormPlacement::FormShow(TObject* sender) {
  if (active_) {
    try {
      RestoreFormPlacement();
    } catch (...) {
      Application->HandleException(this);
    }
  }
  if (saveFormShow_)
    saveFormShow_(sender);
}

void TFormPlacement::FormCloseQuery(TObject* sender, bool& canClose) {
  if (saveFormCloseQuery_)
    saveFormCloseQuery_(sender, canClose);
  TForm* form = Form();
  if (canClose && active_ && form != nullptr && form->HandleAllocated()) {
    try {
      SaveFormPlacement();
    } catch (...) {
      Application->HandleException(this);
    }
  }
}

void TFormPlacement::FormDestroy(TObject* sender) {
  if (active_ && !saved_) {
    destroying_ = true;
    try {
      SaveFormPlacement();
    } catch (...) {
      Application->HandleException(this);
    }
    destroying_ = false;
  }
  if (saveFormDestroy_)
    saveFormDestroy_(sender);
}

QString TFormPlacement::FileName() const {
  if (!iniFileName_.isEmpty())
    return iniFileName_;
  return useRegistry_ ? DefaultRegistryKey() : DefaultIniFileName();
}

QString TFormPlacement::Section() const {
  return iniSection_.isEmpty() ? DefaultStorageSection(Owner()) : iniSection_;
}

TIniStorage TFormPlacement::IniObject() const {
  return storage_ ? storage_->Storage() : TIniStorage();
}

void TFormPlacement::CloseStorage() { storage_.reset(); }

void TFormPlacement::SavePlacement() {
  TForm* form = Form();
  if (form == nullptr)
    return;
  const TIniStorage storage = IniObject();
  const QString section = Section();
  StoreFormPlacement(form, storage, section);
  if (options_.Contains(fpActiveControl)) {
    const TWinControl* activeControl = form->ActiveControl();
    WriteIniText(storage, section, QStringLiteral("ActiveControl"),
                 activeControl != nullptr ? activeControl->Name() : QString());
  }
  WriteIniNumber(storage, section, QStringLiteral("Visible"), destroying_ ? 1 : 0);
  for (TIniLink* link : QList<TIniLink*>(links_))
    link->SaveToIni();
}

void TFormPlacement::RestorePlacement() {
  if (TForm* form = Form())
    LoadFormPlacement(form, IniObject(), Section(), options_.Contains(fpPosition),
                      options_.Contains(fpState));
  for (TIniLink* link : QList<TIniLink*>(links_))
    link->LoadFromIni();
}

void TFormPlacement::Save() {
  if (OnSavePlacement)
    OnSavePlacement(this);
}

void TFormPlacement::Restore() {
  if (OnRestorePlacement)
    OnRestorePlacement(this);
}

// Saved only after a restore (or when inactive), so a form that never showed
// does not overwrite what an earlier run stored.
void TFormPlacement::SaveFormPlacement() {
  if (!restored_ && active_)
    return;
  storage_ = std::make_unique<TOpenIniStorage>(useRegistry_, FileName());
  try {
    SavePlacement();
    Save();
    saved_ = true;
  } catch (...) {
    CloseStorage();
    throw;
  }
  CloseStorage();
}

void TFormPlacement::RestoreFormPlacement() {
  saved_ = false;
  storage_ = std::make_unique<TOpenIniStorage>(useRegistry_, FileName());
  try {
    RestorePlacement();
    restored_ = true;
    Restore();
    TForm* form = Form();
    if (form != nullptr && options_.Contains(fpActiveControl)) {
      const QString name =
          ReadIniText(IniObject(), Section(), QStringLiteral("ActiveControl"), QString());
      auto* control = dynamic_cast<TWinControl*>(form->FindComponent(name));
      if (!name.isEmpty() && control != nullptr && control->CanFocus())
        form->SetActiveControl(control);
    }
  } catch (...) {
    CloseStorage();
    throw;
  }
  CloseStorage();
}

void TFormPlacement::DeclareProperties(TClassBuilder<TFormPlacement, TComponent>& b) {
  using P = TFormPlacement;
  b.Property("Active", &P::Active, &P::SetActive).Default(true);
  b.Property("IniFileName", &P::IniFileName, &P::SetIniFileName);
  b.Property("IniSection", &P::IniSection, &P::SetIniSection);
  b.Object("MinMaxInfo", &P::MinMaxInfo);
  b.Property("Options", &P::Options, &P::SetOptions, kPlacementOptionIdents)
      .Default(kDefaultOptions);
  b.Property("PreventResize", &P::PreventResize, &P::SetPreventResize).Default(false);
  b.Property("UseRegistry", &P::UseRegistry, &P::SetUseRegistry).Default(false);
  b.Event("OnSavePlacement", &P::OnSavePlacement);
  b.Event("OnRestorePlacement", &P::OnRestorePlacement);
}

void RegisterPlacemntClasses() {
  if (GetClass(QStringLiteral("TFormPlacement")) == nullptr)
    RegisterClass<TFormPlacement>();
}
