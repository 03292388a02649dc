#include "components/MRUList.h"
#include "components/Placemnt.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Menus.h"
#include "platform/registry/IniFile.h"
#include "platform/registry/RegIniFile.h"
#include "platform/rtl/Exceptions.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

QStringList Lines(const TStrings& list) {
  QStringList out;
  for (int i = 0; i < list.Count(); ++i)
    out << list.Get(i);
  return out;
}

QStringList Captions(const TMenuItem* menu) {
  QStringList out;
  for (int i = 0; i < menu->Count(); ++i)
    out << menu->Items(i)->Caption();
  return out;
}

// ---- the list ---------------------------------------------------------------

struct CapacityRow {
  TRecentMode mode;
  const char* front;
  const char* back;
};

TEST(RecentStrings, CapacityKeepsNewestNames) {
  const CapacityRow rows[] = {{rmInsert, "p10", "p1"}, {rmAppend, "p1", "p10"}};
  for (const CapacityRow& row : rows) {
    SCOPED_TRACE(row.mode);
    TRecentStrings list;
    list.SetMode(row.mode);
    for (int i = 0; i <= 10; ++i)
      list.Add(QStringLiteral("p%1").arg(i));
    ASSERT_EQ(list.Count(), 10);
    EXPECT_EQ(list.Get(0), row.front);
    EXPECT_EQ(list.Get(9), row.back);
    EXPECT_EQ(list.IndexOf("p0"), -1);
  }
}

