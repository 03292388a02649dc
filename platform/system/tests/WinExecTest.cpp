#include "platform/system/WinExec.h"

#include "tests/support/TestSupport.h"

#include "SystemTestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr QFile::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// A copy of the marker program at root/relative.
QString InstallMarkerProgram(const QString& relative) {
  const QString path = qxtest::TempPath(relative);
  EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
  EXPECT_TRUE(QFile::copy(QStringLiteral(QX_MARKER_PROGRAM), path));
  EXPECT_TRUE(QFile::setPermissions(path, Executable));
  return path;
}

QString Quoted(const QString& s) {
  return QLatin1Char('"') + s + QLatin1Char('"');
}

// The marker's lines (working folder, then arguments) once it appears.
QStringList WaitForMarker(const QString& marker) {
  systest::ProcessEventsUntil([&] { return QFile::exists(marker); });
  QString text = QString::fromUtf8(qxtest::ReadBytes(marker));
  text.chop(1);
  return text.split(QLatin1Char('\n'));
}

class WinExecTest : public testing::Test {
 protected:
  void SetUp() override {
    program_ = InstallMarkerProgram(QStringLiteral("apps/Program Files/Sub Dir/Prog"));
    folder_ = QFileInfo(program_).absolutePath();
    marker_ = qxtest::TempPath(QStringLiteral("marker.txt"));
  }
  QString program_;
  QString folder_;
  QString marker_;
};

TEST_F(WinExecTest, StartsAQuotedPathWithBlanksInItsFolder) {
  const UINT result =
      WinExec(Quoted(program_) + QLatin1Char(' ') + Quoted(marker_) + R"( "a b" c\"d)", SW_SHOW);
  EXPECT_GT(result, 31u);
  EXPECT_EQ(WaitForMarker(marker_), QStringList({folder_, "a b", "c\"d"}));
}

TEST_F(WinExecTest, MatchesADifferentlyCasedPath) {
  QString path = program_;
  path.replace(QStringLiteral("/apps/Program Files/Sub Dir/Prog"),
               QStringLiteral("/APPS/program files/sUB dIR/PROG"));
  EXPECT_EQ(WinExec(Quoted(path) + QLatin1Char(' ') + Quoted(marker_), SW_SHOWNORMAL), 33u);
  EXPECT_EQ(WaitForMarker(marker_), QStringList({folder_}));
}

TEST_F(WinExecTest, TriesAnUnquotedPathWithBlanksWordByWord) {
  EXPECT_EQ(WinExec(program_ + QLatin1Char(' ') + Quoted(marker_) + QStringLiteral(" x  y"),
                    SW_SHOW),
            33u);
  EXPECT_EQ(WaitForMarker(marker_), QStringList({folder_, "x", "y"}));
}

TEST_F(WinExecTest, TakesBackslashesAndDropsAMissingExeSuffix) {
  QString path = folder_ + QStringLiteral("\\\\prog.exe");  // "<folder>\\prog.exe"
  path.replace(QLatin1Char('/'), QLatin1Char('\\'));
  EXPECT_EQ(WinExec(Quoted(path) + QLatin1Char(' ') + Quoted(marker_), SW_SHOW), 33u);
  EXPECT_EQ(WaitForMarker(marker_).value(0), folder_);
}

TEST_F(WinExecTest, SearchesThePathForABareName) {
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(folder_) + ':' + oldPath);
  const UINT result = WinExec(QStringLiteral("prog.exe ") + Quoted(marker_), SW_SHOW);
  qputenv("PATH", oldPath);
  EXPECT_EQ(result, 33u);
  EXPECT_EQ(WaitForMarker(marker_).value(0), folder_);
}

struct FailureCase {
  const char* commandLine;  // "%1" is the test's temporary folder
  UINT result;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << '"' << c.commandLine << "\" -> " << c.result;
}

class WinExecFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(WinExecFailure, ReportsWhyNothingStarted) {
  InstallMarkerProgram(QStringLiteral("apps/Runnable"));
  qxtest::WriteBytes(qxtest::TempPath(QStringLiteral("apps/notes.txt")), "text\n");
  qxtest::WriteBytes(qxtest::TempPath(QStringLiteral("apps/garbage")),
                     QByteArray("\x7f" "ELF\x01\x02\x03\x00\xff", 9));
  QFile::setPermissions(qxtest::TempPath(QStringLiteral("apps/garbage")), Executable);
  const QString line =
      QString::fromUtf8(GetParam().commandLine).replace(QStringLiteral("%1"), qxtest::TempRoot());
  EXPECT_EQ(WinExec(line, SW_SHOW), GetParam().result) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Codes, WinExecFailure,
    testing::Values(FailureCase{"", ERROR_FILE_NOT_FOUND},
                    FailureCase{"   ", ERROR_FILE_NOT_FOUND},
                    FailureCase{"%1/apps/missing", ERROR_FILE_NOT_FOUND},
                    FailureCase{"%1/apps/missing.exe arg", ERROR_FILE_NOT_FOUND},
                    FailureCase{"\"%1/apps/missing\" arg", ERROR_FILE_NOT_FOUND},
                    FailureCase{"%1/apps", ERROR_FILE_NOT_FOUND},
                    FailureCase{"qx-no-such-program-anywhere", ERROR_FILE_NOT_FOUND},
                    FailureCase{"%1/nofolder/prog", ERROR_PATH_NOT_FOUND},
                    FailureCase{"\"%1/no folder/sub/prog\"", ERROR_PATH_NOT_FOUND},
                    FailureCase{"%1/no folder/sub/prog arg", ERROR_PATH_NOT_FOUND},
                    FailureCase{"%1/apps/Runnable/prog", ERROR_PATH_NOT_FOUND},
                    FailureCase{"%1/apps/notes.txt", ERROR_BAD_FORMAT},
                    FailureCase{"%1/apps/garbage", ERROR_BAD_FORMAT}));

TEST(ResolveProgramPath, MatchesEachPartIgnoringCase) {
  InstallMarkerProgram(QStringLiteral("a/Bb/Muokkain"));
  const QString root = qxtest::TempRoot();
  const QString expected = root + QStringLiteral("/a/Bb/Muokkain");
  for (const QString& path : {root + QStringLiteral("/a/Bb/Muokkain"),
                              root + QStringLiteral("/A/bB/muokkain"),
                              root + QStringLiteral("//a/./BB/../bb/MUOKKAIN.EXE"),
                              root + QStringLiteral("\\a\\bb\\muokkain.exe")}) {
    const TProgramLookup lookup = ResolveProgramPath(path);
    EXPECT_EQ(lookup.error, 0u) << path.toStdString();
    EXPECT_EQ(lookup.path, expected) << path.toStdString();
  }
  EXPECT_EQ(ResolveProgramPath(root + QStringLiteral("/a/Bb/Muokkain2")).error,
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ResolveProgramPath(root + QStringLiteral("/a/Cc/Muokkain")).error,
            ERROR_PATH_NOT_FOUND);
}

TEST(ResolveProgramPath, PrefersTheExactNameAndThenNameOrder) {
  InstallMarkerProgram(QStringLiteral("d/prog"));
  InstallMarkerProgram(QStringLiteral("d/PROG"));
  const QString root = qxtest::TempRoot();
  EXPECT_EQ(ResolveProgramPath(root + QStringLiteral("/d/prog")).path,
            root + QStringLiteral("/d/prog"));
  EXPECT_EQ(ResolveProgramPath(root + QStringLiteral("/d/Prog")).path,
            root + QStringLiteral("/d/PROG"));
}

TEST(ResolveProgramPath, RelativePathsStartAtTheCurrentFolder) {
  InstallMarkerProgram(QStringLiteral("rel/tool"));
  const QString old = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(qxtest::TempRoot()));
  const TProgramLookup lookup = ResolveProgramPath(QStringLiteral("REL/Tool"));
  QDir::setCurrent(old);
  EXPECT_EQ(lookup.path, qxtest::TempPath(QStringLiteral("rel/tool")));
}

}  // namespace
