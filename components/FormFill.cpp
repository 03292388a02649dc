#include "components/FormFill.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/WinControl.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

struct Style {
  QString name;
  TFillRoutine routine;
};

std::vector<Style>& Styles() {
  static std::vector<Style> styles;  // plain data, filled once at start
  return styles;
}

int IndexOfStyle(const QString& name) {
  const auto& styles = Styles();
  for (size_t i = 0; i < styles.size(); ++i)
    if (AnsiSameText(styles[i].name, name))
      return static_cast<int>(i);
  return -1;
}

}  // namespace

void RegisterFillStyle(const QString& name, TFillRoutine routine) {
  if (routine == nullptr || IndexOfStyle(name) >= 0)
    return;
  auto& styles = Styles();
  const auto at = std::find_if(styles.begin(), styles.end(), [&](const Style& s) {
    return AnsiCompareText(s.name, name) > 0;
  });
  styles.insert(at, Style{name, routine});
}

QStringList FillStyleNames() {
  QStringList names;
  for (const Style& s : Styles())
    names << s.name;
  return names;
}

// What the hook on the parent knows. The procedure in the parent's chain owns
// it, so a hook left in a chain below a later one (the fill let go first)
// only passes messages on.
struct TPwFormFill::Hook {
  TPwFormFill* fill;
  TWndMethod saved;
};

TPwFormFill::TPwFormFill(TComponent* owner) : TGraphicControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetAlign(alClient);
  SendToBack();
}

TPwFormFill::~TPwFormFill() { UnhookParent(); }

QString TPwFormFill::FillType() const {
  const auto& styles = Styles();
  if (styleIndex_ < 0 || styleIndex_ >= static_cast<int>(styles.size()))
    return {};
  return styles[static_cast<size_t>(styleIndex_)].name;
}

void TPwFormFill::SetFillType(const QString& name) {
  const int index = IndexOfStyle(name);
  if (index < 0 || index == styleIndex_)
    return;
  styleIndex_ = index;
  Invalidate();
}

void TPwFormFill::SetParent(TWinControl* parent) {
  UnhookParent();
  TGraphicControl::SetParent(parent);
  if (parent == nullptr)
    return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* other = parent->Controls(i);
    if (other != this && dynamic_cast<TPwFormFill*>(other) != nullptr)
      return;
  }
  HookParent(parent);
}

void TPwFormFill::HookParent(TWinControl* parent) {
  auto hook = std::make_shared<Hook>(Hook{this, parent->WindowProc});
  own_ = TWndMethod([hook](TMessage& m) {
    if (m.Msg == WM_ERASEBKGND && hook->fill != nullptr && hook->fill->Visible()) {
      m.Result = 1;
      return;
    }
    hook->saved(m);
  });
  parent->WindowProc = own_;
  hooked_ = parent;
  hook_ = std::move(hook);
}

void TPwFormFill::UnhookParent() {
  if (hooked_ == nullptr)
    return;
  if (hooked_->WindowProc == own_)
    hooked_->WindowProc = hook_->saved;
  else
    hook_->fill = nullptr;  // a later hook holds ours: pass everything on
  hooked_ = nullptr;
  hook_.reset();
  own_ = TWndMethod();
}

void TPwFormFill::TileClient() { RepeatTile(kFillTileSize); }

void TPwFormFill::RepeatTile(int size) {
  if (!tile_ || size <= 1)
    return;
  const TRect client = ClientRect();
  const TRect source = Rect(0, 0, size, size);
  for (int y = client.Top; y < client.Bottom; y += size)
    for (int x = client.Left; x < client.Right; x += size)
      Canvas()->CopyRect(Bounds(x, y, size, size), tile_->Canvas(), source);
}

void TPwFormFill::Paint() {
  const auto& styles = Styles();
  if (styleIndex_ < 0 || styleIndex_ >= static_cast<int>(styles.size()))
    return;
  const TFillRoutine routine = styles[static_cast<size_t>(styleIndex_)].routine;
  if (tile_)
    throw EInvalidOperation(QStringLiteral("FillType was already started"));
  tile_ = std::make_unique<TBitmap>();
  struct EndTile {
    std::unique_ptr<TBitmap>& tile;
    ~EndTile() { tile.reset(); }  // also when the style raises
  } end{tile_};
  tile_->SetSize(kFillTileSize, kFillTileSize);
  tile_->Canvas()->Brush()->SetStyle(bsSolid);
  tile_->Canvas()->Brush()->SetColor(Color());
  tile_->Canvas()->FillRect(Rect(0, 0, kFillTileSize, kFillTileSize));
  int size = kFillTileSize;
  routine(this, size);
  RepeatTile(size);
}

void TPwFormFill::DeclareProperties(TClassBuilder<TPwFormFill, TGraphicControl>& b) {
  b.Property("FillType", &TPwFormFill::FillType, &TPwFormFill::SetFillType);
}
