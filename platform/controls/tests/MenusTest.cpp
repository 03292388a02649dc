// Menus: the item tree, radio groups, menus read from form files, the Qt
// menus built from them, shortcuts ahead of a focused edit box, popups.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/Clipbrd.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Menus.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include <optional>

#include "tests/support/TestSupport.h"

namespace {

const char kMenuForm[] = R"(object MenuTestForm: TMenuTestForm
  Caption = 'Valikot'
  ClientWidth = 300
  ClientHeight = 200
  Menu = MainMenu1
  object MainMenu1: TMainMenu
    object Tiedosto1: TMenuItem
      Caption = '&Tiedosto'
      OnClick = Tiedosto1Click
      object Avaa1: TMenuItem
        Caption = '&Avaa...'
        Hint = 'Avaa|Avaa ruudukko tiedostosta'
        ShortCut = 16463
        OnClick = Avaa1Click
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Lopeta1: TMenuItem
        Caption = '&Lopeta'
        OnClick = Lopeta1Click
      end
    end
    object Muokkaa1: TMenuItem
      Caption = '&Muokkaa'
      object Kopioi1: TMenuItem
        Caption = '&Kopioi'
        ShortCut = 16451
        OnClick = Kopioi1Click
      end
    end
  end
  object Edit1: TEdit
    Left = 10
    Top = 40
    Width = 120
    Height = 21
  end
end
)";

// A form whose menu comes from its form file, with handlers that count
// their calls.
class TMenuTestForm : public TForm {
 public:
  TMenuTestForm(TComponent* owner, const QString& path) : TForm(owner) {
    DefineMethod("Tiedosto1Click", this, &TMenuTestForm::Count);
    DefineMethod("Avaa1Click", this, &TMenuTestForm::Count);
    DefineMethod("Lopeta1Click", this, &TMenuTestForm::Count);
    DefineMethod("Kopioi1Click", this, &TMenuTestForm::Count);
    ReadForm(this, path);
  }
  void Count(TObject* sender) { clicks.append(static_cast<TComponent*>(sender)->Name()); }
  QStringList clicks;

  static void DeclareProperties(TClassBuilder<TMenuTestForm, TForm>&) {}
};

class MenusTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterMenuClasses();
    RegisterStdControlClasses();
  }

  TMenuTestForm* ReadMenuForm() {
    const QString path = dir.filePath("menu.form");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kMenuForm);
    file.close();
    return new TMenuTestForm(app.get(), path);
  }

  static TMenuItem* NewItem(TComponent* owner, const QString& caption, TMenuItem* parent) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    if (parent != nullptr) parent->Add(item);
    return item;
  }

  static void SendKey(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &release);
  }

  QTemporaryDir dir;
};

// Tree operations.

TEST_F(MenusTest, AddInsertRemoveKeepOrderAndParents) {
  auto* menu = new TPopupMenu(app.get());
  TMenuItem* root = menu->Items();
  TMenuItem* a = NewItem(menu, "A", root);
  TMenuItem* c = NewItem(menu, "C", root);
  TMenuItem* b = NewItem(menu, "B", nullptr);
  root->Insert(1, b);
  ASSERT_EQ(root->Count(), 3);
  EXPECT_EQ(root->Items(0), a);
  EXPECT_EQ(root->Items(1), b);
  EXPECT_EQ(root->Items(2), c);
  EXPECT_EQ(root->IndexOf(c), 2);
  EXPECT_EQ(b->Parent(), root);
  EXPECT_EQ(b->MenuIndex(), 1);
  EXPECT_EQ(b->GetParentMenu(), menu);
  EXPECT_EQ(b->GetParentComponent(), menu);

  c->SetMenuIndex(0);
  EXPECT_EQ(root->Items(0), c);
  root->Remove(a);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(a->MenuIndex(), -1);
  EXPECT_EQ(root->Count(), 2);
  EXPECT_THROW(root->Remove(a), EMenuError);
  EXPECT_THROW(root->Items(5), EMenuError);
  EXPECT_THROW(root->Insert(9, a), EMenuError);
  EXPECT_THROW(root->Add(b), EMenuError);  // already in the menu
  EXPECT_THROW(b->Add(root), EMenuError);  // a menu's root is never a sub-item
}

