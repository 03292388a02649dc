#pragma once
// Components used by the tests: every property kind, a collection, custom
// stored data, nesting and a root form with a method table.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/StringList.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

enum TSampleAlign { saNone, saLeft, saRight, saClient };
enum TSampleOption { spBold, spItalic, spFramed };
using TSampleOptions = TSet<TSampleOption>;

extern const TEnumInfo kSampleAlignIdents;
extern const TEnumInfo kSampleOptionIdents;
extern const TEnumInfo kSampleColorIdents;  // clBlack 0, clRed 255

// What the sample classes did, in order ("Loaded Button1", ...).
QStringList& SampleLog();
// Registers every sample class (idempotent).
void RegisterSampleClasses();

class TSampleFont : public TPersistent {
 public:
  QString Name() const { return name_; }
  void SetName(const QString& v) { name_ = v; }
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; }
  int Color() const { return color_; }
  void SetColor(int v) { color_ = v; }
  TSampleOptions Style() const { return style_; }
  void SetStyle(TSampleOptions v) { style_ = v; }
  void Assign(TPersistent* source) override;

  static void DeclareProperties(TClassBuilder<TSampleFont, TPersistent>& b);

 private:
  QString name_ = QStringLiteral("Arial");
  int size_ = 8;
  int color_ = 0;
  TSampleOptions style_;
};

class TSampleItem : public TCollectionItem {
 public:
  explicit TSampleItem(TCollection* collection) : TCollectionItem(collection) {}
  QString Caption() const { return caption_; }
  void SetCaption(const QString& v) {
    caption_ = v;
    Changed(false);
  }
  int Value() const { return value_; }
  void SetValue(int v) { value_ = v; }
  TComponent* Target() const { return target_; }
  void SetTarget(TComponent* v) { target_ = v; }
  TNotifyEvent OnFire;
  void Assign(TPersistent* source) override;

  static void DeclareProperties(TClassBuilder<TSampleItem, TCollectionItem>& b);

 private:
  QString caption_;
  int value_ = 0;
  TComponent* target_ = nullptr;
};

// A collection that counts its Update calls.
class TSampleItems : public TCollection {
 public:
  explicit TSampleItems(TPersistent* owner) : TCollection(owner, MetaClassOf<TSampleItem>()) {}
  TSampleItem* ItemAt(int i) const { return static_cast<TSampleItem*>(Items(i)); }
  int updates = 0;
  TCollectionItem* lastUpdated = nullptr;

 protected:
  void Update(TCollectionItem* item) override {
    ++updates;
    lastUpdated = item;
  }
};

class TSampleWidget : public TComponent {
 public:
  struct Cell {
    int col;
    int row;
    QString text;
    bool operator==(const Cell&) const = default;
  };

  explicit TSampleWidget(TComponent* owner);
  ~TSampleWidget() override;
  static int Live();

  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  std::int64_t Big() const { return big_; }
  void SetBig(std::int64_t v) { big_ = v; }
  std::uint16_t Small() const { return small_; }
  void SetSmall(std::uint16_t v) { small_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  TSampleAlign Align() const { return align_; }
  void SetAlign(TSampleAlign v) { align_ = v; }
  TSampleOptions Options() const { return options_; }
  void SetOptions(TSampleOptions v) { options_ = v; }
  int Color() const { return color_; }
  void SetColor(int v) { color_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  QString Caption() const { return caption_; }
  void SetCaption(const QString& v);
  TStrings* Lines() const { return lines_.get(); }
  TSampleFont* Font() const { return font_.get(); }
  TSampleItems* Items() const { return items_.get(); }
  TSampleWidget* Buddy() const { return buddy_; }
  void SetBuddy(TSampleWidget* v);
  TNotifyEvent OnClick;
  std::function<void(TObject* sender, int value)> OnValue;

  QList<Cell>& Cells() { return cells_; }
  QByteArray& Blob() { return blob_; }
  bool captionSetWhileLoading = false;
  TComponent* parentSeen = nullptr;

  // Nesting: the widget this one is shown in (a panel), if any.
  TSampleWidget* ParentWidget() const { return parent_; }
  void SetParentWidget(TSampleWidget* parent);
  bool HasParent() const override { return parent_ != nullptr; }
  TComponent* GetParentComponent() const override { return parent_; }
  void SetParentComponent(TComponent* parent) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  void DefineProperties(TFiler* filer) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TSampleWidget, TComponent>& b);

 private:
  void ReadCells(TReader& reader);
  void WriteCells(TWriter& writer) const;

  int width_ = 0;
  std::int64_t big_ = 0;
  std::uint16_t small_ = 0;
  bool enabled_ = true;
  TSampleAlign align_ = saNone;
  TSampleOptions options_;
  int color_ = 0;
  double ratio_ = 0;
  QString caption_;
  std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
  std::unique_ptr<TSampleFont> font_ = std::make_unique<TSampleFont>();
  std::unique_ptr<TSampleItems> items_ = std::make_unique<TSampleItems>(this);
  TSampleWidget* buddy_ = nullptr;
  TSampleWidget* parent_ = nullptr;
  QList<TSampleWidget*> children_;
  QList<Cell> cells_;
  QByteArray blob_;
};

// A widget class without declarations of its own: it inherits the table.
class TSamplePanel : public TSampleWidget {
 public:
  using TSampleWidget::TSampleWidget;
};

// A component whose setter and Loaded can be made to fail.
class TSampleFragile : public TComponent {
 public:
  using TComponent::TComponent;
  int Level() const { return level_; }
  void SetLevel(int v);  // negative: EConvertError
  bool FailLoaded() const { return failLoaded_; }
  void SetFailLoaded(bool v) { failLoaded_ = v; }
  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TSampleFragile, TComponent>& b);

 private:
  int level_ = 0;
  bool failLoaded_ = false;
};

// The root of the sample forms, with a method table.
class TSampleForm : public TComponent {
 public:
  explicit TSampleForm(TComponent* owner);
  QString Title() const { return title_; }
  void SetTitle(const QString& v) { title_ = v; }
  TSampleWidget* Focus() const { return focus_; }
  void SetFocus(TSampleWidget* v) { focus_ = v; }
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  void WidgetClick(TObject* sender);
  void ValueChanged(TObject* sender, int value);
  int clicks = 0;
  int lastValue = 0;

  static void DeclareProperties(TClassBuilder<TSampleForm, TComponent>& b);

 private:
  QString title_;
  TSampleWidget* focus_ = nullptr;
};
