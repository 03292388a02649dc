#include "components/Lumcompf.h"

#include "components/KvUtils.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Form.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>

namespace {

const TEnumInfo kInitialPosSizeIdents{"ipsDefault", "ipsMin", "ipsMax"};

TComponent* FormOwner(TComponent* owner) {
  if (dynamic_cast<TForm*>(owner) == nullptr)
    throw EComponentError(QStringLiteral("Owner must be a form"));
  return owner;
}

int Clamp(int value, int lower, int upper) { return ClampToBounds(value, lower, upper, -1); }

}  // namespace

// TFormHook -------------------------------------------------------------------

TFormHook::TFormHook(TComponent* owner)
    : TComponent(FormOwner(owner)),
      form_(static_cast<TForm*>(owner)),
      link_([this](TMessage& message) { HookWndProc(message); }) {}

// The link gives the form's procedure back while it is still ours; a
// procedure put there later keeps a link that passes straight on.
TFormHook::~TFormHook() { link_.Uninstall(); }

void TFormHook::Loaded() {
  TComponent::Loaded();
  if (ComponentState().Contains(csDesigning)) return;
  link_.Install(form_);
}

void TFormHook::HookWndProc(TMessage& message) {
  if (!HandleFormMessage(message)) link_.CallPrevious(message);
}

void TFormHook::DeclareProperties(TClassBuilder<TFormHook, TComponent>&) {}

// TFormSizer ------------------------------------------------------------------

TFormSizer::TFormSizer(TComponent* owner) : TFormHook(owner) {}

void TFormSizer::SetMax(int& max, int min, int value, int current) {
  if (value == max) return;
  if (value == -1) {
    max = -1;
    return;
  }
  max = std::max(min, value);
  if (current > max) RequestApply();
}

void TFormSizer::SetMin(int& min, int max, int value, int current) {
  if (value == min) return;
  if (value == -1) {
    min = -1;
    return;
  }
  min = (max != -1 && value > max) ? max : value;
  if (current < min) RequestApply();
}

void TFormSizer::SetLeftMax(int value) { SetMax(leftMax_, leftMin_, value, Form()->Left()); }
void TFormSizer::SetLeftMin(int value) { SetMin(leftMin_, leftMax_, value, Form()->Left()); }
void TFormSizer::SetTopMax(int value) { SetMax(topMax_, topMin_, value, Form()->Top()); }
void TFormSizer::SetTopMin(int value) { SetMin(topMin_, topMax_, value, Form()->Top()); }
void TFormSizer::SetWidthMax(int value) { SetMax(widthMax_, widthMin_, value, Form()->Width()); }
void TFormSizer::SetWidthMin(int value) { SetMin(widthMin_, widthMax_, value, Form()->Width()); }
void TFormSizer::SetHeightMax(int value) {
  SetMax(heightMax_, heightMin_, value, Form()->Height());
}
void TFormSizer::SetHeightMin(int value) {
  SetMin(heightMin_, heightMax_, value, Form()->Height());
}

void TFormSizer::RequestApply() {
  pending_ = true;
  if (!batch_) ApplyBounds();
}

// The form's SetBounds does nothing for unchanged values, so the bounds are
// clamped here first; the move then passes the hook like any other.
void TFormSizer::ApplyBounds() {
  TForm* form = Form();
  if (!form->ComponentState().Contains(csDesigning) && Hooked() && enabled_) {
    TWindowPos pos{form->Left(), form->Top(), form->Width(), form->Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE};
    TMessage message{WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos), 0};
    HandleFormMessage(message);
    form->SetBounds(pos.x, pos.y, pos.cx, pos.cy);
  }
  pending_ = false;
  batch_ = false;
}

void TFormSizer::SetMaxBounds(int left, int top, int width, int height) {
  batch_ = true;
  SetLeftMax(left);
  SetTopMax(top);
  SetWidthMax(width);
  SetHeightMax(height);
  batch_ = false;
  if (pending_) ApplyBounds();
}

void TFormSizer::SetMinBounds(int left, int top, int width, int height) {
  batch_ = true;
  SetLeftMin(left);
  SetTopMin(top);
  SetWidthMin(width);
  SetHeightMin(height);
  batch_ = false;
  if (pending_) ApplyBounds();
}