TEST_F(MenusTest, AnItemCannotBeInsertedIntoItsOwnSubTree) {
  auto* menu = new TPopupMenu(app.get());
  TMenuItem* top = NewItem(menu, "Top", menu->Items());
  TMenuItem* sub = NewItem(menu, "Sub", top);
  menu->Items()->Remove(top);
  EXPECT_THROW(sub->Add(top), EMenuError);
}

TEST_F(MenusTest, DeleteAndClearFreeTheSubItems) {
  auto* menu = new TPopupMenu(app.get());
  TMenuItem* file = NewItem(menu, "File", menu->Items());
  NewItem(menu, "Open", file);
  NewItem(menu, "Save", file);
  const int owned = menu->ComponentCount();
  file->Delete(0);
  EXPECT_EQ(file->Count(), 1);
  EXPECT_EQ(file->Items(0)->Caption(), "Save");
  EXPECT_EQ(menu->ComponentCount(), owned - 1);
  file->Clear();
  EXPECT_EQ(file->Count(), 0);
  EXPECT_EQ(menu->ComponentCount(), owned - 2);
}

TEST_F(MenusTest, FreeingAnItemTakesItOutOfItsParent) {
  auto* menu = new TPopupMenu(app.get());
  TMenuItem* file = NewItem(menu, "File", menu->Items());
  TMenuItem* open = NewItem(menu, "Open", file);
  NewItem(menu, "Save", file);
  open->Free();
  ASSERT_EQ(file->Count(), 1);
  EXPECT_EQ(file->Items(0)->Caption(), "Save");
  file->Free();  // frees its remaining sub-item as well
  EXPECT_EQ(menu->Items()->Count(), 0);
  EXPECT_EQ(menu->ComponentCount(), 1);  // the root item only
}

// Radio groups.

TEST_F(MenusTest, CheckingARadioItemUnchecksItsGroupOnly) {
  auto* menu = new TPopupMenu(app.get());
  TMenuItem* root = menu->Items();
  QList<TMenuItem*> group1;
  for (const char* caption : {"Pieni", "Keski", "Suuri"}) {
    TMenuItem* item = NewItem(menu, caption, root);
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
    group1.append(item);
  }
  TMenuItem* other = NewItem(menu, "Muu", root);
  other->SetRadioItem(true);
  other->SetGroupIndex(2);
  other->SetChecked(true);
  TMenuItem* plain = NewItem(menu, "Tavallinen", root);
  plain->SetGroupIndex(1);
  plain->SetChecked(true);

  group1[0]->SetChecked(true);
  group1[1]->SetChecked(true);
  EXPECT_FALSE(group1[0]->Checked());
  EXPECT_TRUE(group1[1]->Checked());
  EXPECT_FALSE(group1[2]->Checked());
  EXPECT_TRUE(other->Checked());  // another group
  EXPECT_TRUE(plain->Checked());  // not a radio item

  group1[1]->SetChecked(false);
  EXPECT_FALSE(group1[1]->Checked());
  EXPECT_FALSE(group1[0]->Checked());  // unchecking checks nobody else
}

TEST_F(MenusTest, RadioGroupsAreAmongSiblingsOnly) {
  auto* menu = new TPopupMenu(app.get());
  TMenuItem* left = NewItem(menu, "L", menu->Items());
  TMenuItem* right = NewItem(menu, "R", menu->Items());
  TMenuItem* a = NewItem(menu, "a", left);
  TMenuItem* b = NewItem(menu, "b", right);
  for (TMenuItem* item : {a, b}) {
    item->SetRadioItem(true);
    item->SetChecked(true);
  }
  EXPECT_TRUE(a->Checked());
  EXPECT_TRUE(b->Checked());
}

