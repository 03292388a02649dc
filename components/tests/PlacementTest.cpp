// Form placement: the placement routines on both kinds of storage (and on
// none), the screen-size keys, TFormPlacement read from and written to form
// files, its save and restore around the form's life, its size limits, and
// the recent-files list stored through a TIniLink.
#include "components/MRUList.h"
#include "components/Placemnt.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/Screen.h"
#include "platform/registry/IniFile.h"
#include "platform/registry/RegIniFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

namespace {

class TForm2 : public TForm {
 public:
  using TForm::TForm;
};

const QString kKey = QStringLiteral("Software\\QXPlacement");

// Runs the queued window events until done holds (or they run out).
bool PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 50 && !done(); ++i) QCoreApplication::processEvents();
  return done();
}

QStringList Lines(const TStrings& list) {
  QStringList lines;
  for (int i = 0; i < list.Count(); ++i)
    lines.append(list.Get(i));
  return lines;
}

// Storage of either kind, opened afresh for each step as a program would.
struct Kind {
  const char* name;
  bool registry;
};

QString StorageName(bool registry) {
  return registry ? kKey : qxtest::TempPath("placement.ini");
}

class PlacementRoutines : public testing::TestWithParam<Kind> {
 protected:
  void SetUp() override {
    app_ = std::make_unique<TApplication>();
    form_ = new TForm2(nullptr);
    form_->SetBounds(10, 20, 300, 200);
  }
  void TearDown() override {
    form_->Free();
    app_.reset();
  }
  std::unique_ptr<TOpenIniStorage> Open() const {
    return std::make_unique<TOpenIniStorage>(GetParam().registry, StorageName(GetParam().registry));
  }
  void Store() { StoreFormPlacement(form_, Open()->Storage(), "TForm2"); }
  void Load(bool position = true, bool state = true) {
    LoadFormPlacement(form_, Open()->Storage(), "TForm2", position, state);
  }
  QString Text(const QString& ident) const {
    return ReadIniText(Open()->Storage(), "TForm2", ident, "none");
  }
  void Bounds(int l, int t, int w, int h) const {
    EXPECT_EQ(form_->Left(), l);
    EXPECT_EQ(form_->Top(), t);
    EXPECT_EQ(form_->Width(), w);
    EXPECT_EQ(form_->Height(), h);
  }

  std::unique_ptr<TApplication> app_;
  TForm2* form_ = nullptr;
};

TEST_P(PlacementRoutines, WritesEachPositionPlainAndForTheScreenSize) {
  Screen->OverrideSize(800, 600);
  Store();
  EXPECT_EQ(Text("Flags"), "0");
  EXPECT_EQ(Text("ShowCmd"), "1");
  EXPECT_EQ(Text("NormPos"), "10,20,310,220");
  EXPECT_EQ(Text("NormPos(800x600)"), "10,20,310,220");
  EXPECT_EQ(Text("MinMaxPos"), "-1,-1,-1,-1");
  EXPECT_EQ(Text("MinMaxPos(800x600)"), "-1,-1,-1,-1");
  form_->SetBounds(0, 0, 50, 50);
  Load();
  Bounds(10, 20, 300, 200);
}

// Each screen size reads its own position; a size never stored reads the
// plain one, which the last save wrote.
TEST_P(PlacementRoutines, EachScreenSizeKeepsItsOwnPosition) {
  Screen->OverrideSize(800, 600);
  Store();
  Screen->OverrideSize(1024, 768);
  form_->SetBounds(40, 50, 600, 400);
  Store();
  const struct {
    int width, height, left, top, w, h;
  } rows[] = {{800, 600, 10, 20, 300, 200},
              {1024, 768, 40, 50, 600, 400},
              {1280, 1024, 40, 50, 600, 400}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.width);
    Screen->OverrideSize(r.width, r.height);
    form_->SetBounds(0, 0, 10, 10);
    Load();
    Bounds(r.left, r.top, r.w, r.h);
  }
}

