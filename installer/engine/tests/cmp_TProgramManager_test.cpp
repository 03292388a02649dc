// The program manager's DDE client: commands and replies over a recording
// service, then groups and items through the real "PROGMAN" service.
#include "installer/engine/cmp_TProgramManager.h"

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/system/DdeServices.h"
#include "platform/system/ProgramGroups.h"

#include <gtest/gtest.h>

#include <QMap>

namespace {

// Stands in for the program manager: records every execute and answers
// requests from a table.
struct TRecordingService {
  QStringList commands;
  QMap<QString, QString> items;
  bool refuse = false;

  void Install() {
    DdeUnregisterService(QStringLiteral("PROGMAN"));
    TDdeServiceHandlers handlers;
    handlers.topics = {QStringLiteral("PROGMAN")};
    handlers.execute = [this](const QString&, const QString& command) {
      commands.append(command);
      return refuse ? TDdeExecuteResult::NotProcessed : TDdeExecuteResult::Processed;
    };
    handlers.request = [this](const QString&, const QString& item) -> std::optional<QString> {
      if (!items.contains(item)) return std::nullopt;
      return items.value(item);
    };
    DdeRegisterService(QStringLiteral("PROGMAN"), std::move(handlers));
  }
};

const QString kGroupData = QStringLiteral(
    "\"Trovaly\",2\r\n"
    "\"Trovaly\",\"\"/opt/qx/trovaly\" -x\",\"/opt/qx\",\"\",0,0,0,0\r\n"
    "\"Muokkain\",\"/opt/qx/muokkain\",\"/opt/qx\",\"/opt/qx/m.png\",10,20,3,0\r\n");

TEST(ProgramManagerCommands, CommandsAndRepliesAreExactlyThoseOfTheProgramManager) {
  TRecordingService service;
  service.items.insert(QStringLiteral("Trovaly"), kGroupData);
  service.items.insert(QStringLiteral("Groups"), QStringLiteral("Main\r\nTrovaly\r\n"));
  service.Install();

  TProgramManager pm(nullptr);
  EXPECT_FALSE(pm.Connected());
  EXPECT_EQ(pm.ItemCount(), 0);
  TStringList groups;
  pm.GetGroups(&groups);
  EXPECT_TRUE(pm.Connected());
  ASSERT_EQ(groups.Count(), 2);
  EXPECT_EQ(groups[1], "Trovaly");

  pm.CreateGroup(QStringLiteral("Trovaly"));
  EXPECT_EQ(pm.CurrentGroup(), "Trovaly");
  ASSERT_EQ(pm.ItemCount(), 2);
  // The command line is quoted twice: both layers go.
  EXPECT_EQ(pm.ItemName(1), "Trovaly");
  EXPECT_EQ(pm.ItemCommandLine(1), "/opt/qx/trovaly\" -x");
  EXPECT_EQ(pm.ItemDefaultDir(2), "/opt/qx");
  EXPECT_EQ(pm.ItemIconPath(2), "/opt/qx/m.png");
  EXPECT_EQ(pm.ItemX(2), "10");
  EXPECT_EQ(pm.ItemY(2), "20");
  EXPECT_EQ(pm.ItemIconIndex(2), "3");
  EXPECT_EQ(pm.GetItemField(0, 1), "");
  EXPECT_EQ(pm.GetItemField(3, 1), "");
  EXPECT_EQ(pm.FindItem(QStringLiteral("Muokkain")), 2);
  EXPECT_EQ(pm.FindItem(QStringLiteral("muokkain")), -1);

  pm.ReplaceItem(QStringLiteral("Muokkain"));
  pm.AddItem(QStringLiteral("cmd"), QStringLiteral("name"), QString(), 0, QStringLiteral("dir"),
             QString());
  EXPECT_EQ(service.commands,
            (QStringList{"[CreateGroup(\"Trovaly\")]", "[ShowGroup(Trovaly,8)]",
                         "[ReplaceItem(\"Muokkain\")]", "[ShowGroup(Trovaly,8)]",
                         "[AddItem(cmd,name,,0,,,dir,)]"}));

  // A group the service does not know: no current group, nothing is sent.
  service.commands.clear();
  pm.SelectGroup(QStringLiteral("Unknown"));
  EXPECT_EQ(pm.CurrentGroup(), "");
  EXPECT_EQ(pm.ItemCount(), 0);
  pm.AddItem(QStringLiteral("cmd"), QStringLiteral("name"), QString(), 0, QString(), QString());
  pm.ReplaceItem(QStringLiteral("name"));
  pm.CreateGroup(QString());
  EXPECT_TRUE(service.commands.isEmpty());
}

TEST(ProgramManagerCommands, FailuresRaiseTheirOwnErrorsAndLongCommandsAreNeverSent) {
  TRecordingService service;
  service.items.insert(QStringLiteral("G"), QStringLiteral("\"G\",0\r\n"));
  service.Install();
  TProgramManager pm(nullptr);
  pm.CreateGroup(QStringLiteral("G"));
  EXPECT_EQ(pm.FindItem(QStringLiteral("G")), -1);  // only the header line

  const QString longCommand(300, QLatin1Char('x'));
  service.commands.clear();
  try {
    pm.AddItem(longCommand, QStringLiteral("100%s"), QString(), 0, QString(), QString());
    FAIL() << "no error";
  } catch (const EAIPMCannotAddItem& e) {
    EXPECT_EQ(e.Group, "G");
    EXPECT_EQ(e.ItemName, "100%s");
    EXPECT_TRUE(e.Message().startsWith(
        "The TProgramManager object was unable to add the following program item: 100%s to the "
        "following group: G. The arguments passed to  Program Manager were: [AddItem(xxx"))
        << e.Message().toStdString();
  }
  // ShowGroup went out; the AddItem did not.
  EXPECT_EQ(service.commands, QStringList{"[ShowGroup(G,8)]"});

  service.refuse = true;
  try {
    pm.ReplaceItem(QStringLiteral("x"));
    FAIL() << "no error";
  } catch (const EAIPMCannotOpenGroup& e) {
    EXPECT_EQ(e.Group, "G");
    EXPECT_EQ(e.Message(),
              "The TProgramManager object was unable to open the following program group: G");
  }
  EXPECT_THROW(pm.CreateGroup(QStringLiteral("H")), EAIPMCannotCreateGroup);

  DdeUnregisterService(QStringLiteral("PROGMAN"));
  TProgramManager lonely(nullptr);
  try {
    lonely.CreateGroup(QStringLiteral("G"));
    FAIL() << "no error";
  } catch (const EAIPMCannotOpen& e) {
    EXPECT_EQ(e.Message(),
              "The TProgramManager object was unable to establish a link with Program Manager");
  }
  const EAI& base = EAIPMError();
  EXPECT_EQ(base.Message(),
            "The TProgramManager object was unable to communicate with Program Manager");
}

TEST(ProgramManagerService, GroupsAndItemsBecomeMenuFoldersAndEntries) {
  TProgramManager& pm = ProgramManager();
  EXPECT_EQ(&pm, &ProgramManager());
  pm.CreateGroup(QStringLiteral("Trovaly"));
  ASSERT_EQ(pm.CurrentGroup(), "Trovaly");
  EXPECT_EQ(pm.ItemCount(), 0);
  const QString program = ApplicationsMenuFolder() + QStringLiteral("/../prog/trovaly");
  pm.AddItem(QStringLiteral("\"") + program + QStringLiteral("\" -x"), QStringLiteral("Peli"),
             QString(), 0, QStringLiteral("\"/tmp\""), QString());
  ASSERT_EQ(pm.ItemCount(), 1);
  EXPECT_EQ(pm.FindItem(QStringLiteral("Peli")), 1);
  EXPECT_TRUE(FileExists(ApplicationsMenuFolder() + QStringLiteral("/Trovaly/Peli.desktop")));
  EXPECT_TRUE(LinkGroupExists(ApplicationsMenuFolder() + QStringLiteral("/Trovaly")));

  // Replacing makes room: the next item takes the name again.
  pm.ReplaceItem(QStringLiteral("Peli"));
  EXPECT_EQ(pm.FindItem(QStringLiteral("Peli")), -1);
  pm.AddItem(QStringLiteral("\"") + program + QStringLiteral("\" "), QStringLiteral("Peli"),
             QString(), 0, QString(), QString());
  EXPECT_EQ(pm.ItemCount(), 1);
  EXPECT_EQ(pm.ItemName(1), "Peli");

  TStringList groups;
  pm.GetGroups(&groups);
  EXPECT_NE(groups.IndexOf(QStringLiteral("Trovaly")), -1);
}

}  // namespace