TEST(RecentStrings, ListedNameMovesAndKeepsItsSpelling) {
  struct Row {
    TRecentMode mode;
    QStringList start;  // the list before, as added in that mode
    int position;
    QStringList lines;
  };
  const Row rows[] = {
      {rmInsert, {"b", "Kuva.vrb", "c"}, 0, {"Kuva.vrb", "c", "b"}},
      {rmAppend, {"Kuva.vrb", "b", "c"}, 2, {"b", "c", "Kuva.vrb"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mode);
    TRecentStrings list;
    list.SetMode(row.mode);
    for (const QString& s : row.start)
      list.Add(s);
    EXPECT_EQ(list.Add("KUVA.VRB"), row.position);
    EXPECT_EQ(Lines(list), row.lines);
  }
}

TEST(RecentStrings, CaseFoldsBeyondAscii) {
  TRecentStrings list;
  list.Add(QStringLiteral("/pelit/Äiti.vrb"));
  list.Add("x");
  list.Add(QStringLiteral("/PELIT/äITI.VRB"));
  EXPECT_EQ(Lines(list), QStringList({QStringLiteral("/pelit/Äiti.vrb"), "x"}));
}

TEST(RecentStrings, CapacityBelowOneIsOneAndLoweringTrims) {
  TRecentStrings list;
  for (const char* s : {"a", "b", "c", "d"})
    list.Add(s);
  list.SetCapacity(2);
  EXPECT_EQ(Lines(list), QStringList({"d", "c"}));
  list.SetCapacity(0);
  EXPECT_EQ(list.Capacity(), 1);
  EXPECT_EQ(Lines(list), QStringList({"d"}));
  list.SetCapacity(-5);
  EXPECT_EQ(list.Capacity(), 1);
}

TEST(RecentStrings, AddStringsKeepsTheirOrderAndTakesAtMostCapacity) {
  struct Row {
    TRecentMode mode;
    QStringList source;
    QStringList expected;
  };
  const Row rows[] = {
      {rmInsert, {"n1", "n2"}, {"n1", "n2", "old"}},
      {rmAppend, {"n1", "n2"}, {"old", "n1", "n2"}},
      {rmInsert, {"n1", "n2", "n3", "n4"}, {"n1", "n2", "n3"}},
      {rmAppend, {"n1", "n2", "n3", "n4"}, {"n1", "n2", "n3"}},
      {rmInsert, {"n1", "OLD"}, {"n1", "old"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.source.join(',').toStdString());
    TStringList source;
    for (const QString& s : row.source)
      source.Add(s);
    TRecentStrings list;
    list.SetCapacity(3);
    list.Add("old");
    list.SetMode(row.mode);
    list.AddStrings(source);
    EXPECT_EQ(Lines(list), row.expected);
  }
}

TEST(RecentStrings, AddStringsOfItself) {
  TRecentStrings list;
  for (const char* s : {"a", "b", "c"})
    list.Add(s);
  list.AddStrings(list);
  EXPECT_EQ(Lines(list), QStringList({"c", "b", "a"}));
}

// ---- the manager and its menu ----------------------------------------------

class MRUMenu : public testing::Test {
 protected:
  MRUMenu() : owner_(nullptr) {
    menu_ = new TMenuItem(&owner_);
    menu_->SetCaption("&Tiedosto");
    mru_ = new TMRUManager(&owner_);
    mru_->SetRecentMenu(menu_);
  }
  void AddOwnItem(const char* caption) {
    auto* item = new TMenuItem(&owner_);
    item->SetCaption(caption);
    menu_->Add(item);
  }
  TMenuItem* Last() const { return menu_->Items(menu_->Count() - 1); }

  TComponent owner_;
  TMenuItem* menu_ = nullptr;
  TMRUManager* mru_ = nullptr;
};

TEST_F(MRUMenu, CaptionsCarryDigitThenLetterAccelerators) {
  for (int i = 10; i >= 1; --i)
    mru_->Add(QStringLiteral("f%1").arg(i), 0);
  QStringList expected;
  for (int i = 1; i <= 9; ++i)
    expected << QStringLiteral("&%1\tf%1").arg(i);
  expected << "&A\tf10";
  EXPECT_EQ(Captions(menu_), expected);
  for (int i = 0; i < menu_->Count(); ++i)
    EXPECT_EQ(menu_->Items(i)->Tag(), i);
}

TEST_F(MRUMenu, AcceleratorOfEachNumber) {
  struct Row {
    int startAccel;
    QString prefix;
  };
  const Row rows[] = {{0, "&0"},  {9, "&9"},   {10, "&A"}, {11, "&B"},
                      {35, "&Z"}, {100, QStringLiteral("&\u203A")}, {101, " "}};
  mru_->Add("x", 0);
  for (const Row& row : rows) {
    mru_->SetStartAccel(row.startAccel);
    EXPECT_EQ(menu_->Items(0)->Caption(), row.prefix + "\tx") << row.startAccel;
  }
}

TEST_F(MRUMenu, SpaceDelimiterAndNoAccelerator) {
  mru_->Add("a", 0);
  mru_->SetAccelDelimiter(adSpace);
  EXPECT_EQ(menu_->Items(0)->Caption(), "&1 a");
  mru_->SetShowAccelChar(false);
  EXPECT_EQ(menu_->Items(0)->Caption(), "a");
}

TEST_F(MRUMenu, CaptionAndHintSplitAtFirstBar) {
  mru_->SetShowAccelChar(false);
  mru_->Add("/a/b.vrb", 0);
  mru_->Add("nimi|pitkä|vihje", 0);
  EXPECT_EQ(menu_->Items(0)->Caption(), "nimi");
  EXPECT_EQ(menu_->Items(0)->Hint(), QStringLiteral("pitkä|vihje"));
  EXPECT_EQ(menu_->Items(1)->Caption(), "/a/b.vrb");
  EXPECT_EQ(menu_->Items(1)->Hint(), "/a/b.vrb");
}

TEST_F(MRUMenu, SeparatorAfterExistingItemsOnlyWhenListHasNames) {
  AddOwnItem("&Avaa");
  AddOwnItem("&Lopeta");
  mru_->UpdateRecentMenu();
  EXPECT_EQ(Captions(menu_), QStringList({"&Avaa", "&Lopeta"}));
  mru_->SetShowAccelChar(false);
  mru_->Add("x", 0);
  EXPECT_EQ(Captions(menu_), QStringList({"&Avaa", "&Lopeta", "-", "x"}));
}

TEST_F(MRUMenu, SeparatorEverySeparateSizeItems) {
  mru_->SetShowAccelChar(false);
  for (const char* s : {"e", "d", "c", "b", "a"})
    mru_->Add(s, 0);
  mru_->SetSeparateSize(2);
  EXPECT_EQ(Captions(menu_), QStringList({"a", "b", "-", "c", "d", "-", "e"}));
  mru_->SetSeparateSize(0);
  EXPECT_EQ(Captions(menu_), QStringList({"a", "b", "c", "d", "e"}));
}

TEST_F(MRUMenu, RebuildRemovesOnlyItsOwnItems) {
  mru_->SetShowAccelChar(false);
  mru_->Add("a", 0);
  AddOwnItem("oma");
  mru_->Add("b", 0);
  EXPECT_EQ(Captions(menu_), QStringList({"oma", "-", "b", "a"}));
  // An item taken out by someone else is left alone (not freed).
  TMenuItem* taken = menu_->Items(2);
  menu_->Remove(taken);
  mru_->Clear();
  EXPECT_EQ(Captions(menu_), QStringList({"oma"}));
  EXPECT_EQ(taken->Caption(), "b");
  EXPECT_EQ(taken->Owner(), mru_);
}

TEST_F(MRUMenu, AutoEnableFollowsItemCount) {
  EXPECT_FALSE(menu_->Enabled());
  mru_->Add("a", 0);
  EXPECT_TRUE(menu_->Enabled());
  mru_->Remove("A");
  EXPECT_FALSE(menu_->Enabled());
  mru_->SetAutoEnable(false);
  menu_->SetEnabled(true);
  mru_->Add("a", 0);
  mru_->Clear();
  EXPECT_TRUE(menu_->Enabled());
}

TEST_F(MRUMenu, AutoUpdateOffLeavesMenuUntilAsked) {
  mru_->SetAutoUpdate(false);
  mru_->Add("a", 0);
  EXPECT_EQ(menu_->Count(), 0);
  mru_->UpdateRecentMenu();
  EXPECT_EQ(menu_->Count(), 1);
  mru_->Add("b", 0);
  mru_->SetShowAccelChar(false);  // needs AutoUpdate
  EXPECT_EQ(Captions(menu_), QStringList({"&1\ta"}));
  mru_->SetAutoUpdate(true);
  EXPECT_EQ(Captions(menu_), QStringList({"b", "a"}));
}

TEST_F(MRUMenu, GetItemDataSetsCaptionAndShortCut) {
  mru_->OnGetItemData = [](TObject*, QString& caption, TShortCut& shortCut, int userData) {
    caption = caption.toUpper();
    shortCut = static_cast<TShortCut>(scCtrl | ('0' + userData));
  };
  mru_->Add("a", 1);
  mru_->Add("b", 2);
  EXPECT_EQ(Captions(menu_), QStringList({"&1\tB", "&2\tA"}));
  EXPECT_EQ(menu_->Items(0)->ShortCut(), scCtrl | '2');
  EXPECT_EQ(menu_->Items(1)->ShortCut(), scCtrl | '1');
}

TEST_F(MRUMenu, ChangeReportedForEveryListChange) {
  int changes = 0;
  int itemsSeen = -1;
  mru_->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, mru_);
    ++changes;
    itemsSeen = menu_->Count();
  };
  mru_->Add("a", 5);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(itemsSeen, 1);
  mru_->Add("b", 0);
  mru_->Remove("a");
  mru_->Remove("missing");
  EXPECT_EQ(changes, 3);
}

