#include "platform/controls/PageControl.h"

#include "platform/rtl/Exceptions.h"

#include <QFontMetrics>
#include <QWidget>

namespace {

constexpr int kTabMargin = 12;
constexpr int kTabLeft = 2;

}  // namespace

// Tab row.

TCustomTabControl::TCustomTabControl(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  SetColor(clBtnFace);
}

TRect TCustomTabControl::DisplayRect() const {
  return Rect(4, kTabHeight + 6, qMax(4, Width() - 4), qMax(kTabHeight + 6, Height() - 4));
}

TRect TCustomTabControl::TabRect(int tab) const {
  const QStringList texts = TabTexts();
  if (tab < 0 || tab >= texts.size()) return Rect(0, 0, 0, 0);
  const QFontMetrics metrics(Font()->ToQFont());
  int x = kTabLeft;
  for (int i = 0; i < tab; ++i) x += metrics.horizontalAdvance(texts[i]) + kTabMargin;
  return Rect(x, 2, x + metrics.horizontalAdvance(texts[tab]) + kTabMargin, 2 + kTabHeight);
}

int TCustomTabControl::IndexOfTabAt(int x, int y) const {
  const int count = static_cast<int>(TabTexts().size());
  for (int i = 0; i < count; ++i)
    if (TabRect(i).Contains({x, y})) return i;
  return -1;
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

void TCustomTabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    const int tab = IndexOfTabAt(x, y);
    if (tab >= 0 && tab != SelectedTab()) TabClicked(tab);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomTabControl::PaintTab(int tab, const QString& text, bool selected) {
  TCanvas* c = Canvas();
  TRect r = TabRect(tab);
  if (selected) r = Rect(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 1);
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  c->Pen()->SetColor(clBtnHighlight);
  c->MoveTo(r.Left, r.Bottom - 1);
  c->LineTo(r.Left, r.Top);
  c->LineTo(r.Right - 1, r.Top);
  c->Pen()->SetColor(clBtnShadow);
  c->MoveTo(r.Right - 1, r.Top + 1);
  c->LineTo(r.Right - 1, r.Bottom);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(r.Left + kTabMargin / 2, r.Top + 3, text);
  c->Brush()->SetStyle(bsSolid);
}

void TCustomTabControl::Paint() {
  TCanvas* c = Canvas();
  c->SetFont(Font());
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  // The display area's raised frame.
  const TRect d = Rect(DisplayRect().Left - 2, kTabHeight + 2, Width(), Height());
  c->Pen()->SetColor(clBtnHighlight);
  c->MoveTo(d.Left, d.Bottom - 1);
  c->LineTo(d.Left, d.Top);
  c->LineTo(d.Right - 1, d.Top);
  c->Pen()->SetColor(clBtnShadow);
  c->LineTo(d.Right - 1, d.Bottom - 1);
  c->LineTo(d.Left, d.Bottom - 1);
  const QStringList texts = TabTexts();
  const int selected = SelectedTab();
  for (int i = 0; i < texts.size(); ++i)
    if (i != selected) PaintTab(i, texts[i], false);
  if (selected >= 0 && selected < texts.size()) PaintTab(selected, texts[selected], true);
}

void TCustomTabControl::DeclareProperties(TClassBuilder<TCustomTabControl, TCustomControl>& b) {
  b.Event("OnChange", &TCustomTabControl::OnChange);
  b.Event("OnChanging", &TCustomTabControl::OnChanging);
}

// Sheets.

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
  SetColor(clBtnFace);
}

TTabSheet::~TTabSheet() {
  if (pageControl_ != nullptr) pageControl_->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
  if (pageControl_ != nullptr && parent != pageControl_) pageControl_->RemovePage(this);
  TCustomControl::SetParent(parent);
  auto* pc = dynamic_cast<TPageControl*>(parent);
  if (pc != nullptr && pc != pageControl_) pc->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* v) { SetParent(v); }

int TTabSheet::PageIndex() const {
  return pageControl_ != nullptr ? static_cast<int>(pageControl_->pages_.indexOf(this)) : -1;
}

void TTabSheet::SetPageIndex(int v) {
  if (pageControl_ != nullptr) pageControl_->MovePage(this, v);
}

int TTabSheet::TabIndex() const {
  if (pageControl_ == nullptr || !tabVisible_) return -1;
  return static_cast<int>(pageControl_->VisibleTabs().indexOf(this));
}

void TTabSheet::SetTabVisible(bool v) {
  if (v == tabVisible_) return;
  const int oldTab = TabIndex();
  tabVisible_ = v;
  if (pageControl_ != nullptr) pageControl_->TabVisibilityChanged(this, oldTab);
}

void TTabSheet::WndProc(TMessage& m) {
  TCustomControl::WndProc(m);
  if (m.Msg == CM_TEXTCHANGED && pageControl_ != nullptr) pageControl_->Invalidate();
}

// Only the active sheet's window shows.
void TTabSheet::UpdateWidgetVisibility() {
  if (Widget() != nullptr)
    Widget()->setVisible(Visible() && pageControl_ != nullptr && pageControl_->ActivePage() == this);
}

