// The cells, their names and the selection.
#include "components/PrnCells.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"
#include "platform/printing/Printer.h"
#include "platform/rtl/StrUtils.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kInvalidCell = "Invalid cell";
constexpr int kFontNameLength = 31;

const TEnumInfo kMeasurementIdents{"mtPixels", "mtCentimeters", "mtInches", "mtPercentage"};

// Exact, case-sensitive: a star at either end or both, or one in the middle.
bool Matches(QString pattern, const QString& name) {
  const bool leading = pattern.startsWith(QLatin1Char('*'));
  if (leading)
    pattern.remove(0, 1);
  const bool trailing = pattern.endsWith(QLatin1Char('*'));
  if (trailing)
    pattern.chop(1);
  if (leading && trailing)
    return name.contains(pattern);
  if (leading)
    return name.endsWith(pattern);
  if (trailing)
    return name.startsWith(pattern);
  const qsizetype star = pattern.indexOf(QLatin1Char('*'));
  if (star < 0)
    return pattern == name;
  const QString head = pattern.left(star);
  const QString tail = pattern.mid(star + 1);
  // The fixed parts may not overlap in the name: "aba" is no "ab*ba".
  return name.size() >= head.size() + tail.size() && name.startsWith(head) &&
         name.endsWith(tail);
}

}  // namespace

// ---- TCell

TCell::~TCell() = default;

float TCell::Value(float v) const {
  return owner_->Measurement() == mtPixels ? std::trunc(v) : v;
}

void TCell::Invalid(const char* edge) const {
  throw ECellError(QStringLiteral("Invalid property error - %1.%2")
                       .arg(owner_->CellName(this), QLatin1String(edge)));
}

template <class Bad>
void TCell::SetEdge(float& edge, float value, Bad bad, const char* name) {
  if (owner_ == nullptr)
    return;
  value = Value(value);
  if (Validate && bad(value))
    Invalid(name);
  edge = value;
}

void TCell::SetLeft(float value) {
  SetEdge(left_, value, [this](float v) { return v > right_; }, "Left");
}

void TCell::SetTop(float value) {
  SetEdge(top_, value, [this](float v) { return v > bottom_; }, "Top");
}

void TCell::SetRight(float value) {
  SetEdge(right_, value, [this](float v) { return v < left_; }, "Right");
}

void TCell::SetBottom(float value) {
  SetEdge(bottom_, value, [this](float v) { return v < top_; }, "Bottom");
}

void TCell::SetWidth(float value) {
  if (owner_ == nullptr)
    return;
  value = Value(value);
  if (Validate && value < 0.0F)
    Invalid("Width");
  right_ = left_ + value;
}

void TCell::SetHeight(float value) {
  if (owner_ == nullptr)
    return;
  value = Value(value);
  if (Validate && value < 0.0F)
    Invalid("Height");
  bottom_ = top_ + value;
}

void TCell::SetText(const QString& text) {
  ContentKind = 0;
  Content.reset();
  text_ = text;
}

void TCell::CopyFormat(const TCellFormat& format) {
  HorzAlign = format.HorzAlign;
  Brush = format.Brush;
  Font = format.Font;
  VertAlign = format.VertAlign;
  VerticalText = format.VerticalText;
  Borders = format.Borders;
  ShrinkToFit = format.ShrinkToFit;
  WordWrap = format.WordWrap;
}

// ---- TPrnCells

TPrnCells::TPrnCells(TComponent* owner) : TComponent(owner) {}

TPrnCells::~TPrnCells() = default;

void TPrnCells::DeclareProperties(TClassBuilder<TPrnCells, TComponent>& b) {
  b.Property("Measurement", &TPrnCells::Measurement, &TPrnCells::SetMeasurement,
             kMeasurementIdents)
      .Default(mtCentimeters);
  b.Event("OnAddCell", &TPrnCells::OnAddCell);
  b.Event("BeforePrint", &TPrnCells::BeforePrint);
  b.Event("DuringPrint", &TPrnCells::DuringPrint);
  b.Event("AfterPrint", &TPrnCells::AfterPrint);
}

void RegisterPrnCellsClasses() {
  if (GetClass(QStringLiteral("TPrnCells")) == nullptr)
    RegisterClass<TPrnCells>();
}

int TPrnCells::IndexOf(const TCell* cell) const {
  for (size_t i = 0; i < cells_.size(); ++i)
    if (cells_[i].second.get() == cell)
      return static_cast<int>(i);
  return -1;
}

bool TPrnCells::Exists(const QString& name) const {
  return std::any_of(cells_.begin(), cells_.end(),
                     [&](const Entry& e) { return AnsiSameText(e.first, name); });
}

TCell* TPrnCells::CreateCell(const QString& name, float left, float top, float width,
                             float height) {
  if (Exists(name))
    throw ECellError(QStringLiteral("Cell \"%1\" already exists").arg(name));
  std::unique_ptr<TCell> made(new TCell(this));
  TCell* cell = made.get();
  cell->CopyFormat(defaults_);
  cells_.emplace_back(name, std::move(made));
  try {
    cell->Validate = false;
    cell->SetLeft(left);
    cell->SetTop(top);
    cell->Validate = true;
    cell->SetWidth(width);
    cell->SetHeight(height);
  } catch (...) {
    cells_.pop_back();  // a half-made cell would hold its name
    throw;
  }
  if (OnAddCell) {
    try {
      OnAddCell(this, cell);
    } catch (...) {
      if (Application == nullptr)
        throw;
      Application->HandleException(this);
    }
  }
  return cell;
}