TEST_F(MenusTest, JoiningAGroupCheckedUnchecksTheOthers) {
  auto* menu = new TPopupMenu(app.get());
  TMenuItem* a = NewItem(menu, "a", menu->Items());
  TMenuItem* b = NewItem(menu, "b", menu->Items());
  a->SetRadioItem(true);
  a->SetChecked(true);
  b->SetRadioItem(true);
  b->SetGroupIndex(3);
  b->SetChecked(true);
  EXPECT_TRUE(a->Checked());
  b->SetGroupIndex(0);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
}

// Form files and the Qt menus.

TEST_F(MenusTest, FormFileBuildsTheNestedTree) {
  TMenuTestForm* form = ReadMenuForm();
  auto* menu = FindComponentAs<TMainMenu>(form, "MainMenu1");
  EXPECT_EQ(form->Menu(), menu);
  EXPECT_EQ(menu->Form(), form);
  TMenuItem* root = menu->Items();
  ASSERT_EQ(root->Count(), 2);
  TMenuItem* file = root->Items(0);
  EXPECT_EQ(file->Name(), "Tiedosto1");
  EXPECT_EQ(file->Owner(), form);
  ASSERT_EQ(file->Count(), 3);
  EXPECT_EQ(file->Items(0)->Name(), "Avaa1");
  EXPECT_EQ(file->Items(0)->ShortCut(), scCtrl | 'O');
  EXPECT_TRUE(file->Items(1)->IsLine());
  EXPECT_EQ(file->Items(2)->Caption(), "&Lopeta");
  EXPECT_EQ(root->Items(1)->Items(0)->Name(), "Kopioi1");
  EXPECT_EQ(file->Items(0)->GetParentComponent(), file);
  EXPECT_EQ(file->GetParentComponent(), menu);
  file->Items(2)->Click();
  EXPECT_EQ(form->clicks, QStringList{"Lopeta1"});
}

TEST_F(MenusTest, WrittenFormNestsItemsAndReadsBackTheSame) {
  TMenuTestForm* form = ReadMenuForm();
  const QByteArray written = WriteComponentText(form);
  EXPECT_TRUE(written.contains("  object MainMenu1: TMainMenu\n"
                               "    object Tiedosto1: TMenuItem\n"));
  EXPECT_TRUE(written.contains("      object Avaa1: TMenuItem\n"));
  EXPECT_TRUE(written.contains("ShortCut = 16463"));
  const QString path = dir.filePath("again.form");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(written);
  file.close();
  form->Free();  // its name is free again
  auto* again = new TMenuTestForm(app.get(), path);
  auto menuPart = [](const QByteArray& text) {
    const qsizetype from = text.indexOf("  object MainMenu1");
    return text.mid(from, text.indexOf("  object Edit1") - from).toStdString();
  };
  EXPECT_EQ(menuPart(WriteComponentText(again)), menuPart(written));
  EXPECT_EQ(again->Menu()->Items()->Items(0)->Count(), 3);
}

TEST_F(MenusTest, MenuBarShowsTheItems) {
  TMenuTestForm* form = ReadMenuForm();
  form->Show();
  Pump();
  auto* menu = FindComponentAs<TMainMenu>(form, "MainMenu1");
  QMenuBar* bar = menu->MenuBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->parentWidget(), form->Widget());
  EXPECT_EQ(bar->width(), form->Widget()->width());
  const QList<QAction*> top = bar->actions();
  ASSERT_EQ(top.size(), 2);
  EXPECT_EQ(top[0]->text(), "&Tiedosto");
  ASSERT_NE(top[0]->menu(), nullptr);
  const QList<QAction*> fileActions = top[0]->menu()->actions();
  ASSERT_EQ(fileActions.size(), 3);
  EXPECT_EQ(fileActions[0]->text(), "&Avaa...\tCtrl+O");
  EXPECT_TRUE(fileActions[1]->isSeparator());
  fileActions[2]->trigger();
  EXPECT_EQ(form->clicks, QStringList{"Lopeta1"});
}

