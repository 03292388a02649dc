#include "platform/system/ProgramGroupsProgman.h"

#include "platform/system/CommandLine.h"
#include "platform/system/DdeClientConv.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/ShellLink.h"
#include "platform/system/tests/ShellTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace {

using shelltest::AppsPath;
using shelltest::MakeProgram;
using shelltest::ValidatorComplaints;

// A conversation with the program manager as the engine opens it.
std::unique_ptr<TDdeClientConv> Progman() {
  auto conv = std::make_unique<TDdeClientConv>();
  conv->SetConnectMode(ddeManual);
  conv->SetLink(QStringLiteral("PROGMAN"), QStringLiteral("PROGMAN"));
  EXPECT_TRUE(conv->OpenLink());
  return conv;
}

// Every name below the applications, desktop-directories and menus folders.
QStringList Tree() {
  QStringList names;
  for (const QString& root : {ApplicationsMenuFolder(), DesktopDirectoriesFolder(), MergedMenusFolder()}) {
    QDir dir(root);
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
      names << dir.dirName() + QLatin1Char('/') + name;
  }
  return names;
}

TEST(ProgmanCommands, ParseQuotedAndPlainArguments) {
  const auto commands = ParseProgmanCommands(
      QStringLiteral(" [CreateGroup(\"A, (b)\")] [AddItem(\"/opt/a b/x\" -y,Name,,0,,,\"/opt\",)][ShowGroup]"));
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0].name, "CreateGroup");
  EXPECT_EQ(commands[0].args, QStringList({"A, (b)"}));
  EXPECT_EQ(commands[1].args, QStringList({"\"/opt/a b/x\" -y", "Name", "", "0", "", "", "/opt", ""}));
  EXPECT_EQ(commands[1].rawArgs[6], "\"/opt\"");
  EXPECT_TRUE(commands[2].args.isEmpty());
  EXPECT_EQ(ParseProgmanCommands(QStringLiteral("[DeleteItem(x (a,b))]"))[0].args,
            QStringList({"x (a,b)"}));
}

// The engine's conversation: group, items, replacing, requests.
TEST(ProgmanService, EngineCommandsMakeGroupsAndItems) {
  const QString program = MakeProgram(qxtest::TempPath(QStringLiteral("opt/Trovaly 1.0/trovaly")));
  const QString dir = QFileInfo(program).absolutePath();
  auto conv = Progman();
  const QString addItem =
      QStringLiteral("[AddItem(\"%1\" -x \"a b\",Trovaly,,0,,,\"%2\",)]").arg(program, dir);
  struct TRow {
    QString command;
    QStringList items;  // of the group Trovaly afterwards
  };
  const TRow rows[] = {
      {QStringLiteral("[CreateGroup(\"Trovaly\")]"), {}},
      {QStringLiteral("[ShowGroup(Trovaly,8)]"), {}},
      {addItem, {"Trovaly.desktop"}},
      {addItem, {"Trovaly (2).desktop", "Trovaly.desktop"}},
      {QStringLiteral("[ShowGroup(Trovaly,8)][ReplaceItem(\"Trovaly\")]"), {"Trovaly (2).desktop"}},
      {addItem, {"Trovaly (2).desktop", "Trovaly.desktop"}},
      {QStringLiteral("[DeleteItem(Trovaly (2))]"), {"Trovaly.desktop"}},
      {QStringLiteral("[CreateGroup(\"Trovaly\",trovaly.grp)]"), {"Trovaly.desktop"}},
  };
  for (const TRow& row : rows) {
    EXPECT_TRUE(conv->ExecuteMacro(row.command, false))
        << row.command.toStdString() << ": " << ProgmanLastError().toStdString();
    EXPECT_EQ(ProgmanLastError(), QString());
    EXPECT_EQ(QDir(AppsPath("Trovaly")).entryList(QDir::Files), row.items) << row.command.toStdString();
  }
  EXPECT_TRUE(LinkGroupExists(AppsPath("Trovaly")));
  const QString item = AppsPath("Trovaly/Trovaly.desktop");
  EXPECT_EQ(ValidatorComplaints(item), QString());
  TShellLink link;
  ASSERT_EQ(link.Load(item), S_OK);
  EXPECT_EQ(link.Path(), program);
  EXPECT_EQ(SplitCommandArguments(link.Arguments()), QStringList({"-x", "a b"}));
  EXPECT_EQ(link.WorkingDirectory(), dir);
  EXPECT_EQ(shelltest::MenuSummary(LinkGroupFilesOf(AppsPath("Trovaly")).menuFile),
            "Applications>Trovaly dir=qx-Trovaly.directory [Trovaly-Trovaly.desktop]");

  EXPECT_TRUE(conv->ExecuteMacro(QStringLiteral("[CreateGroup(Muut)]"), false));
  EXPECT_EQ(conv->RequestData(QStringLiteral("Groups")), "Muut\r\nTrovaly\r\n");
  EXPECT_EQ(conv->RequestData(QStringLiteral("Trovaly")),
            QStringLiteral("\"Trovaly\",1\r\n\"Trovaly\",\"\"%1\" -x \"a b\"\",\"%2\",\"\",0,0,0,0\r\n")
                .arg(program, dir));
  EXPECT_EQ(conv->RequestData(QStringLiteral("Muut")), "\"Muut\",0\r\n");
  EXPECT_EQ(conv->RequestData(QStringLiteral("Puuttuu")), QString());
  EXPECT_EQ(conv->LastError(), DMLERR_NOTPROCESSED);

  EXPECT_TRUE(conv->ExecuteMacro(QStringLiteral("[DeleteGroup(Trovaly)]"), false));
  EXPECT_FALSE(QFileInfo::exists(AppsPath("Trovaly")));
  EXPECT_EQ(Tree(), QStringList({"applications/Muut", "desktop-directories/qx-Muut.directory",
                                 "applications-merged/qx-Muut.menu"}));
  // The current group goes with its group.
  EXPECT_TRUE(conv->ExecuteMacro(QStringLiteral("[DeleteGroup(\"Muut\")]"), false));
  EXPECT_EQ(Tree(), QStringList());
  EXPECT_FALSE(conv->ExecuteMacro(addItem, false));
  EXPECT_EQ(ProgmanLastError(), "AddItem needs a current group");
}