TCell* TPrnCells::AddCell(const QString& name, float left, float top, float width,
                          float height) {
  TCell* cell = CreateCell(name, left, top, width, height);
  selection_.assign(1, cell);
  return cell;
}

TCell* TPrnCells::Select(const QString& patterns) {
  selection_.clear();
  if (patterns.isEmpty())
    return nullptr;
  for (const QString& pattern : patterns.split(QLatin1Char(';'))) {
    for (const Entry& e : cells_) {
      TCell* cell = e.second.get();
      if (Matches(pattern, e.first) &&
          std::find(selection_.begin(), selection_.end(), cell) == selection_.end())
        selection_.push_back(cell);
    }
  }
  return selection_.empty() ? nullptr : selection_.front();
}

void TPrnCells::SetText(const QStringList& values) {
  for (size_t i = 0; i < selection_.size(); ++i)
    selection_[i]->SetText(i < static_cast<size_t>(values.size()) ? values[static_cast<qsizetype>(i)]
                                                                   : QString());
}

void TPrnCells::SetAlignment(std::uint8_t value) {
  if (selection_.empty()) {
    defaults_.HorzAlign = value;
    return;
  }
  for (TCell* cell : selection_)
    cell->HorzAlign = value;
}

void TPrnCells::SetFont(const QString& name, TColor color, float size, TFontStyles style) {
  auto apply = [&](TCellFont& font) {
    font.Name = name.left(kFontNameLength);
    font.Color = color;
    font.Size = size;
    font.Style = style;
  };
  if (selection_.empty()) {
    apply(defaults_.Font);
    return;
  }
  for (TCell* cell : selection_)
    apply(cell->Font);
}

void TPrnCells::SetBorders(std::uint8_t sides, TColor color, std::uint8_t style, int width) {
  const TCellBorder border{color, width, style};
  if (selection_.empty()) {
    if (sides & kSideOutline)
      sides |= kSideLeft | kSideTop | kSideRight | kSideBottom;
    for (int side = csLeft; side <= csBottom; ++side)
      if (sides & (1U << side))
        defaults_.Borders[static_cast<size_t>(side)] = border;
    return;
  }
  if (sides & kSideOutline) {
    float left = selection_.front()->Left(), top = selection_.front()->Top();
    float right = selection_.front()->Right(), bottom = selection_.front()->Bottom();
    for (const TCell* cell : selection_) {
      left = std::min(left, cell->Left());
      top = std::min(top, cell->Top());
      right = std::max(right, cell->Right());
      bottom = std::max(bottom, cell->Bottom());
    }
    for (TCell* cell : selection_) {
      if (cell->Left() == left) cell->Borders[csLeft] = border;
      if (cell->Top() == top) cell->Borders[csTop] = border;
      if (cell->Right() == right) cell->Borders[csRight] = border;
      if (cell->Bottom() == bottom) cell->Borders[csBottom] = border;
    }
    return;
  }
  for (TCell* cell : selection_)
    for (int side = csLeft; side <= csBottom; ++side)
      if (sides & (1U << side))
        cell->Borders[static_cast<size_t>(side)] = border;
}

void TPrnCells::Clear() {
  selection_.clear();
  cells_.clear();
  defaults_ = TCellFormat();
}

QString TPrnCells::CellName(const TCell* cell) const {
  const int index = IndexOf(cell);
  if (index < 0)
    throw ECellError(QString::fromLatin1(kInvalidCell));
  return cells_[static_cast<size_t>(index)].first;
}

TCell* TPrnCells::Selected(int index) const {
  if (index < 0 || index >= SelectedCount())
    return nullptr;
  return selection_[static_cast<size_t>(index)];
}

void TPrnCells::Unselect(const TCell* cell) {
  selection_.erase(std::remove(selection_.begin(), selection_.end(), cell), selection_.end());
}

void TPrnCells::Remove(const TCell* cell) {
  const int index = IndexOf(cell);
  if (index < 0)
    throw ECellError(QString::fromLatin1(kInvalidCell));
  Unselect(cell);
  cells_.erase(cells_.begin() + index);
}

void TPrnCells::DeleteCell(TCell* cell) {
  if (cell != nullptr) {
    Remove(cell);
    return;
  }
  const std::vector<TCell*> selected = selection_;
  for (TCell* each : selected)
    Remove(each);
}

void TPrnCells::SetMeasurement(TMeasurement value) {
  if (value == measurement_)
    return;
  if (cells_.empty()) {
    measurement_ = value;
    return;
  }
  TPrinter* printer = Printer();
  const TPageMetrics m = printer->Metrics();
  const TMeasurement from = measurement_;
  auto x = [&](float v) { return ConvertUnits(from, value, m.DpiX, m.Width - 1, v); };
  auto y = [&](float v) { return ConvertUnits(from, value, m.DpiY, m.Height - 1, v); };
  for (Entry& e : cells_) {
    TCell& cell = *e.second;
    float size = cell.Font.Size;
    if (from == mtPercentage)
      size *= cell.Height();
    const float left = x(cell.Left()), right = x(cell.Right());
    const float top = y(cell.Top()), bottom = y(cell.Bottom());
    size = y(size);
    cell.left_ = left;
    cell.right_ = right;
    cell.top_ = top;
    cell.bottom_ = bottom;
    if (value == mtPercentage) {
      const float height = bottom - top;
      size = height == 0.0F ? 0.0F : size / height;  // a flat cell has no room for text
    }
    cell.Font.Size = size;
  }
  measurement_ = value;
}