TEST_F(MenusTest, QtMenusFollowPropertyChanges) {
  TMenuTestForm* form = ReadMenuForm();
  auto* menu = FindComponentAs<TMainMenu>(form, "MainMenu1");
  auto* open = FindComponentAs<TMenuItem>(form, "Avaa1");
  auto fileAction = [menu](int i) { return menu->MenuBar()->actions()[0]->menu()->actions()[i]; };
  open->SetCaption("&Lataa");
  open->SetShortCut(TextToShortCut("F3"));
  EXPECT_EQ(fileAction(0)->text(), "&Lataa\tF3");
  open->SetEnabled(false);
  EXPECT_FALSE(fileAction(0)->isEnabled());
  open->SetVisible(false);
  EXPECT_FALSE(fileAction(0)->isVisible());
  open->SetChecked(true);
  EXPECT_TRUE(fileAction(0)->isChecked());
  open->SetDefault(true);
  EXPECT_TRUE(fileAction(0)->font().bold());
  auto* extra = new TMenuItem(form);
  extra->SetCaption("&Tulosta");
  FindComponentAs<TMenuItem>(form, "Tiedosto1")->Insert(1, extra);
  EXPECT_EQ(fileAction(1)->text(), "&Tulosta");
  extra->Free();
  EXPECT_EQ(menu->MenuBar()->actions()[0]->menu()->actions().size(), 3);
}

TEST_F(MenusTest, TriggeringACheckableActionKeepsTheItemsState) {
  TMenuTestForm* form = ReadMenuForm();
  auto* open = FindComponentAs<TMenuItem>(form, "Avaa1");
  open->SetChecked(true);
  auto* menu = FindComponentAs<TMainMenu>(form, "MainMenu1");
  QAction* action = menu->MenuBar()->actions()[0]->menu()->actions()[0];
  action->trigger();  // Qt would toggle it off; the item was not changed
  action = menu->MenuBar()->actions()[0]->menu()->actions()[0];
  EXPECT_TRUE(action->isChecked());
  EXPECT_TRUE(open->Checked());
}

TEST_F(MenusTest, HighlightingAnItemShowsItsLongHint) {
  TMenuTestForm* form = ReadMenuForm();
  auto* menu = FindComponentAs<TMainMenu>(form, "MainMenu1");
  menu->MenuBar()->actions()[0]->menu()->actions()[0]->hover();
  EXPECT_EQ(app->Hint(), "Avaa ruudukko tiedostosta");
}

// Shortcuts.

TEST_F(MenusTest, ShortCutBeatsTheFocusedEditBox) {
  TMenuTestForm* form = ReadMenuForm();
  form->Show();
  Pump();
  auto* edit = FindComponentAs<TEdit>(form, "Edit1");
  edit->SetText("salainen");
  edit->SelectAll();
  Clipboard()->SetAsText("ennen");
  SendKey(edit->Editor(), Qt::Key_C, Qt::ControlModifier, QString(QChar(3)));
  EXPECT_EQ(form->clicks, QStringList{"Kopioi1"});
  EXPECT_EQ(Clipboard()->AsText(), "ennen");  // the box did not copy

  // Keys no item takes still reach the box.
  SendKey(edit->Editor(), Qt::Key_End, Qt::NoModifier, {});
  SendKey(edit->Editor(), Qt::Key_X, Qt::NoModifier, "x");
  EXPECT_EQ(edit->Text(), "salainenx");
  EXPECT_EQ(form->clicks, QStringList{"Kopioi1"});
}