// Each refused command string fails with a reason and changes nothing.
TEST(ProgmanService, MalformedCommandsAreRefusedWithAReason) {
  auto conv = Progman();
  ASSERT_TRUE(conv->ExecuteMacro(QStringLiteral("[CreateGroup(Trovaly)]"), false));
  const QStringList before = Tree();
  struct TRow {
    const char* command;
    const char* reason;  // a part of ProgmanLastError()
  };
  const TRow rows[] = {
      {"", "empty"},
      {"   ", "empty"},
      {"CreateGroup(X)", "Expected \"[\""},
      {"[CreateGroup(X)", "Expected \"]\""},
      {"[CreateGroup(X]", "\"]\" stands outside quotes"},
      {"[CreateGroup(\"X)]", "A quote is not closed"},
      {"[CreateGroup(X", "A \")\" is missing"},
      {"[(X)]", "has no name"},
      {"[CreateGroup(X (Y)]", "\"]\" stands outside quotes"},
      {"[CreateGroup(X (Y)", "A \")\" is missing"},
      {"[Frobnicate(X)]", "Unknown command \"Frobnicate\""},
      {"[CreateGroup()]", "CreateGroup takes 1 to 2 arguments, not 0"},
      {"[CreateGroup(a,b,c)]", "takes 1 to 2 arguments, not 3"},
      {"[CreateGroup(\"\")]", "is no valid group name"},
      {"[CreateGroup(\"../Evil\")]", "\"../Evil\" is no valid group name"},
      {"[CreateGroup(..)]", "is no valid group name"},
      {"[CreateGroup(Uusi)][CreateGroup(", "A \")\" is missing"},
      {"[CreateGroup(Uusi)] junk", "Expected \"[\""},
      {"[ShowGroup(Puuttuu,8)]", "There is no group \"Puuttuu\""},
      {"[ShowGroup(Trovaly,iso)]", "Argument 2 of ShowGroup is no number"},
      {"[ShowGroup(Trovaly)]", "ShowGroup takes 2 to 2 arguments"},
      {"[ShowGroup(Trovaly,8)][AddItem(\"/bin/true\",x,,zz)]", "Argument 4 of AddItem is no number"},
      {"[ShowGroup(Trovaly,8)][AddItem(\"/bin/true\",x,,0,,,,99999)]", "hot key 99999 is out of range"},
      {"[ShowGroup(Trovaly,8)][AddItem(\"/bin/true\",\"a/b\")]", "\"a/b\" is no valid item name"},
      {"[ShowGroup(Trovaly,8)][AddItem(\"\")]", "AddItem has no program to run"},
      {"[ShowGroup(Trovaly,8)][AddItem(1,2,3,4,5,6,7,8,9,10)]", "takes 1 to 9 arguments, not 10"},
      {"[ShowGroup(Trovaly,8)][ReplaceItem(Puuttuu)]", "There is no item \"Puuttuu\""},
      {"[DeleteItem(\"Trovaly\",x)]", "DeleteItem takes 1 to 1 arguments, not 2"},
      {"[DeleteGroup(Puuttuu)]", "There is no group \"Puuttuu\""},
      {"[DeleteGroup(\"/\")]", "is no valid group name"},
  };
  for (const TRow& row : rows) {
    const QString command = QString::fromUtf8(row.command);
    EXPECT_FALSE(conv->ExecuteMacro(command, false)) << row.command;
    EXPECT_EQ(conv->LastError(), DMLERR_NOTPROCESSED) << row.command;
    EXPECT_TRUE(ProgmanLastError().contains(QString::fromUtf8(row.reason)))
        << row.command << " gave: " << ProgmanLastError().toStdString();
    EXPECT_EQ(Tree(), before) << row.command;
  }
  EXPECT_FALSE(QFileInfo::exists(qxtest::TempPath("data/Evil")));
  // The conversation still works after all of them.
  EXPECT_TRUE(conv->ExecuteMacro(QStringLiteral("[ShowGroup(Trovaly,1)]"), false));
  EXPECT_EQ(ProgmanLastError(), QString());
}

TEST(ProgmanService, OnlyTheProgmanTopicConnects) {
  TDdeClientConv conv;
  conv.SetConnectMode(ddeManual);
  conv.SetLink(QStringLiteral("PROGMAN"), QStringLiteral("System"));
  EXPECT_FALSE(conv.OpenLink());
  EXPECT_EQ(conv.LastError(), DMLERR_NO_CONV_ESTABLISHED);
  conv.SetLink(QStringLiteral("progman"), QStringLiteral("progman"));
  EXPECT_TRUE(conv.OpenLink());
}

}  // namespace