TEST_F(MRUMenu, ClickReportsNameCaptionAndUserData) {
  mru_->Add("/pelit/a.vrb", 7);
  mru_->Add("/pelit/b.vrb|vihje", 9);
  QString name, caption;
  int data = 0;
  mru_->OnClick = [&](TObject* sender, const QString& n, const QString& c, int d) {
    EXPECT_EQ(sender, mru_);
    name = n;
    caption = c;
    data = d;
  };
  menu_->Items(1)->Click();
  EXPECT_EQ(name, "/pelit/a.vrb");
  EXPECT_EQ(caption, "&2\t/pelit/a.vrb");
  EXPECT_EQ(data, 7);
  menu_->Items(0)->Click();
  EXPECT_EQ(name, "/pelit/b.vrb|vihje");
  EXPECT_EQ(data, 9);
  EXPECT_EQ(mru_->Strings()->Count(), 2);
}

TEST_F(MRUMenu, ClickOnStaleTagDoesNothing) {
  mru_->SetAutoUpdate(false);
  mru_->Add("a", 0);
  mru_->UpdateRecentMenu();
  TMenuItem* item = menu_->Items(0);
  mru_->Clear();
  bool called = false;
  mru_->OnClick = [&](TObject*, const QString&, const QString&, int) { called = true; };
  item->Click();
  EXPECT_FALSE(called);
}