TEST_P(PlacementRoutines, AnotherScreenSizeFallsBackToThePlainPosition) {
  Screen->OverrideSize(800, 600);
  WriteIniText(Open()->Storage(), "TForm2", "NormPos", "5,6,105,206");
  WriteIniText(Open()->Storage(), "TForm2", "NormPos(1024x768)", "70,80,370,280");
  Load();
  Bounds(5, 6, 100, 200);
}

TEST_P(PlacementRoutines, FixedBorderKeepsTheFormsSize) {
  const struct {
    TFormBorderStyle style;
    int width, height;
  } rows[] = {{bsSizeable, 500, 400}, {bsSizeToolWin, 500, 400}, {bsSingle, 300, 200},
              {bsDialog, 300, 200},   {bsToolWindow, 300, 200},  {bsNone, 300, 200}};
  WriteIniText(Open()->Storage(), "TForm2", "NormPos", "30,40,530,440");
  for (const auto& r : rows) {
    SCOPED_TRACE(r.style);
    form_->SetBorderStyle(r.style);
    form_->SetBounds(10, 20, 300, 200);
    Load(true, false);
    Bounds(30, 40, r.width, r.height);
  }
}

TEST_P(PlacementRoutines, ShowCmdGivesTheStateOrLeavesTheDefault) {
  const struct {
    int showCmd;
    TWindowState state;
  } rows[] = {{0, wsNormal},      {1, wsNormal},      {2, wsMinimized}, {3, wsMaximized},
              {4, wsNormal},      {5, wsNormal},      {6, wsMinimized}, {7, wsMinimized},
              {8, wsNormal},      {9, wsNormal},      {10, wsNormal},   {-3, wsNormal}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.showCmd);
    form_->SetWindowState(wsMaximized);
    WriteIniNumber(Open()->Storage(), "TForm2", "ShowCmd", r.showCmd);
    Load(false, true);
    EXPECT_EQ(form_->WindowState(), r.state);
  }
}

TEST_P(PlacementRoutines, AMainFormPlacedByDefaultMaximisesUnlessStoredOtherwise) {
  TForm* main = nullptr;
  app_->CreateForm(main);
  main->SetPosition(poDefault);
  for (const auto& [showCmd, state] : {std::pair{0, wsMaximized}, std::pair{11, wsMaximized},
                                       std::pair{1, wsNormal}}) {
    SCOPED_TRACE(showCmd);
    WriteIniNumber(Open()->Storage(), "Main", "ShowCmd", showCmd);
    main->SetWindowState(wsNormal);
    LoadFormPlacement(main, Open()->Storage(), "Main", false, true);
    EXPECT_EQ(main->WindowState(), state);
  }
}

// A form saved while maximised keeps the bounds it goes back to; one
// minimised from maximised says so in Flags and comes back that way.
TEST_P(PlacementRoutines, AMaximisedFormStoresItsNormalBoundsAndTheRestoreFlag) {
  Screen->OverrideSize(800, 600);
  form_->Show();
  form_->SetWindowState(wsMaximized);
  ASSERT_TRUE(PumpUntil([this] { return form_->Width() != 300; }));
  ASSERT_EQ(form_->WindowState(), wsMaximized);
  Store();
  EXPECT_EQ(Text("ShowCmd"), "3");
  EXPECT_EQ(Text("Flags"), "0");
  EXPECT_EQ(Text("NormPos"), "10,20,310,220");
  EXPECT_EQ(Text("MinMaxPos"), QStringLiteral("-1,-1,%1,%2").arg(form_->Left()).arg(form_->Top()));

  form_->MinimizeFromMaximized();
  ASSERT_TRUE(PumpUntil([this] { return form_->Widget()->isMinimized(); }));
  EXPECT_TRUE(form_->RestoresMaximized());
  Store();
  EXPECT_EQ(Text("ShowCmd"), "2");
  EXPECT_EQ(Text("Flags"), "2");
  EXPECT_EQ(Text("NormPos"), "10,20,310,220");

  auto* other = new TForm2(nullptr);
  other->SetBounds(0, 0, 50, 50);
  LoadFormPlacement(other, Open()->Storage(), "TForm2", true, true);
  EXPECT_EQ(other->WindowState(), wsMinimized);
  EXPECT_TRUE(other->RestoresMaximized());
  EXPECT_EQ(other->NormalBounds(), Rect(10, 20, 310, 220));
  other->Free();
}

