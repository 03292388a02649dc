#include "SampleClasses.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace {
int liveWidgets = 0;
}

const TEnumInfo kSampleAlignIdents{"saNone", "saLeft", "saRight", "saClient"};
const TEnumInfo kSampleOptionIdents{"spBold", "spItalic", "spFramed"};
const TEnumInfo kSampleColorIdents{TEnumInfo::Entry{0, "clBlack"}, TEnumInfo::Entry{255, "clRed"}};

QStringList& SampleLog() {
  static QStringList log;
  return log;
}

void RegisterSampleClasses() {
  RegisterClasses<TSampleWidget, TSamplePanel, TSampleFragile, TSampleForm>();
}

void TSampleFont::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TSampleFont*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  name_ = other->name_;
  size_ = other->size_;
  color_ = other->color_;
  style_ = other->style_;
}

void TSampleFont::DeclareProperties(TClassBuilder<TSampleFont, TPersistent>& b) {
  b.Property("Name", &TSampleFont::Name, &TSampleFont::SetName).Default(QStringLiteral("Arial"));
  b.Property("Size", &TSampleFont::Size, &TSampleFont::SetSize).Default(8);
  b.Property("Color", &TSampleFont::Color, &TSampleFont::SetColor, kSampleColorIdents).Default(0);
  b.Property("Style", &TSampleFont::Style, &TSampleFont::SetStyle, kSampleOptionIdents)
      .Default(TSampleOptions{});
}

void TSampleItem::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TSampleItem*>(source);
  if (other == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  caption_ = other->caption_;
  value_ = other->value_;
}

void TSampleItem::DeclareProperties(TClassBuilder<TSampleItem, TCollectionItem>& b) {
  b.Property("Caption", &TSampleItem::Caption, &TSampleItem::SetCaption);
  b.Property("Value", &TSampleItem::Value, &TSampleItem::SetValue).Default(0);
  b.Property("Target", &TSampleItem::Target, &TSampleItem::SetTarget);
  b.Event("OnFire", &TSampleItem::OnFire);
}

TSampleWidget::TSampleWidget(TComponent* owner) : TComponent(owner) { ++liveWidgets; }

TSampleWidget::~TSampleWidget() { --liveWidgets; }

int TSampleWidget::Live() { return liveWidgets; }

void TSampleWidget::SetCaption(const QString& v) {
  caption_ = v;
  captionSetWhileLoading = ComponentState().Contains(csLoading);
}

void TSampleWidget::SetBuddy(TSampleWidget* v) {
  buddy_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TSampleWidget::SetParentWidget(TSampleWidget* parent) {
  if (parent_ == parent) return;
  if (parent_ != nullptr) parent_->children_.removeAll(this);
  parent_ = parent;
  if (parent_ != nullptr) parent_->children_.append(this);
}

void TSampleWidget::SetParentComponent(TComponent* parent) {
  parentSeen = parent;
  SetParentWidget(dynamic_cast<TSampleWidget*>(parent));
}

void TSampleWidget::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TSampleWidget* child : children_) {
    if (child->Owner() == root) proc(child);
  }
}

void TSampleWidget::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineProperty(
      QStringLiteral("CellData"), [this](TReader& r) { ReadCells(r); },
      [this](TWriter& w) { WriteCells(w); }, !cells_.isEmpty());
  filer->DefineBinaryProperty(
      QStringLiteral("Blob"),
      [this](TStream& s) {
        blob_.resize(static_cast<qsizetype>(s.Size()));
        s.ReadBuffer(blob_.data(), blob_.size());
      },
      [this](TStream& s) { s.WriteBuffer(blob_.constData(), blob_.size()); }, !blob_.isEmpty());
  // An older name that is read and never written.
  filer->DefineProperty(
      QStringLiteral("OldColor"), [this](TReader& r) { color_ = r.ReadInteger(); }, nullptr, false);
}

// One flat list: column, row, text for every cell.
void TSampleWidget::ReadCells(TReader& reader) {
  cells_.clear();
  reader.ReadListBegin();
  while (!reader.EndOfList()) {
    Cell c;
    c.col = reader.ReadInteger() % 65536;
    c.row = reader.ReadInteger() % 65536;
    c.text = reader.ReadString();
    cells_.append(c);
  }
  reader.ReadListEnd();
}