TEST_F(MenusTest, DisabledItemLeavesTheKeyToTheBox) {
  TMenuTestForm* form = ReadMenuForm();
  form->Show();
  Pump();
  FindComponentAs<TMenuItem>(form, "Kopioi1")->SetEnabled(false);
  auto* edit = FindComponentAs<TEdit>(form, "Edit1");
  edit->SetText("salainen");
  edit->SelectAll();
  Clipboard()->SetAsText("ennen");
  SendKey(edit->Editor(), Qt::Key_C, Qt::ControlModifier, QString(QChar(3)));
  EXPECT_TRUE(form->clicks.isEmpty());
  EXPECT_EQ(Clipboard()->AsText(), "salainen");
}

TEST_F(MenusTest, ShortCutRunsTheParentsOnClickFirst) {
  TMenuTestForm* form = ReadMenuForm();
  auto* open = FindComponentAs<TMenuItem>(form, "Avaa1");
  open->SetEnabled(false);
  // The parent's handler may enable the item just in time.
  FindComponentAs<TMenuItem>(form, "Tiedosto1")->OnClick = [&](TObject*) {
    form->clicks.append("Tiedosto1");
    open->SetEnabled(true);
  };
  auto* menu = FindComponentAs<TMainMenu>(form, "MainMenu1");
  EXPECT_TRUE(menu->IsShortCut(scCtrl | 'O'));
  EXPECT_EQ(form->clicks, (QStringList{"Tiedosto1", "Avaa1"}));
  EXPECT_FALSE(menu->IsShortCut(scCtrl | 'Q'));
  EXPECT_FALSE(menu->IsShortCut(scNone));
}

TEST_F(MenusTest, KeysOfOtherWindowsAreLeftAlone) {
  TMenuTestForm* form = ReadMenuForm();
  form->Show();
  auto* other = new TForm(app.get());
  other->Show();
  Pump();
  SendKey(other->Widget(), Qt::Key_O, Qt::ControlModifier, QString(QChar(15)));
  EXPECT_TRUE(form->clicks.isEmpty());
  SendKey(form->Widget(), Qt::Key_O, Qt::ControlModifier, QString(QChar(15)));
  EXPECT_EQ(form->clicks, (QStringList{"Tiedosto1", "Avaa1"}));
}

// The main form's menu answers in the program's other windows that have no
// menu of their own (the game's picture window), while no modal window is up.
TEST_F(MenusTest, TheMainFormsShortCutsWorkInTheOtherWindows) {
  TMenuTestForm* withMenu = ReadMenuForm();  // writes the form file
  static QString path;
  path = dir.filePath("menu.form");
  struct TMainForm : TMenuTestForm {
    explicit TMainForm(TComponent* owner) : TMenuTestForm(owner, path) {}
  };
  TMainForm* form = nullptr;
  app->CreateForm(form);
  ASSERT_EQ(app->MainForm(), form);
  form->Show();
  auto* picture = new TForm(app.get());
  picture->Show();
  withMenu->Show();
  Pump();
  SendKey(picture->Widget(), Qt::Key_O, Qt::ControlModifier, QString(QChar(15)));
  EXPECT_EQ(form->clicks, (QStringList{"Tiedosto1", "Avaa1"}));
  SendKey(withMenu->Widget(), Qt::Key_O, Qt::ControlModifier, QString(QChar(15)));
  EXPECT_EQ(form->clicks.size(), 2);
  EXPECT_EQ(withMenu->clicks, (QStringList{"Tiedosto1", "Avaa1"}));
  app->ModalDriver = [&](TObject* modal) {
    SendKey(picture->Widget(), Qt::Key_O, Qt::ControlModifier, QString(QChar(15)));
    static_cast<TForm*>(modal)->SetModalResult(mrOk);
  };
  TForm dialog(nullptr);
  dialog.ShowModal();
  EXPECT_EQ(form->clicks.size(), 2) << "a key went past the modal window";
}

// Popup menus.

// Showing a popup on a platform without a window system warns.
void ExpectPopupWarnings() {
  qxtest::ExpectQtWarning("does not support raise()");
  qxtest::ExpectQtWarning("does not support grabbing");
}