void TFormSizer::Loaded() {
  TFormHook::Loaded();
  if (!enabled_ || ComponentState().Contains(csDesigning)) return;
  if (initialFormPos_ == ipsDefault && initialFormSize_ == ipsDefault) return;
  TForm* form = Form();
  int left = form->Left();
  int top = form->Top();
  int width = form->Width();
  int height = form->Height();
  auto pick = [](int& v, int bound) {
    if (bound != -1) v = bound;
  };
  if (initialFormPos_ == ipsMin) {
    pick(left, leftMin_);
    pick(top, topMin_);
  } else if (initialFormPos_ == ipsMax) {
    pick(left, leftMax_);
    pick(top, topMax_);
  }
  if (initialFormSize_ == ipsMin) {
    pick(width, widthMin_);
    pick(height, heightMin_);
  } else if (initialFormSize_ == ipsMax) {
    pick(width, widthMax_);
    pick(height, heightMax_);
  }
  form->SetBounds(left, top, width, height);
}

bool TFormSizer::HandleFormMessage(TMessage& message) {
  if (!enabled_ || message.LParam == 0) return false;
  const bool mdiChild = Form()->FormStyle() == fsMDIChild;
  if (message.Msg == WM_GETMINMAXINFO) {
    auto& info = *reinterpret_cast<TMinMaxInfo*>(message.LParam);
    auto put = [](int& v, int bound) {
      if (bound != -1) v = bound;
    };
    put(info.ptMaxPosition.x, leftMax_);
    put(info.ptMaxPosition.y, topMax_);
    put(info.ptMinTrackSize.x, widthMin_);
    put(info.ptMinTrackSize.y, heightMin_);
    put(info.ptMaxSize.x, widthMax_);
    put(info.ptMaxTrackSize.x, widthMax_);
    put(info.ptMaxSize.y, heightMax_);
    put(info.ptMaxTrackSize.y, heightMax_);
    return !mdiChild;
  }
  if (message.Msg != WM_WINDOWPOSCHANGING) return false;
  auto& pos = *reinterpret_cast<TWindowPos*>(message.LParam);
  bool handled = false;
  if ((pos.flags & SWP_NOMOVE) == 0) {
    pos.x = Clamp(pos.x, leftMin_, leftMax_);
    pos.y = Clamp(pos.y, topMin_, topMax_);
    handled = true;
  }
  if (pos.flags & SWP_NOSIZE) return handled;
  const int widthUpper = mdiChild ? MaxOf(pos.cx, widthMax_) : widthMax_;
  const int heightUpper = mdiChild ? MaxOf(pos.cy, heightMax_) : heightMax_;
  pos.cx = Clamp(pos.cx, widthMin_, widthUpper);
  pos.cy = Clamp(pos.cy, heightMin_, heightUpper);
  return true;
}

void TFormSizer::DeclareProperties(TClassBuilder<TFormSizer, TFormHook>& b) {
  b.Property("Enabled", &TFormSizer::Enabled, &TFormSizer::SetEnabled).Default(true);
  b.Property("HeightMax", &TFormSizer::HeightMax, &TFormSizer::SetHeightMax).Default(-1);
  b.Property("HeightMin", &TFormSizer::HeightMin, &TFormSizer::SetHeightMin).Default(-1);
  b.Property("InitialFormPos", &TFormSizer::InitialFormPos, &TFormSizer::SetInitialFormPos,
             kInitialPosSizeIdents)
      .Default(ipsDefault);
  b.Property("InitialFormSize", &TFormSizer::InitialFormSize, &TFormSizer::SetInitialFormSize,
             kInitialPosSizeIdents)
      .Default(ipsDefault);
  b.Property("LeftMax", &TFormSizer::LeftMax, &TFormSizer::SetLeftMax).Default(-1);
  b.Property("LeftMin", &TFormSizer::LeftMin, &TFormSizer::SetLeftMin).Default(-1);
  b.Property("TopMax", &TFormSizer::TopMax, &TFormSizer::SetTopMax).Default(-1);
  b.Property("TopMin", &TFormSizer::TopMin, &TFormSizer::SetTopMin).Default(-1);
  b.Property("WidthMax", &TFormSizer::WidthMax, &TFormSizer::SetWidthMax).Default(-1);
  b.Property("WidthMin", &TFormSizer::WidthMin, &TFormSizer::SetWidthMin).Default(-1);
}

void RegisterFormSizerClasses() {
  if (GetClass(QStringLiteral("TFormSizer")) == nullptr) RegisterClass<TFormSizer>();
}