void TSampleWidget::WriteCells(TWriter& writer) const {
  writer.WriteListBegin();
  for (const Cell& c : cells_) {
    writer.WriteInteger(c.col);
    writer.WriteInteger(c.row);
    writer.WriteString(c.text);
  }
  writer.WriteListEnd();
}

void TSampleWidget::Loaded() {
  TComponent::Loaded();
  SampleLog().append(QStringLiteral("Loaded %1 buddy=%2")
                         .arg(Name(), buddy_ != nullptr ? buddy_->Name() : QStringLiteral("-")));
}

void TSampleWidget::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == buddy_) buddy_ = nullptr;
  if (component == parent_) parent_ = nullptr;
  children_.removeAll(component);
  for (int i = 0; i < items_->Count(); ++i) {
    if (items_->ItemAt(i)->Target() == component) items_->ItemAt(i)->SetTarget(nullptr);
  }
}

void TSampleWidget::DeclareProperties(TClassBuilder<TSampleWidget, TComponent>& b) {
  b.Property("Width", &TSampleWidget::Width, &TSampleWidget::SetWidth);
  b.Property("Big", &TSampleWidget::Big, &TSampleWidget::SetBig).Default(0);
  b.Property("Small", &TSampleWidget::Small, &TSampleWidget::SetSmall).Default(0);
  b.Property("Enabled", &TSampleWidget::Enabled, &TSampleWidget::SetEnabled).Default(true);
  b.Property("Align", &TSampleWidget::Align, &TSampleWidget::SetAlign, kSampleAlignIdents)
      .Default(saNone);
  b.Property("Options", &TSampleWidget::Options, &TSampleWidget::SetOptions, kSampleOptionIdents)
      .Default(TSampleOptions{});
  b.Property("Color", &TSampleWidget::Color, &TSampleWidget::SetColor, kSampleColorIdents)
      .Default(0);
  b.Property("Ratio", &TSampleWidget::Ratio, &TSampleWidget::SetRatio);
  b.Property("Caption", &TSampleWidget::Caption, &TSampleWidget::SetCaption);
  b.Object("Lines", &TSampleWidget::Lines);
  b.Object("Font", &TSampleWidget::Font);
  b.Object("Items", &TSampleWidget::Items);
  b.Property("Buddy", &TSampleWidget::Buddy, &TSampleWidget::SetBuddy);
  b.Event("OnClick", &TSampleWidget::OnClick);
  b.Event("OnValue", &TSampleWidget::OnValue);
}

void TSampleFragile::SetLevel(int v) {
  if (v < 0) throw EConvertError(QStringLiteral("Level must not be negative"));
  level_ = v;
}

void TSampleFragile::Loaded() {
  TComponent::Loaded();
  if (failLoaded_) throw EInvalidOperation(QStringLiteral("Loaded failed"));
}

void TSampleFragile::DeclareProperties(TClassBuilder<TSampleFragile, TComponent>& b) {
  b.Property("Level", &TSampleFragile::Level, &TSampleFragile::SetLevel).Default(0);
  b.Property("FailLoaded", &TSampleFragile::FailLoaded, &TSampleFragile::SetFailLoaded)
      .Default(false);
}

TSampleForm::TSampleForm(TComponent* owner) : TComponent(owner) {
  DefineMethod(QStringLiteral("WidgetClick"), this, &TSampleForm::WidgetClick);
  DefineMethod(QStringLiteral("ValueChanged"), this, &TSampleForm::ValueChanged);
}

void TSampleForm::Loaded() {
  TComponent::Loaded();
  SampleLog().append(QStringLiteral("Loaded %1").arg(Name()));
}

void TSampleForm::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == focus_) focus_ = nullptr;
}

void TSampleForm::WidgetClick(TObject*) { ++clicks; }

void TSampleForm::ValueChanged(TObject*, int value) { lastValue = value; }

void TSampleForm::DeclareProperties(TClassBuilder<TSampleForm, TComponent>& b) {
  b.Property("Title", &TSampleForm::Title, &TSampleForm::SetTitle);
  b.Property("Focus", &TSampleForm::Focus, &TSampleForm::SetFocus);
}