TEST_F(MenusTest, PopupAtAPointRunsOnPopupAndShows) {
  auto* popup = new TPopupMenu(app.get());
  TMenuItem* item = NewItem(popup, "&Poista", popup->Items());
  NewItem(popup, "-", popup->Items());
  int clicked = 0;
  item->OnClick = [&clicked](TObject*) { ++clicked; };
  QStringList seen;
  popup->OnPopup = [&](TObject* sender) {
    seen.append(sender == popup ? "popup" : "other");
    // OnPopup runs before the menu is built: changes show.
    item->SetCaption("&Poista sana");
  };
  ExpectPopupWarnings();
  popup->Popup(120, 140);
  Pump();
  EXPECT_EQ(seen, QStringList{"popup"});
  EXPECT_EQ(popup->PopupPoint(), (TPoint{120, 140}));
  QMenu* qmenu = popup->QtMenu();
  ASSERT_NE(qmenu, nullptr);
  EXPECT_TRUE(qmenu->isVisible());
  EXPECT_EQ(qmenu->pos(), QPoint(120, 140));
  ASSERT_EQ(qmenu->actions().size(), 2);
  EXPECT_EQ(qmenu->actions()[0]->text(), "&Poista sana");
  qmenu->actions()[0]->trigger();
  EXPECT_EQ(clicked, 1);
  popup->CloseUp();
  EXPECT_FALSE(qmenu->isVisible());
}

TEST_F(MenusTest, RightClickOnAControlPopsItsMenu) {
  auto* form = new TForm(app.get());
  auto* panel = new TTestPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 50, 50);
  auto* inner = new TTestPanel(form);
  inner->SetParent(panel);
  inner->SetBounds(5, 5, 20, 20);
  auto* popup = new TPopupMenu(form);
  NewItem(popup, "Kohta", popup->Items());
  int popups = 0;
  popup->OnPopup = [&popups](TObject*) { ++popups; };
  SetControlPopupMenu(panel, popup);
  form->Show();
  Pump();
  ExpectPopupWarnings();

  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 3), QPoint(200, 210));
  QCoreApplication::sendEvent(inner->Widget(), &event);  // a child without a menu of its own
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(popup->PopupComponent(), panel);
  EXPECT_EQ(popup->PopupPoint(), (TPoint{200, 210}));
  popup->CloseUp();

  popup->SetAutoPopup(false);
  QContextMenuEvent again(QContextMenuEvent::Mouse, QPoint(2, 3), QPoint(200, 210));
  QCoreApplication::sendEvent(panel->Widget(), &again);
  EXPECT_EQ(popups, 1);

  panel->Free();  // the menu forgets the control
  EXPECT_EQ(popup->PopupComponent(), nullptr);
}

TEST_F(MenusTest, PopupMenuPropertyFollowsTheMenuAndIsClearedWhenItIsFreed) {
  auto* form = new TForm(app.get());
  auto* panel = new TTestPanel(form);
  panel->SetParent(form);
  auto* first = new TPopupMenu(form);
  auto* second = new TPopupMenu(form);
  panel->SetPopupMenu(first);
  EXPECT_EQ(panel->PopupMenu(), first);
  SetControlPopupMenu(panel, second);
  EXPECT_EQ(panel->PopupMenu(), second);
  panel->SetPopupMenu(nullptr);
  EXPECT_EQ(panel->PopupMenu(), nullptr);
  panel->SetPopupMenu(first);
  first->Free();
  EXPECT_EQ(panel->PopupMenu(), nullptr);
  panel->SetPopupMenu(second);
  delete second;  // a plain delete notifies too
  EXPECT_EQ(panel->PopupMenu(), nullptr);
}

