#pragma once
// Menus: TMenuItem (a tree of items), TMainMenu (the menu bar of a form) and
// TPopupMenu (a menu shown at a screen point). Items are components, owned
// by the form and nested in form files inside their parent item or menu;
// the nesting (SetParentComponent) builds the tree.
//
// Each menu builds Qt menus (QMenuBar / QMenu with QActions) from its items
// and rebuilds them whenever an item changes. Shortcuts are not registered
// with Qt: the menu watches key presses for the windows it serves, so a
// shortcut fires its item before the focused control sees the key (as with
// Ctrl+C in an edit box). The shortcut texts show in the menus.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/controls/ShortCuts.h"
#include "platform/rtl/Exceptions.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <memory>

class QAction;
class QMenu;
class QMenuBar;
class QObject;
class QWidget;
class TForm;
class TMenu;
class TControl;
class QEvent;

QX_EXCEPTION(EMenuError, Exception);

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // "&" marks the accelerator ("&&" a plain "&"); "-" makes a separator.
  QString Caption() const { return caption_; }
  void SetCaption(const QString& v);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v);
  bool Checked() const { return checked_; }
  // Checking a radio item unchecks the radio items of its group among its
  // siblings.
  void SetChecked(bool v);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  // Shown through Application->Hint while the item is highlighted (the part
  // after "|" when there is one).
  QString Hint() const { return hint_; }
  void SetHint(const QString& v) { hint_ = v; }
  bool IsLine() const { return caption_ == QLatin1String("-"); }

  // Sub-items.
  int Count() const { return static_cast<int>(items_.size()); }
  // Index out of range: EMenuError.
  TMenuItem* Items(int index) const;
  int IndexOf(const TMenuItem* item) const { return items_.indexOf(item); }
  // An item that already has a parent: EMenuError.
  void Add(TMenuItem* item) { Insert(Count(), item); }
  void Insert(int index, TMenuItem* item);
  // Takes item out of this item (it is not freed).
  void Remove(TMenuItem* item);
  // Removes and frees the sub-item at index.
  void Delete(int index);
  // Frees every sub-item.
  void Clear();
  TMenuItem* Parent() const { return parent_; }
  // Position among the parent's items; -1 without a parent.
  int MenuIndex() const;
  void SetMenuIndex(int index);
  // The menu whose tree holds this item; nullptr when none.
  TMenu* GetParentMenu() const;

  // Runs OnClick when the item is enabled.
  virtual void Click();
  TNotifyEvent OnClick;

  // Streaming: nested inside the parent item or menu.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TMenuItem, TComponent>& b);

 protected:
  void BeforeDestruction() override;

 private:
  friend class TMenu;
  void Detach();
  void Changed();
  void TurnSiblingsOff();

  QString caption_;
  TShortCut shortCut_ = scNone;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  QString hint_;
  QList<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item of a menu only
  std::shared_ptr<TMenuItem*> self_ = std::make_shared<TMenuItem*>(this);
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item; its sub-items are the menu's entries.
  TMenuItem* Items() const { return items_; }
  // Finds the enabled item with that shortcut and clicks it (running the
  // OnClick of its parent items first, so they can update it); true when
  // an item took the key.
  bool IsShortCut(TShortCut shortCut);
  // The item with that shortcut (first in menu order); nullptr when none.
  TMenuItem* FindShortCut(TShortCut shortCut) const;

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Loaded() override;

  // Internal: an item of the tree changed.
  void ItemsChanged();

 protected:
  // Rebuilds the Qt menus that exist.
  virtual void RebuildQt() = 0;
  // Empties the Qt menu (a QMenuBar or QMenu) and fills it with actions
  // for the sub-items of the root item.
  void BuildQtMenu(QWidget* menu);
  // True when a key press sent to widget is for this menu.
  virtual bool ServesWidget(QWidget* widget) const = 0;
  // An event of the application seen by the watcher; true uses it up.
  virtual bool WatchedEvent(QWidget* widget, QEvent* event);
  // Starts watching key presses of the application.
  void WatchKeys();
  void BeforeDestruction() override;

 private:
  class TKeyWatcher;
  void ConfigureAction(QAction* action, TMenuItem* item);

  TMenuItem* items_;  // owned (a component of this menu)
  bool destroying_ = false;
  std::unique_ptr<TKeyWatcher> watcher_;
  // Parent of the Qt objects of the current build; replaced (and deleted
  // later, never inside a signal of its own actions) on each rebuild.
  QPointer<QWidget> holder_;
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* owner);
  ~TMainMenu() override;

  // The form whose window shows this menu; nullptr while none.
  TForm* Form() const { return form_; }
  // The menu bar on the form's window; nullptr while not attached.
  QMenuBar* MenuBar() const;

  void Notification(TComponent* component, TOperation operation) override;

 protected:
  void RebuildQt() override;
  bool ServesWidget(QWidget* widget) const override;

 private:
  friend void AttachMainMenu(TForm* form, TMainMenu* menu);
  void AttachTo(TForm* form);
  void PlaceBar();

  TForm* form_ = nullptr;
  QPointer<QMenuBar> bar_;
  std::unique_ptr<QObject> resizeWatcher_;
};

// Shows menu as the menu bar of form's window (nullptr removes the form's
// menu bar) and lets its shortcuts work there.
void AttachMainMenu(TForm* form, TMainMenu* menu);
// The menu attached to form (looked for among the form's components);
// nullptr when none.
TMainMenu* FormMainMenu(const TForm* form);

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // Runs OnPopup, then shows the menu with its top-left corner at the
  // screen point (x, y); returns at once.
  virtual void Popup(int x, int y);
  // Where the last Popup showed the menu.
  TPoint PopupPoint() const { return popupPoint_; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  // The control whose right click showed the menu (set by the caller of
  // Popup otherwise).
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* v);
  // The Qt menu while one was built; nullptr before the first Popup.
  QMenu* QtMenu() const { return menu_.get(); }
  // Closes the menu when it shows.
  void CloseUp();

  TNotifyEvent OnPopup;

  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TPopupMenu, TMenu>& b);

 protected:
  virtual void DoPopup();
  void RebuildQt() override;
  bool ServesWidget(QWidget* widget) const override;
  bool WatchedEvent(QWidget* widget, QEvent* event) override;

 private:
  friend void SetControlPopupMenu(TControl* control, TPopupMenu* menu);

  TPoint popupPoint_;
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
  std::unique_ptr<QMenu> menu_;
  QList<TControl*> controls_;  // controls that show this menu on a right click
};

// Makes menu the context menu of control: with AutoPopup, a right click (a
// context-menu request) on the control shows it at the mouse, with the
// control as PopupComponent. nullptr removes it. control->PopupMenu() follows.
void SetControlPopupMenu(TControl* control, TPopupMenu* menu);

// Registers the menu classes for form files.
void RegisterMenuClasses();