TEST_F(MRUMenu, RemoveOnSelectRemovesAlsoWhenClickFails) {
  struct Row {
    bool fails;
  };
  for (const Row row : {Row{false}, Row{true}}) {
    SCOPED_TRACE(row.fails);
    mru_->Clear();
    mru_->SetRemoveOnSelect(true);
    mru_->Add("a", 0);
    mru_->Add("b", 0);
    mru_->OnClick = [&](TObject*, const QString&, const QString&, int) {
      if (row.fails)
        throw Exception("ei aukea");
    };
    TMenuItem* item = menu_->Items(1);  // "a"
    if (row.fails) {
      EXPECT_THROW(item->Click(), Exception);
    } else {
      item->Click();
    }
    EXPECT_EQ(Lines(*mru_->Strings()), QStringList({"b"}));
    EXPECT_EQ(Captions(menu_), QStringList({"&1\tb"}));
  }
  mru_->Add("c", 0);  // frees the item taken out during the click
  EXPECT_EQ(menu_->Count(), 2);
}

TEST_F(MRUMenu, ClickHandlerMayChangeTheList) {
  mru_->SetShowAccelChar(false);
  mru_->Add("a", 0);
  mru_->Add("b", 0);
  mru_->OnClick = [&](TObject*, const QString& name, const QString&, int) {
    mru_->Add(name + "2", 0);
    mru_->Add("z", 0);
  };
  menu_->Items(1)->Click();
  EXPECT_EQ(Captions(menu_), QStringList({"z", "a2", "b", "a"}));
}

TEST_F(MRUMenu, FreedMenuIsForgotten) {
  mru_->Add("a", 0);
  menu_->Free();
  EXPECT_EQ(mru_->RecentMenu(), nullptr);
  mru_->Add("b", 0);
  EXPECT_EQ(mru_->Strings()->Count(), 2);
}

TEST_F(MRUMenu, FreedManagerTakesItsItemsAlong) {
  AddOwnItem("oma");
  mru_->Add("a", 0);
  EXPECT_EQ(menu_->Count(), 3);
  mru_->Free();
  EXPECT_EQ(Captions(menu_), QStringList({"oma"}));
}

TEST_F(MRUMenu, ChangingMenuMovesItems) {
  auto* other = new TMenuItem(&owner_);
  mru_->Add("a", 0);
  mru_->SetRecentMenu(other);
  EXPECT_EQ(menu_->Count(), 0);
  EXPECT_EQ(Captions(other), QStringList({"&1\ta"}));
  EXPECT_TRUE(other->Enabled());
}

TEST_F(MRUMenu, IniStorageIsForgottenWhenThePlacementGoes) {
  auto* placement = new TFormPlacement(&owner_);
  mru_->SetIniStorage(placement);
  EXPECT_EQ(mru_->IniStorage(), placement);
  placement->Free();
  EXPECT_EQ(mru_->IniStorage(), nullptr);
}

// ---- storage -------------------------------------------------------------------

const QString kSection = QStringLiteral("MenunViimeiset");
const QString kKey = QStringLiteral("Software\\QXTrovaly");

QStringList SectionIdents(TRegIniFile& reg, const QString& section) {
  TStringList idents;
  reg.ReadSection(section, &idents);
  return Lines(idents);
}

TEST(MRUStorage, LoadSkipsMissingItemsAndKeepsOrder) {
  {
    TRegIniFile reg(kKey);
    reg.WriteString(kSection, "Item_2", "/c.vrb");
    reg.WriteString(kSection, "Item_0", "/a.vrb");
    reg.WriteString(kSection, "Item_3", "");
  }
  TMRUManager mru(nullptr);
  mru.Add("vanha", 0);
  mru.SetMode(rmAppend);
  TRegIniFile reg(kKey);
  mru.LoadFromRegIni(&reg, kSection);
  EXPECT_EQ(Lines(*mru.Strings()), QStringList({"/a.vrb", "/c.vrb"}));
  EXPECT_EQ(mru.Mode(), rmAppend);
}

TEST(MRUStorage, LoadReadsNoMoreThanCapacity) {
  TRegIniFile reg(kKey);
  for (int i = 0; i < 12; ++i)
    reg.WriteString(kSection, QStringLiteral("Item_%1").arg(i), QStringLiteral("n%1").arg(i));
  TMRUManager mru(nullptr);
  mru.SetCapacity(3);
  mru.LoadFromRegIni(&reg, kSection);
  EXPECT_EQ(Lines(*mru.Strings()), QStringList({"n0", "n1", "n2"}));
}

