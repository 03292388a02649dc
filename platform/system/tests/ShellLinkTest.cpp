#include "platform/system/ShellLink.h"

#include "platform/system/CommandLine.h"
#include "platform/system/ShellLinkEntry.h"
#include "platform/system/tests/ShellTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <ostream>

namespace {

using shelltest::AppsPath;
using shelltest::EntryKeys;
using shelltest::MakeProgram;
using shelltest::ValidatorComplaints;

struct TExecRow {
  QStringList argv;
  const char* exec;  // as written in the file
};

// Blanks, quotes, backslashes, dollars and percents, each as the file has it.
TEST(DesktopExec, QuotesAndEscapesEachArgument) {
  const TExecRow rows[] = {
      {{"/opt/game/trovaly"}, "/opt/game/trovaly"},
      {{"/opt/a b/x"}, R"("/opt/a b/x")"},
      {{"/x", "-s", "a b"}, R"(/x -s "a b")"},
      {{"/x", "say \"hi\""}, R"(/x "say \\"hi\\"")"},
      {{"/x", "a\\b"}, R"(/x "a\\\\b")"},
      {{"/x", "$HOME"}, R"(/x "\\$HOME")"},
      {{"/x", "100%"}, "/x 100%%"},
      {{"/x", "50 %"}, R"(/x "50 %%")"},
      {{"/x", "`id`"}, R"(/x "\\`id\\`")"},
      {{"/x", ""}, R"(/x "")"},
      {{"/x", "a\tb"}, R"(/x "a\tb")"},
      {{"/x", "two\nlines"}, R"(/x "two\nlines")"},
      {{"/x", "~/f", "it's", "a;b", "a|b", "(x)", "*?", "#1", "<>&"},
       R"e(/x "~/f" "it's" "a;b" "a|b" "(x)" "*?" "#1" "<>&")e"},
      {{"/x", "ä=ö"}, "/x ä=ö"},
  };
  for (const TExecRow& row : rows) {
    const QString exec = DesktopExecValue(row.argv);
    EXPECT_EQ(exec, QString::fromUtf8(row.exec)) << row.argv.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(SplitDesktopExec(UnescapeDesktopString(exec)), row.argv) << row.exec;
  }
}

TEST(DesktopExec, RefusesWhatAnEntryCannotCarry) {
  const QStringList bad[] = {{}, {""}, {"/opt/a=b/x"}, {"/x", QStringLiteral("bell\x07")}};
  for (const QStringList& argv : bad)
    EXPECT_THROW(DesktopExecValue(argv), EDesktopEntryError) << argv.join(QLatin1Char('|')).toStdString();
  for (const char* exec : {"/x $HOME", "/x \"open", "/x a&b"})
    EXPECT_EQ(SplitDesktopExec(QString::fromUtf8(exec)), std::nullopt) << exec;
}

TEST(DesktopString, EscapesRoundTrip) {
  const QString value = QStringLiteral(" lead\\back\nline\ttab\rcr ");
  EXPECT_EQ(EscapeDesktopString(value), QStringLiteral("\\slead\\\\back\\nline\\ttab\\rcr "));
  EXPECT_EQ(UnescapeDesktopString(EscapeDesktopString(value)), value);
}

TEST(ShellLinkFileName, MapsLinkNamesToDesktopEntries) {
  const std::pair<const char*, const char*> rows[] = {
      {"/m/GAME.lnk", "/m/GAME.desktop"},   {"/m/Readme.LNK", "/m/Readme.desktop"},
      {"/m/x.desktop", "/m/x.desktop"},     {"/m/Home", "/m/Home.desktop"},
      {"/m/a.b.Lnk", "/m/a.b.desktop"},
  };
  for (const auto& [name, disk] : rows)
    EXPECT_EQ(ShellLinkFileName(QString::fromUtf8(name)), QString::fromUtf8(disk)) << name;
}

// The program link the engine makes, in a folder of the applications menu.
TEST(ShellLink, ProgramLinkIsAValidEntryAndReadsBack) {
  const QString program = MakeProgram(qxtest::TempPath(QStringLiteral("opt/Trovaly 1.0/trovaly")));
  const QString icon = qxtest::TempPath(QStringLiteral("opt/Trovaly 1.0/trovaly.png"));
  qxtest::WriteBytes(icon, "png");
  QDir().mkpath(AppsPath(QStringLiteral("Trovaly")));
  TShellLink link;
  const QString arguments = QStringLiteral("-s \"a b\" 100% $HOME");
  ASSERT_EQ(link.SetPath(program), S_OK);
  ASSERT_EQ(link.SetArguments(arguments), S_OK);
  ASSERT_EQ(link.SetWorkingDirectory(QFileInfo(program).absolutePath()), S_OK);
  ASSERT_EQ(link.SetDescription(QStringLiteral("Sanaristikko")), S_OK);
  ASSERT_EQ(link.SetIconLocation(icon, 0), S_OK);
  ASSERT_EQ(link.SetHotkey(WORD((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'T')), S_OK);
  const QString lnk = AppsPath(QStringLiteral("Trovaly/Trovaly.lnk"));
  ASSERT_EQ(link.Save(lnk, true), S_OK) << link.LastErrorText().toStdString();

  const QString file = AppsPath(QStringLiteral("Trovaly/Trovaly.desktop"));
  EXPECT_EQ(link.CurFile(), file);
  EXPECT_FALSE(QFile::exists(lnk));
  EXPECT_EQ(ValidatorComplaints(file), QString());
  if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
    // The check itself sees a broken entry.
    const QString broken = qxtest::TempPath(QStringLiteral("broken.desktop"));
    qxtest::WriteBytes(broken, "[Desktop Entry]\nType=Application\nName=x\nExec=/x $HOME\n");
    EXPECT_NE(ValidatorComplaints(broken), QString());
  }
  const auto keys = EntryKeys(file);
  EXPECT_EQ(keys.value("Type"), "Application");
  EXPECT_EQ(keys.value("Name"), "Trovaly");
  EXPECT_EQ(keys.value("Comment"), "Sanaristikko");
  EXPECT_EQ(keys.value("Path"), QFileInfo(program).absolutePath());
  EXPECT_EQ(keys.value("Icon"), icon);
  EXPECT_EQ(keys.value("X-QX-HotKey"), QString::number(0x0654));
  EXPECT_EQ(SplitDesktopExec(keys.value("Exec")),
            QStringList({program, "-s", "a b", "100%", "$HOME"}));

  TShellLink back;
  ASSERT_EQ(back.Load(file), S_OK) << back.LastErrorText().toStdString();
  EXPECT_EQ(back.Path(), program);
  EXPECT_EQ(SplitCommandArguments(back.Arguments()), SplitCommandArguments(arguments));
  EXPECT_EQ(back.WorkingDirectory(), QFileInfo(program).absolutePath());
  EXPECT_EQ(back.Description(), "Sanaristikko");
  EXPECT_EQ(back.IconPath(), icon);
  EXPECT_EQ(back.Hotkey(), 0x0654);
  EXPECT_EQ(back.CurFile(), file);
}

// Documents and folders are opened through xdg-open, whatever their names.
TEST(ShellLink, NonProgramTargetsOpenThroughXdgOpen) {
  const QString document = qxtest::TempPath(QStringLiteral("opt/Trovaly/ohje 100% \"uusi\".txt"));
  qxtest::WriteBytes(document, "text");
  const QString folder = qxtest::TempPath(QStringLiteral("opt/Trovaly/Ristikot $1"));
  QDir().mkpath(folder);
  const QString desktop = qxtest::TempPath(QStringLiteral("home/Desktop"));
  QDir().mkpath(desktop);
  for (const QString& target : {document, folder, qxtest::TempPath(QStringLiteral("missing.exe"))}) {
    TShellLink link;
    link.SetPath(target);
    link.SetArguments(QStringLiteral("-ignored"));
    const QString file = desktop + QStringLiteral("/Link.desktop");
    ASSERT_EQ(link.Save(desktop + QStringLiteral("/Link.lnk"), false), S_OK)
        << link.LastErrorText().toStdString();
    EXPECT_EQ(link.CurFile(), QString());
    EXPECT_EQ(ValidatorComplaints(file), QString()) << target.toStdString();
    EXPECT_EQ(SplitDesktopExec(EntryKeys(file).value("Exec")),
              QStringList({"xdg-open", target}));
    TShellLink back;
    ASSERT_EQ(back.Load(file), S_OK);
    EXPECT_EQ(back.Path(), target);
    EXPECT_EQ(back.Arguments(), QString());
  }
}

// A script's "GAME.EXE" is the installed program "game".
TEST(ShellLink, ProgramTargetIsFoundAsProgramsAreStarted) {
  const QString program = MakeProgram(qxtest::TempPath(QStringLiteral("opt/Peli/game")));
  const QString folder = qxtest::TempPath(QStringLiteral("links"));
  QDir().mkpath(folder);
  TShellLink link;
  link.SetPath(qxtest::TempPath(QStringLiteral("opt/peli/GAME.EXE")));
  link.SetArguments(QStringLiteral("-x"));
  ASSERT_EQ(link.Save(folder + QStringLiteral("/GAME.lnk"), true), S_OK);
  EXPECT_EQ(SplitDesktopExec(EntryKeys(link.CurFile()).value("Exec")), QStringList({program, "-x"}));
}

TEST(ShellLink, FailedSaveKeepsTheOldFileAndSaysWhy) {
  const QString program = MakeProgram(qxtest::TempPath(QStringLiteral("opt/p")));
  const QString folder = qxtest::TempPath(QStringLiteral("links"));
  QDir().mkpath(folder);
  const QString file = folder + QStringLiteral("/Old.desktop");
  qxtest::WriteBytes(file, "old bytes");
  struct TRow {
    QString path, description, fileName;
    HRESULT expected;
  };
  const TRow rows[] = {
      {QString(), QString(), file, E_INVALIDARG},
      {qxtest::TempPath(QStringLiteral("opt/a=b")), QString(), file, E_INVALIDARG},
      {program, QStringLiteral("bell\x07"), file, E_INVALIDARG},
      {program, QString(), folder + QStringLiteral("/no/such/x.lnk"),
       HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)},
      {program, QString(), folder + QStringLiteral("/.lnk"), E_INVALIDARG},
  };
  if (!rows[1].path.isEmpty())
    MakeProgram(rows[1].path);
  for (const TRow& row : rows) {
    TShellLink link;
    if (!row.path.isEmpty())
      link.SetPath(row.path);
    link.SetDescription(row.description);
    EXPECT_EQ(link.Save(row.fileName, true), row.expected) << row.path.toStdString();
    EXPECT_FALSE(link.LastErrorText().isEmpty());
    EXPECT_EQ(link.CurFile(), QString());
  }
  EXPECT_EQ(qxtest::ReadBytes(file), "old bytes");
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"Old.desktop"}));
  TShellLink none;
  EXPECT_EQ(none.SetPath(QString()), E_INVALIDARG);
  EXPECT_EQ(none.Load(folder + QStringLiteral("/missing.desktop")),
            HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(none.Load(file), E_FAIL);
}

TEST(ShellLinkCom, ResultCodesAndTheirError) {
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  CoUninitialize();
  EXPECT_NO_THROW(OleCheck(S_FALSE));
  try {
    OleCheck(E_INVALIDARG);
    ADD_FAILURE() << "no error raised";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), E_INVALIDARG);
    EXPECT_EQ(e.ErrorCode(), HRESULT(0x80070057u));
    EXPECT_EQ(e.Message(), "The parameter is incorrect");
  }
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), HRESULT(0x80070070u));
  EXPECT_EQ(OleErrorMessage(HRESULT(0x80001234u)), "Error 80001234");
}

}  // namespace
