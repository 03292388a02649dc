#pragma once
// Tabbed controls that draw themselves: TPageControl with its TTabSheet
// pages, and TTabControl (a row of tabs over one client area).
//
// Tabs sit in one row along the top, each as wide as its caption plus a
// margin; the selected tab stands out over the display area below. Clicking
// a tab and SelectNextPage ask OnChanging (which may refuse) and then fire
// OnChange; setting ActivePage, ActivePageIndex or TabIndex from code fires
// neither. A sheet with TabVisible off has no tab; hiding the active sheet's
// tab moves to the sheet whose tab takes its place.

#include "platform/controls/WinControl.h"
#include "platform/rtl/StringList.h"

#include <QStringList>

class TPageControl;

using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

// The tab row and its painting, shared by both controls.
class TCustomTabControl : public TCustomControl {
 public:
  explicit TCustomTabControl(TComponent* owner);

  // The area below the tabs that pages or children fill.
  TRect DisplayRect() const;
  // The tab under a client point; -1 when none.
  int IndexOfTabAt(int x, int y) const;
  TRect TabRect(int tab) const;

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

  static void DeclareProperties(TClassBuilder<TCustomTabControl, TCustomControl>& b);

 protected:
  static constexpr int kTabHeight = 20;
  // The captions of the tabs shown, and which of them is selected (-1: none).
  virtual QStringList TabTexts() const = 0;
  virtual int SelectedTab() const = 0;
  virtual void TabClicked(int tab) = 0;
  bool CanChange();
  virtual void Change();
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void PaintTab(int tab, const QString& text, bool selected);
};

class TTabSheet : public TCustomControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* v);
  // Position among the control's pages; -1 when in none.
  int PageIndex() const;
  void SetPageIndex(int v);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  // Position among the visible tabs; -1 when the tab is hidden.
  int TabIndex() const;
  void SetParent(TWinControl* parent) override;
  void WndProc(TMessage& message) override;

  static void DeclareProperties(TClassBuilder<TTabSheet, TCustomControl>& b);

 protected:
  void CreateWidget(QWidget* parent) override;
  void UpdateWidgetVisibility() override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
};

class TPageControl : public TCustomTabControl {
 public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Out of range: EListError.
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int v);
  // Index of the active page's tab among the visible ones; -1 when none.
  int TabIndex() const { return SelectedTab(); }
  // The next (or previous) page, wrapping around, skipping hidden tabs when
  // checkTabVisible; nullptr when there is none other.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
  void SelectNextPage(bool goForward, bool checkTabVisible = true);
  void SetBounds(int left, int top, int width, int height) override;
  void Notification(TComponent* component, TOperation operation) override;
  // Pages in page order, then any other children.
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

  static void DeclareProperties(TClassBuilder<TPageControl, TCustomTabControl>& b);

 protected:
  QStringList TabTexts() const override;
  int SelectedTab() const override;
  void TabClicked(int tab) override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  void TabVisibilityChanged(TTabSheet* page, int oldTab);
  void ChangeActivePage(TTabSheet* page);
  void LayoutPages();
  QList<TTabSheet*> VisibleTabs() const;

  QList<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

class TTabControl : public TCustomTabControl {
 public:
  explicit TTabControl(TComponent* owner);

  TStrings* Tabs() const { return tabs_.get(); }
  void SetTabs(TStrings* v) { tabs_->Assign(*v); }
  // -1 when no tab is selected; an index out of range selects none.
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int v);

  static void DeclareProperties(TClassBuilder<TTabControl, TCustomTabControl>& b);

 protected:
  QStringList TabTexts() const override;
  int SelectedTab() const override { return tabIndex_; }
  void TabClicked(int tab) override;

 private:
  std::unique_ptr<TStringList> tabs_;
  int tabIndex_ = -1;
};