TEST_P(PlacementRoutines, NothingHappensWithBothFlagsOff) {
  WriteIniText(Open()->Storage(), "TForm2", "NormPos", "30,40,530,440");
  WriteIniNumber(Open()->Storage(), "TForm2", "ShowCmd", 3);
  Load(false, false);
  Bounds(10, 20, 300, 200);
  EXPECT_EQ(form_->WindowState(), wsNormal);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PlacementRoutines,
                         testing::Values(Kind{"Registry", true}, Kind{"IniFile", false}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PlacementStorage, NeitherKindReadsDefaultsAndWritesNothing) {
  TApplication app;
  TForm2* form = new TForm2(nullptr);
  form->SetBounds(10, 20, 300, 200);
  StoreFormPlacement(form, TIniStorage(), "TForm2");
  LoadFormPlacement(form, TIniStorage(), "TForm2", true, true);
  EXPECT_EQ(form->Left(), 10);
  EXPECT_EQ(form->Width(), 300);
  EXPECT_EQ(form->WindowState(), wsNormal);
  EXPECT_EQ(ReadIniNumber(TIniStorage(), "TForm2", "ShowCmd", 7), 7);
  EXPECT_FALSE(QFile::exists(DefaultIniFileName()));
  form->Free();
}

TEST(PlacementStorage, DefaultNames) {
  TApplication app;
  const QString base = QFileInfo(app.ExeName()).completeBaseName();
  EXPECT_EQ(DefaultIniFileName(), base + ".INI");
  EXPECT_EQ(DefaultRegistryKey(), "Software\\" + base);
  app.SetTitle("Trovaly 1.0");
  EXPECT_EQ(DefaultRegistryKey(), "Software\\" + base) << "title switch off";
  SetRegistryKeyUsesTitle(true);
  SetRegistryKeyPrefix("QX");
  EXPECT_EQ(DefaultRegistryKey(), "Software\\QX\\Trovaly 1.0");
  app.SetTitle("");
  EXPECT_EQ(DefaultRegistryKey(), "Software\\QX\\" + base);
}

TEST(PlacementStorage, SwitchesStartOffInEveryTest) {
  EXPECT_EQ(RegistryKeyPrefix(), "");
  EXPECT_FALSE(RegistryKeyUsesTitle());
}

// ---- the component -----------------------------------------------------------

const QByteArray kPlacementForm =
    "object Form2: TForm2\n"
    "  Left = 10\n"
    "  Top = 20\n"
    "  Width = 300\n"
    "  Height = 200\n"
    "  object FormPlacement1: TFormPlacement\n"
    "    IniFileName = 'Software\\QXPlacement'\n"
    "    MinMaxInfo.MinTrackHeight = 120\n"
    "    MinMaxInfo.MinTrackWidth = 150\n"
    "    Options = [fpState, fpPosition, fpActiveControl]\n"
    "    UseRegistry = True\n"
    "  end\n"
    "  object MRUManager1: TMRUManager\n"
    "    IniStorage = FormPlacement1\n"
    "  end\n"
    "end\n";

class FormPlacement : public testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<TApplication>();
    RegisterPlacemntClasses();
    RegisterMRUListClasses();
    if (GetClass("TForm2") == nullptr)
      RegisterClass<TForm2>();
  }
  void TearDown() override { app_.reset(); }
  TForm2* Read(const QByteArray& text = kPlacementForm) {
    auto* form = new TForm2(nullptr);
    ReadRootComponent(form, text, QStringLiteral("Form2.form"));
    return form;
  }
  static TFormPlacement* PlacementOf(TForm* form) {
    return dynamic_cast<TFormPlacement*>(form->FindComponent("FormPlacement1"));
  }
  std::unique_ptr<TApplication> app_;
};