TEST(MRUStorage, FailedLoadLeavesListAsItWas) {
  TRegIniFile reg(kKey);
  TMRUManager mru(nullptr);
  mru.Add("pysyy", 0);
  mru.OnReadItem = [](TObject*, TIniStorage, const QString&, int index, QString& name, int&) {
    if (index == 3)
      throw Exception("lukuvirhe");
    name = QStringLiteral("n%1").arg(index);
  };
  EXPECT_THROW(mru.LoadFromRegIni(&reg, kSection), Exception);
  EXPECT_EQ(Lines(*mru.Strings()), QStringList({"pysyy"}));
  EXPECT_EQ(mru.Mode(), rmInsert);
}

TEST(MRUStorage, SavingEmptyListLeavesEmptySection) {
  TRegIniFile reg(kKey);
  reg.WriteString(kSection, "Item_0", "vanha");
  reg.WriteString("Asetukset", "Koko", "12");
  TMRUManager mru(nullptr);
  mru.SaveToRegIni(&reg, kSection);
  EXPECT_TRUE(SectionIdents(reg, kSection).isEmpty());
  EXPECT_EQ(reg.ReadString("Asetukset", "Koko", ""), "12");
}

TEST(MRUStorage, ReadAndWriteEventsReplaceTheValues) {
  TRegIniFile reg(kKey);
  TMRUManager out(nullptr);
  out.Add("a", 1);
  out.Add("b", 2);
  out.OnWriteItem = [](TObject*, TIniStorage ini, const QString& section, int index,
                       const QString& name, int data) {
    WriteIniText(ini, section, QStringLiteral("Nimi%1").arg(index), name);
    WriteIniNumber(ini, section, QStringLiteral("Data%1").arg(index), data);
  };
  out.SaveToRegIni(&reg, kSection);
  EXPECT_EQ(SectionIdents(reg, kSection), QStringList({"Nimi0", "Data0", "Nimi1", "Data1"}));

  TMRUManager in(nullptr);
  in.OnReadItem = [](TObject*, TIniStorage ini, const QString& section, int index, QString& name,
                     int& data) {
    name = ReadIniText(ini, section, QStringLiteral("Nimi%1").arg(index), "");
    data = ReadIniNumber(ini, section, QStringLiteral("Data%1").arg(index), 0);
  };
  in.LoadFromRegIni(&reg, kSection);
  EXPECT_EQ(Lines(*in.Strings()), QStringList({"b", "a"}));
  QList<int> data;
  in.OnClick = [&](TObject*, const QString&, const QString&, int d) { data << d; };
  auto menu = std::make_unique<TMenuItem>(nullptr);
  in.SetRecentMenu(menu.get());
  menu->Items(0)->Click();
  menu->Items(1)->Click();
  EXPECT_EQ(data, QList<int>({2, 1}));
}

class MRURegistryRoundTrip : public testing::TestWithParam<bool> {};

TEST_P(MRURegistryRoundTrip, SavesItemsInOrderAndLoadsThemBack) {
  const bool prefilled = GetParam();
  if (prefilled) {
    TRegIniFile reg(kKey);
    for (int i = 0; i < 6; ++i)
      reg.WriteString(kSection, QStringLiteral("Item_%1").arg(i), QStringLiteral("vanha%1").arg(i));
    reg.WriteString(kSection, "Muu", "x");
    reg.WriteString("", "Taso", "3");
  }
  const QStringList names = {QStringLiteral("/pelit/Kissa.vrb"), QStringLiteral("/pelit/Öljy.vrb"),
                             "/pelit/a b.vrb"};
  {
    TMRUManager mru(nullptr);
    for (auto it = names.crbegin(); it != names.crend(); ++it)
      mru.Add(*it, 0);
    TRegIniFile reg(kKey);
    mru.SaveToRegIni(&reg, kSection);
  }
  TRegIniFile reg(kKey);
  EXPECT_EQ(SectionIdents(reg, kSection), QStringList({"Item_0", "Item_1", "Item_2"}));
  EXPECT_EQ(reg.ReadString(kSection, "Item_1", ""), names[1]);
  if (prefilled) {
    EXPECT_EQ(reg.ReadString("", "Taso", ""), "3");
  }
  TMRUManager back(nullptr);
  back.LoadFromRegIni(&reg, kSection);
  EXPECT_EQ(Lines(*back.Strings()), names);
}

