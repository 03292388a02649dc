// Entries from Qt signals: a handler that raises, reached through a Qt
// signal of a control's widget, is shown by the application (not thrown
// through Qt's event loop) and the control goes on working.
#include "platform/controls/ComboBox.h"
#include "platform/controls/Grids.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Memo.h"
#include "platform/controls/Menus.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"
#include "platform/rtl/Exceptions.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTreeWidget>

#include <functional>

namespace {

[[noreturn]] void Raise(const char* what) { throw EConvertError(QString::fromUtf8(what)); }

// Builds a control on the form with a raising handler; returns what makes
// Qt emit the signal again (each call a real change).
using TArrange = std::function<std::function<void(int round)>(TForm* form)>;

struct EntryCase {
  const char* name;
  TArrange arrange;
};

template <class T>
T* On(TForm* form) {
  auto* c = new T(form);
  c->SetParent(form);
  return c;
}

const EntryCase kCases[] = {
    {"EditOnChange",
     [](TForm* form) {
       auto* edit = On<TEdit>(form);
       edit->OnChange = [](TObject*) { Raise("EditOnChange"); };
       auto* box = static_cast<QLineEdit*>(edit->NativeWidget());
       return [box](int round) { box->setText(QString::number(round)); };
     }},
    {"ComboBoxPicked",
     [](TForm* form) {
       auto* combo = On<TComboBox>(form);
       combo->Items()->Add(QStringLiteral("a"));
       combo->OnChange = [](TObject*) { Raise("ComboBoxPicked"); };
       auto* box = static_cast<QComboBox*>(combo->NativeWidget());
       return [box](int) { emit box->activated(0); };
     }},
    {"ComboBoxTyped",
     [](TForm* form) {
       auto* combo = On<TComboBox>(form);
       combo->OnChange = [](TObject*) { Raise("ComboBoxTyped"); };
       QLineEdit* edit = static_cast<QComboBox*>(combo->NativeWidget())->lineEdit();
       return [edit](int round) { emit edit->textEdited(QString::number(round)); };
     }},
    {"ListBoxOnClick",
     [](TForm* form) {
       auto* list = On<TListBox>(form);
       list->Items()->Add(QStringLiteral("a"));
       list->Items()->Add(QStringLiteral("b"));
       list->OnClick = [](TObject*) { Raise("ListBoxOnClick"); };
       auto* box = static_cast<QListWidget*>(list->NativeWidget());
       return [box](int round) { box->setCurrentRow(round % 2); };
     }},
    {"MemoOnChange",
     [](TForm* form) {
       auto* memo = On<TMemo>(form);
       memo->OnChange = [](TObject*) { Raise("MemoOnChange"); };
       auto* box = static_cast<QPlainTextEdit*>(memo->NativeWidget());
       return [box](int) { box->insertPlainText(QStringLiteral("x")); };
     }},
    {"ListViewOnChange",
     [](TForm* form) {
       auto* view = On<TListView>(form);
       view->SetViewStyle(vsReport);
       view->Columns()->Add()->SetCaption(QStringLiteral("Asema"));
       view->Items()->Add()->SetCaption(QStringLiteral("a"));
       view->Items()->Add()->SetCaption(QStringLiteral("b"));
       view->OnChange = [](TObject*, TListItem*, TItemChange) { Raise("ListViewOnChange"); };
       auto* tree = static_cast<QTreeWidget*>(view->NativeWidget());
       return [tree](int round) { tree->setCurrentItem(tree->topLevelItem(round % 2)); };
     }},
    {"TreeViewOnChange",
     [](TForm* form) {
       auto* view = On<TTreeView>(form);
       view->Items()->Add(nullptr, QStringLiteral("a"));
       view->Items()->Add(nullptr, QStringLiteral("b"));
       view->OnChange = [](TObject*, TTreeNode*) { Raise("TreeViewOnChange"); };
       auto* tree = static_cast<QTreeWidget*>(view->NativeWidget());
       return [tree](int round) { tree->setCurrentItem(tree->topLevelItem(round % 2)); };
     }},
    {"TreeViewOnExpanded",
     [](TForm* form) {
       auto* view = On<TTreeView>(form);
       TTreeNode* parent = view->Items()->Add(nullptr, QStringLiteral("a"));
       view->Items()->AddChild(parent, QStringLiteral("b"));
       view->OnExpanded = [](TObject*, TTreeNode*) { Raise("TreeViewOnExpanded"); };
       auto* tree = static_cast<QTreeWidget*>(view->NativeWidget());
       return [tree](int) {
         tree->topLevelItem(0)->setExpanded(false);
         tree->topLevelItem(0)->setExpanded(true);
       };
     }},
    {"GridScrollBar",
     [](TForm* form) {
       auto* grid = On<TStringGrid>(form);
       grid->SetBounds(0, 0, 200, 100);
       grid->SetRowCount(30);
       grid->OnTopLeftChanged = [](TObject*) { Raise("GridScrollBar"); };
       return [grid](int round) {
         for (QScrollBar* bar : grid->Widget()->findChildren<QScrollBar*>())
           if (bar->orientation() == Qt::Vertical) bar->setValue(2 + round);
       };
     }},
    {"MenuItemOnClick",
     [](TForm* form) {
       auto* menu = new TMainMenu(form);
       auto* top = new TMenuItem(form);
       top->SetCaption(QStringLiteral("&Tiedosto"));
       menu->Items()->Add(top);
       auto* open = new TMenuItem(form);
       open->SetCaption(QStringLiteral("&Avaa"));
       open->OnClick = [](TObject*) { Raise("MenuItemOnClick"); };
       top->Add(open);
       form->SetMenu(menu);
       return [menu](int) { menu->MenuBar()->actions()[0]->menu()->actions()[0]->trigger(); };
     }},
    {"MenuHoverOnHint",
     [](TForm* form) {
       auto* menu = new TMainMenu(form);
       auto* top = new TMenuItem(form);
       top->SetCaption(QStringLiteral("&Tiedosto"));
       menu->Items()->Add(top);
       for (const char* hint : {"Avaa|Avaa tiedosto", "Tallenna|Tallenna tiedosto"}) {
         auto* item = new TMenuItem(form);
         item->SetCaption(QString::fromUtf8(hint).section(QLatin1Char('|'), 0, 0));
         item->SetHint(QString::fromUtf8(hint));
         top->Add(item);
       }
       form->SetMenu(menu);
       Application->OnHint = [](TObject*) { Raise("MenuHoverOnHint"); };
       return [menu](int round) { menu->MenuBar()->actions()[0]->menu()->actions()[round % 2]->hover(); };
     }},
    {"ApplicationStateOnActivate",
     [](TForm*) {
       Application->OnActivate = [](TObject*) { Raise("ApplicationStateOnActivate"); };
       return [](int) {
         auto* gui = static_cast<QGuiApplication*>(QCoreApplication::instance());
         emit gui->applicationStateChanged(Qt::ApplicationInactive);
         emit gui->applicationStateChanged(Qt::ApplicationActive);
       };
     }},
};

class GuardedEntryTest : public NativeControlsTest, public testing::WithParamInterface<EntryCase> {};

TEST_P(GuardedEntryTest, ARaisingHandlerIsShownAndTheProgramGoesOn) {
  const std::function<void(int)> fire = GetParam().arrange(form.get());
  form->Show();
  const QString expected = QString::fromUtf8(GetParam().name) + QLatin1Char('.');
  for (int round = 1; round <= 2; ++round) {
    fire(round);
    ASSERT_EQ(boxes.size(), round) << "round " << round;
    EXPECT_EQ(boxes.last().text, expected);
    EXPECT_EQ(boxes.last().icon, miError);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryEntry, GuardedEntryTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<EntryCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