TEST_F(FormPlacement, PropertiesRoundTripThroughFormFiles) {
  TForm2* form = Read();
  TFormPlacement* p = PlacementOf(form);
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->Active());
  EXPECT_TRUE(p->UseRegistry());
  EXPECT_EQ(p->IniFileName(), kKey);
  EXPECT_EQ(p->MinMaxInfo()->MinTrackWidth(), 150);
  EXPECT_EQ(p->Options(), (TPlacementOptions{fpState, fpPosition, fpActiveControl}));
  EXPECT_EQ(dynamic_cast<TMRUManager*>(form->FindComponent("MRUManager1"))->IniStorage(), p);
  const QByteArray written = WriteComponentText(form);
  const QByteArray mine = kPlacementForm.mid(kPlacementForm.indexOf("  object FormPlacement1"));
  EXPECT_EQ(written.mid(written.indexOf("  object FormPlacement1")).toStdString(),
            mine.toStdString());
  form->Free();
}

TEST_F(FormPlacement, DefaultsDependOnTheOwner) {
  TComponent plain(nullptr);
  TFormPlacement loose(&plain);
  EXPECT_EQ(loose.Options(), TPlacementOptions{});
  TForm2 form(nullptr);
  auto* p = new TFormPlacement(&form);
  EXPECT_EQ(p->Options(), (TPlacementOptions{fpState, fpPosition}));
  EXPECT_TRUE(p->Active());
  EXPECT_EQ(p->Section(), "TForm2");
  EXPECT_EQ(p->FileName(), DefaultIniFileName());
  p->SetUseRegistry(true);
  EXPECT_EQ(p->FileName(), DefaultRegistryKey());
  EXPECT_FALSE(p->Hooked());
}

// Shown: restored; closed: saved; the recent list goes along in the
// manager's own section of the same key.
TEST_F(FormPlacement, ShowRestoresCloseSavesWithTheLinkedList) {
  {
    TRegIniFile reg(kKey);
    reg.WriteString("TForm2", "NormPos", "30,40,430,340");
    reg.WriteString("TForm2", "ShowCmd", "1");
    reg.WriteString("TForm2.MRUManager1", "Item_0", "/a.vrb");
    reg.WriteString("TForm2.MRUManager1", "Item_1", "/b.vrb");
  }
  auto* form = new TForm2(nullptr);
  int shown = 0;
  form->OnShow = [&](TObject*) { ++shown; };  // as the form file would set it
  ReadRootComponent(form, kPlacementForm, QStringLiteral("Form2.form"));
  TFormPlacement* p = PlacementOf(form);
  auto* mru = dynamic_cast<TMRUManager*>(form->FindComponent("MRUManager1"));
  int restored = 0;
  p->OnRestorePlacement = [&](TObject*) {
    ++restored;
    EXPECT_FALSE(p->IniObject().Empty()) << "the storage is open during the event";
  };
  form->Show();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(restored, 1);
  EXPECT_TRUE(p->Restored());
  EXPECT_EQ(form->Left(), 30);
  EXPECT_EQ(form->Width(), 400);
  EXPECT_EQ(Lines(*mru->Strings()), QStringList({"/a.vrb", "/b.vrb"}));

  mru->Add("/c.vrb", 0);
  form->SetBounds(50, 60, 320, 220);
  EXPECT_TRUE(form->CloseQuery());
  EXPECT_TRUE(p->Saved());
  EXPECT_TRUE(p->IniObject().Empty());
  form->Free();

  TRegIniFile reg(kKey);
  EXPECT_EQ(reg.ReadString("TForm2", "NormPos", ""), "50,60,370,280");
  EXPECT_EQ(reg.ReadString("TForm2", "Visible", ""), "0");
  EXPECT_EQ(reg.ReadString("TForm2.MRUManager1", "Item_0", ""), "/c.vrb");
  EXPECT_EQ(reg.ReadString("TForm2.MRUManager1", "Item_2", ""), "/b.vrb");
}