INSTANTIATE_TEST_SUITE_P(Hives, MRURegistryRoundTrip, testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Prefilled" : "Fresh"; });

TEST(MRUStorage, IniFileRoundTrip) {
  const QString path = qxtest::TempPath("trovaly.ini");
  {
    TIniFile ini(path);
    TMRUManager mru(nullptr);
    mru.Add("b", 0);
    mru.Add("a", 0);
    mru.SaveToIni(&ini, kSection);
  }
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString(kSection, "Item_0", ""), "a");
  TMRUManager back(nullptr);
  back.LoadFromIni(&ini, kSection);
  EXPECT_EQ(Lines(*back.Strings()), QStringList({"a", "b"}));
}

TEST(MRUStorage, IniFileSaveIsWholeOrNothing) {
  const QString path = qxtest::TempPath("whole.ini");
  qxtest::WriteBytes(path, "[MenunViimeiset]\nItem_0=old\n");
  TIniFile ini(path);
  TMRUManager mru(nullptr);
  mru.Add("b", 0);
  mru.Add("a", 0);
  mru.OnWriteItem = [](TObject*, TIniStorage storage, const QString& section, int index,
                       const QString& name, int) {
    if (index == 1)
      throw EIniFileException(QStringLiteral("disk gone"));
    WriteIniText(storage, section, QStringLiteral("Item_%1").arg(index), name);
  };
  EXPECT_THROW(mru.SaveToIni(&ini, "MenunViimeiset"), EIniFileException);
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("[MenunViimeiset]\nItem_0=old\n"));
}

// ---- form files ----------------------------------------------------------------

TEST(MRUFormFile, PublishedPropertiesAndMenuLink) {
  RegisterMenuClasses();
  RegisterMRUListClasses();
  const QByteArray form =
      "object Root: TComponent\n"
      "  object MRUManager1: TMRUManager\n"
      "    AccelDelimiter = adSpace\n"
      "    Capacity = 4\n"
      "    Mode = rmAppend\n"
      "    RecentMenu = Tiedosto1\n"
      "    RemoveOnSelect = True\n"
      "    SeparateSize = 3\n"
      "    ShowAccelChar = False\n"
      "    StartAccel = 0\n"
      "    AutoEnable = False\n"
      "  end\n"
      "  object MainMenu1: TMainMenu\n"
      "    object Tiedosto1: TMenuItem\n"
      "      Caption = '&Tiedosto'\n"
      "      object Avaa1: TMenuItem\n"
      "        Caption = '&Avaa'\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "end\n";
  TComponent root(nullptr);
  ReadRootComponent(&root, form, QStringLiteral("Root.form"));
  auto* mru = dynamic_cast<TMRUManager*>(root.FindComponent("MRUManager1"));
  ASSERT_NE(mru, nullptr);
  EXPECT_EQ(mru->AccelDelimiter(), adSpace);
  EXPECT_EQ(mru->Capacity(), 4);
  EXPECT_EQ(mru->Mode(), rmAppend);
  EXPECT_TRUE(mru->RemoveOnSelect());
  EXPECT_EQ(mru->SeparateSize(), 3);
  EXPECT_FALSE(mru->ShowAccelChar());
  EXPECT_EQ(mru->StartAccel(), 0);
  EXPECT_FALSE(mru->AutoEnable());
  EXPECT_TRUE(mru->AutoUpdate());
  ASSERT_NE(mru->RecentMenu(), nullptr);
  EXPECT_EQ(mru->RecentMenu()->Name(), "Tiedosto1");
  mru->Add("/a.vrb", 0);
  EXPECT_EQ(Captions(mru->RecentMenu()), QStringList({"&Avaa", "-", "/a.vrb"}));
}

TEST(MRUFormFile, Defaults) {
  TMRUManager mru(nullptr);
  EXPECT_EQ(mru.AccelDelimiter(), adTab);
  EXPECT_TRUE(mru.AutoEnable());
  EXPECT_TRUE(mru.AutoUpdate());
  EXPECT_EQ(mru.Capacity(), 10);
  EXPECT_EQ(mru.Mode(), rmInsert);
  EXPECT_FALSE(mru.RemoveOnSelect());
  EXPECT_EQ(mru.IniStorage(), nullptr);
  EXPECT_EQ(mru.SeparateSize(), 0);
  EXPECT_EQ(mru.RecentMenu(), nullptr);
  EXPECT_TRUE(mru.ShowAccelChar());
  EXPECT_EQ(mru.StartAccel(), 1);
}

}  // namespace