void TTabSheet::CreateWidget(QWidget* parent) {
  TCustomControl::CreateWidget(parent);
  UpdateWidgetVisibility();
}

void TTabSheet::DeclareProperties(TClassBuilder<TTabSheet, TCustomControl>& b) {
  b.Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
  b.Property("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false);
}

// Page control.

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= pages_.size())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return pages_.at(index);
}

QList<TTabSheet*> TPageControl::VisibleTabs() const {
  QList<TTabSheet*> shown;
  for (TTabSheet* page : pages_)
    if (page->TabVisible()) shown.append(page);
  return shown;
}

QStringList TPageControl::TabTexts() const {
  QStringList texts;
  for (TTabSheet* page : VisibleTabs()) texts.append(page->Caption());
  return texts;
}

int TPageControl::SelectedTab() const {
  return activePage_ != nullptr ? activePage_->TabIndex() : -1;
}

void TPageControl::TabClicked(int tab) { ChangeActivePage(VisibleTabs().value(tab)); }

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.append(page);
  page->pageControl_ = this;
  page->FreeNotification(this);
  LayoutPages();
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* page) {
  const int oldTab = page->TabIndex();
  page->pageControl_ = nullptr;
  if (activePage_ == page) {
    // As when its tab is hidden: the next tab takes its place.
    pages_.removeOne(page);
    activePage_ = nullptr;
    const QList<TTabSheet*> shown = VisibleTabs();
    if (!shown.isEmpty()) SetActivePage(shown.at(qMin(oldTab < 0 ? 0 : oldTab, static_cast<int>(shown.size()) - 1)));
  } else {
    pages_.removeOne(page);
  }
  page->UpdateWidgetVisibility();
  Invalidate();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  const int from = static_cast<int>(pages_.indexOf(page));
  if (from < 0) return;
  pages_.move(from, qBound(0, index, static_cast<int>(pages_.size()) - 1));
  Invalidate();
}

void TPageControl::TabVisibilityChanged(TTabSheet* page, int oldTab) {
  if (page == activePage_ && !page->TabVisible()) {
    const QList<TTabSheet*> shown = VisibleTabs();
    SetActivePage(shown.isEmpty() ? nullptr
                                  : shown.at(qMin(oldTab, static_cast<int>(shown.size()) - 1)));
  }
  Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page != nullptr && page->pageControl_ != this) return;
  activePage_ = page;
  for (TTabSheet* p : pages_) p->UpdateWidgetVisibility();
  Invalidate();
}

int TPageControl::ActivePageIndex() const {
  return activePage_ != nullptr ? static_cast<int>(pages_.indexOf(activePage_)) : -1;
}

void TPageControl::SetActivePageIndex(int v) {
  SetActivePage(v >= 0 && v < pages_.size() ? pages_.at(v) : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
  const int count = static_cast<int>(pages_.size());
  if (count == 0) return nullptr;
  int start = static_cast<int>(pages_.indexOf(current));
  if (start < 0) start = goForward ? count - 1 : 0;
  int i = start;
  for (int n = 0; n < count; ++n) {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* page = pages_.at(i);
    if (!checkTabVisible || page->TabVisible()) return page;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
  if (page != nullptr) ChangeActivePage(page);
}

// A change the user asked for: OnChanging may refuse it.
void TPageControl::ChangeActivePage(TTabSheet* page) {
  if (page == nullptr || page == activePage_) return;
  if (!CanChange()) return;
  SetActivePage(page);
  Change();
}

void TPageControl::LayoutPages() {
  const TRect d = DisplayRect();
  for (TTabSheet* page : pages_) page->SetBounds(d.Left, d.Top, d.Width(), d.Height());
}

void TPageControl::SetBounds(int left, int top, int width, int height) {
  TCustomTabControl::SetBounds(left, top, width, height);
  LayoutPages();
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TCustomTabControl::Notification(component, operation);
  if (operation == opRemove && component == activePage_) activePage_ = nullptr;
}

void TPageControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  for (TTabSheet* page : pages_)
    if (page->Owner() == root) proc(page);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == root && !pages_.contains(dynamic_cast<TTabSheet*>(c))) proc(c);
  }
}

void TPageControl::DeclareProperties(TClassBuilder<TPageControl, TCustomTabControl>& b) {
  b.Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
}

// Tab control.

TTabControl::TTabControl(TComponent* owner)
    : TCustomTabControl(owner), tabs_(std::make_unique<TStringList>()) {
  tabs_->OnChange = [this](TStrings*) {
    if (tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() - 1;
    Invalidate();
  };
}

QStringList TTabControl::TabTexts() const {
  QStringList texts;
  for (int i = 0; i < tabs_->Count(); ++i) texts.append(tabs_->Get(i));
  return texts;
}

void TTabControl::SetTabIndex(int v) {
  tabIndex_ = v >= 0 && v < tabs_->Count() ? v : -1;
  Invalidate();
}

void TTabControl::TabClicked(int tab) {
  if (!CanChange()) return;
  SetTabIndex(tab);
  Change();
}

void TTabControl::DeclareProperties(TClassBuilder<TTabControl, TCustomTabControl>& b) {
  b.Object("Tabs", &TTabControl::Tabs);
  b.Property("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex).Default(-1);
}