// A form stored minimised comes back minimised. The main form minimises the
// program as a whole once its window shows (a minimise asked for while the
// placement is read, before the window shows, would be lost); any other form
// shows minimised itself.
TEST_F(FormPlacement, AFormStoredMinimisedComesBackMinimised) {
  const QString ini = qxtest::TempPath("placement.ini");
  const QByteArray text = "object Form2: TForm2\n"
                          "  Left = 10\n  Top = 20\n  Width = 300\n  Height = 200\n"
                          "  object FormPlacement1: TFormPlacement\n"
                          "    IniFileName = '" + ini.toUtf8() + "'\n"
                          "  end\n"
                          "end\n";
  for (const bool main : {false, true}) {
    SCOPED_TRACE(main ? "the main form" : "another form");
    qxtest::WriteBytes(ini, "[TForm2]\nShowCmd=2\nNormPos=30,40,430,340\n");
    TForm2* form = nullptr;
    if (main)
      app_->CreateForm(form);
    else
      form = new TForm2(nullptr);
    ASSERT_EQ(app_->MainForm() == form, main);
    ReadRootComponent(form, text, QStringLiteral("Form2.form"));
    form->Show();
    ASSERT_TRUE(PlacementOf(form)->Restored());
    EXPECT_TRUE(form->Widget()->isVisible());
    EXPECT_TRUE(PumpUntil([form] { return form->Widget()->isMinimized(); }));
    EXPECT_EQ(form->WindowState(), wsMinimized);
    EXPECT_EQ(form->NormalBounds(), Rect(30, 40, 430, 340));
    form->Free();
  }
}

TEST_F(FormPlacement, AFormNeverShownIsNotSavedAndADestroyedOneSavesVisible) {
  TForm2* form = Read();
  form->Free();
  EXPECT_EQ(TRegIniFile(kKey).ReadString("TForm2", "NormPos", "none"), "none");

  form = Read();
  form->Show();
  form->Free();
  TRegIniFile reg(kKey);
  EXPECT_EQ(reg.ReadString("TForm2", "NormPos", ""), "10,20,310,220");
  EXPECT_EQ(reg.ReadString("TForm2", "Visible", ""), "1");
}

TEST_F(FormPlacement, TheFormsOwnHandlersStillRun) {
  TForm2* form = new TForm2(nullptr);
  int asked = 0;
  form->OnCloseQuery = [&](TObject*, bool& canClose) {
    ++asked;
    canClose = false;
  };
  ReadRootComponent(form, kPlacementForm, QStringLiteral("Form2.form"));
  form->Show();
  EXPECT_FALSE(form->CloseQuery());
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(PlacementOf(form)->Saved()) << "a form that stays open is not saved";
  PlacementOf(form)->Free();
  EXPECT_TRUE(static_cast<bool>(form->OnCloseQuery)) << "handler given back";
  form->OnCloseQuery = nullptr;
  form->Free();
}

TEST_F(FormPlacement, LimitsAnswerTheSizeQuestion) {
  TForm2* form = Read();
  TFormPlacement* p = PlacementOf(form);
  EXPECT_TRUE(p->Hooked());
  TMinMaxInfo info;
  info.ptMaxTrackSize = {2000, 1500};
  info.ptMaxPosition = {-4, -4};
  EXPECT_EQ(form->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 1);
  EXPECT_EQ(info.ptMinTrackSize.x, 150);
  EXPECT_EQ(info.ptMinTrackSize.y, 120);
  EXPECT_EQ(info.ptMaxTrackSize.x, 2000) << "an unset limit stays";
  EXPECT_EQ(info.ptMaxPosition.x, -4);

  EXPECT_FALSE(form->SizeFixed());
  p->SetPreventResize(true);
  EXPECT_FALSE(form->BorderIcons().Contains(biMaximize));
  EXPECT_TRUE(form->SizeFixed()) << "the window manager is told too";
  info = {};
  form->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 300);
  EXPECT_EQ(info.ptMaxTrackSize.y, 200);
  p->SetPreventResize(false);
  EXPECT_TRUE(form->BorderIcons().Contains(biMaximize));
  EXPECT_FALSE(form->SizeFixed());

  TWinMinMaxInfo none;
  p->SetMinMaxInfo(&none);
  EXPECT_TRUE(p->MinMaxInfo()->DefaultMinMaxInfo());
  EXPECT_FALSE(p->Hooked());
  form->Free();
}