TEST_F(MenusTest, PopupMenuReferenceReadsAndWritesBack) {
  const QByteArray text = R"(object PopupForm: TForm
  Left = 0
  Top = 0
  Width = 200
  Height = 120
  object Box: TTestPanel
    Left = 8
    Top = 8
    Width = 50
    Height = 50
    PopupMenu = PopupMenu1
  end
  object PopupMenu1: TPopupMenu
    object Poista1: TMenuItem
      Caption = '&Poista'
    end
  end
end
)";
  auto* form = new TForm(app.get());
  ReadRootComponent(form, text, QStringLiteral("popup.form"));
  auto* box = FindComponentAs<TTestPanel>(form, "Box");
  auto* popup = FindComponentAs<TPopupMenu>(form, "PopupMenu1");
  EXPECT_EQ(box->PopupMenu(), popup);
  const QByteArray written = WriteComponentText(form);
  EXPECT_TRUE(written.contains("    PopupMenu = PopupMenu1\n"));
  auto* copy = new TForm(app.get());
  form->Free();  // its names are free again
  ReadRootComponent(copy, written, QStringLiteral("copy.form"));
  EXPECT_EQ(WriteComponentText(copy), written);
  FindComponentAs<TPopupMenu>(copy, "PopupMenu1")->Free();
  EXPECT_EQ(FindComponentAs<TTestPanel>(copy, "Box")->PopupMenu(), nullptr);
  EXPECT_FALSE(WriteComponentText(copy).contains("PopupMenu ="));
}

TEST_F(MenusTest, PopupShortCutsWorkInsideTheirControl) {
  auto* form = new TForm(app.get());
  auto* panel = new TTestPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 40, 40);
  auto* elsewhere = new TTestPanel(form);
  elsewhere->SetParent(form);
  elsewhere->SetBounds(50, 0, 40, 40);
  auto* popup = new TPopupMenu(form);
  TMenuItem* item = NewItem(popup, "Poista", popup->Items());
  item->SetShortCut(TextToShortCut("Del"));
  int clicked = 0;
  item->OnClick = [&clicked](TObject*) { ++clicked; };
  SetControlPopupMenu(panel, popup);
  form->Show();
  Pump();
  SendKey(elsewhere->Widget(), Qt::Key_Delete, Qt::NoModifier, {});
  EXPECT_EQ(clicked, 0);
  SendKey(panel->Widget(), Qt::Key_Delete, Qt::NoModifier, {});
  EXPECT_EQ(clicked, 1);
}

}  // namespace

namespace {

TEST_F(MenusTest, AKeyTravellingToTheParentsIsLookedAtOnce) {
  TMenuTestForm* form = ReadMenuForm();
  FindComponentAs<TMenuItem>(form, "Avaa1")->SetEnabled(false);
  form->Show();
  Pump();
  // A plain widget ignores the key, which then goes on to the form's
  // window: the disabled item's parent is asked once.
  auto* plain = new QWidget(form->Widget());
  SendKey(plain, Qt::Key_O, Qt::ControlModifier, QString(QChar(15)));
  EXPECT_EQ(form->clicks, QStringList{"Tiedosto1"});
}

// The X platform builds every key event in the same stack slot: Ctrl and
// then O reach the form's window at one address.
TEST_F(MenusTest, AKeyInTheSlotOfTheLastIsANewKey) {
  TMenuTestForm* form = ReadMenuForm();
  form->Show();
  Pump();
  std::optional<QKeyEvent> slot;
  const struct {
    int key;
    QString text;
  } keys[] = {{Qt::Key_Control, {}}, {Qt::Key_O, QString(QChar(15))}, {Qt::Key_O, QString(QChar(15))}};
  for (const auto& k : keys) {
    slot.emplace(QEvent::KeyPress, k.key, Qt::ControlModifier, k.text);
    QCoreApplication::sendEvent(form->Widget(), &*slot);
    slot.reset();
  }
  EXPECT_EQ(form->clicks, (QStringList{"Tiedosto1", "Avaa1", "Tiedosto1", "Avaa1"}));
}

}  // namespace
