#pragma once
// TComboBox: an edit box with a drop-down list, on a Qt combo box.
//
// csDropDown and csSimple can be typed into; csDropDownList only picks from
// Items (setting Text selects the matching item, or none). ItemIndex is -1
// when nothing is picked; an index out of range picks nothing. The user's
// pick fires OnClick then OnChange; typing fires OnChange; code fires
// neither. csSimple shows as an editable combo box (its list opens on demand).

#include "platform/controls/ControlItems.h"
#include "platform/controls/NativeControl.h"
#include "platform/rtl/StringList.h"

#include <QLineEdit>
#include <QPointer>

class QComboBox;
class TCustomComboBox;

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
extern const TEnumInfo kComboBoxStyleIdents;

class TComboBoxStrings : public TControlItems {
 public:
  explicit TComboBoxStrings(TCustomComboBox* box) : box_(box) {}
  int Count() const override;
  QString Get(int index) const override;
  void Put(int index, const QString& s) override;
  void* GetObject(int index) const override;
  void PutObject(int index, void* obj) override;
  void Insert(int index, const QString& s) override;
  void Delete(int index) override;
  void Clear() override;

 protected:
  bool SortedItems() const override;

 private:
  TCustomComboBox* box_;
};

class TCustomComboBox : public TNativeControl {
 public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  void SetText(const QString& v) override;
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(*v); }
  int ItemIndex() const;
  void SetItemIndex(int v);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle v);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  int DropDownCount() const;
  void SetDropDownCount(int v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  void Clear();

  QComboBox* Combo() const;

  TNotifyEvent OnChange;

  static void DeclareProperties(TClassBuilder<TCustomComboBox, TNativeControl>& b);

 protected:
  virtual void Change();

 private:
  friend class TComboBoxStrings;
  bool Editable() const { return style_ == csDropDown || style_ == csSimple; }
  void SyncText();
  void Picked();
  void Typed();
  void ConnectEditor();

  std::unique_ptr<TComboBoxStrings> items_;
  TComboBoxStyle style_ = csDropDown;
  bool sorted_ = false;
  int maxLength_ = 0;
  int fromCode_ = 0;
  // The line edit whose typing is already watched.
  QPointer<QLineEdit> connectedEdit_;
};

class TComboBox : public TCustomComboBox {
 public:
  explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};