TEST_F(FormPlacement, LinksMoveBetweenPlacementsAndGoWithThem) {
  TForm2 form(nullptr);
  auto* first = new TFormPlacement(&form);
  auto* second = new TFormPlacement(&form);
  TIniLink link;
  int saves = 0, loads = 0;
  link.OnSave = [&](TObject*) {
    ++saves;
    EXPECT_FALSE(link.IniObject().Empty());
  };
  link.OnLoad = [&](TObject*) { ++loads; };
  link.SetStorage(first);
  link.SetStorage(second);
  first->SetIniFileName(qxtest::TempPath("first.ini"));
  second->SetIniFileName(qxtest::TempPath("second.ini"));
  first->RestoreFormPlacement();
  first->SaveFormPlacement();
  EXPECT_EQ(loads + saves, 0);
  second->RestoreFormPlacement();
  second->SaveFormPlacement();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(saves, 1);
  EXPECT_TRUE(link.IniObject().Empty()) << "closed again";
  second->Free();
  EXPECT_EQ(link.Storage(), nullptr);
}

TEST_F(FormPlacement, TheRecentListRoundTripsThroughAnIniFile) {
  TForm2 form(nullptr);
  auto* p = new TFormPlacement(&form);
  p->SetIniFileName(qxtest::TempPath("trovaly.ini"));
  auto* mru = new TMRUManager(&form);
  mru->SetName("MRUManager1");
  mru->SetIniStorage(p);
  mru->Add("/x.vrb", 0);
  mru->Add("/y.vrb", 0);
  p->RestoreFormPlacement();  // an empty file: the list empties
  EXPECT_EQ(mru->Strings()->Count(), 0);
  mru->Add("/x.vrb", 0);
  mru->Add("/y.vrb", 0);
  p->SaveFormPlacement();
  mru->Clear();
  p->RestoreFormPlacement();
  EXPECT_EQ(Lines(*mru->Strings()), QStringList({"/y.vrb", "/x.vrb"}));
  TIniFile ini(qxtest::TempPath("trovaly.ini"));
  EXPECT_EQ(ini.ReadString("TForm2.MRUManager1", "Item_0", ""), "/y.vrb");
}

}  // namespace

namespace {

// The active control comes back by name, only when it can take the focus.
TEST_F(FormPlacement, ActiveControlComesBackWhenItCanTakeTheFocus) {
  RegisterControlClasses();
  const QByteArray text = QByteArray(kPlacementForm)
                              .replace("  object MRUManager1",
                                       "  object Button1: TButton\n  end\n"
                                       "  object Button2: TButton\n  end\n"
                                       "  object MRUManager1");
  for (const bool enabled : {true, false}) {
    SCOPED_TRACE(enabled);
    TRegIniFile(kKey).WriteString("TForm2", "ActiveControl", "Button2");
    TForm2* form = Read(text);
    auto* button2 = dynamic_cast<TWinControl*>(form->FindComponent("Button2"));
    ASSERT_NE(button2, nullptr);
    button2->SetEnabled(enabled);
    form->Show();
    EXPECT_EQ(form->ActiveControl() == button2, enabled);
    form->SetActiveControl(dynamic_cast<TWinControl*>(form->FindComponent("Button1")));
    EXPECT_TRUE(form->CloseQuery());
    EXPECT_EQ(TRegIniFile(kKey).ReadString("TForm2", "ActiveControl", ""), "Button1");
    form->Free();
  }
}

}  // namespace
