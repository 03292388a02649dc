#include "platform/system/FileOperation.h"

#include "tests/support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>
#include <ostream>

#include <sys/stat.h>

namespace {

// Answers prompts from a queue (Yes when it runs dry) and records all.
class TScriptedUi : public IFileOpUi {
 public:
  std::deque<TFileOpAnswer> answers;
  QStringList prompts;  // "<id> <path relative to the root>"
  QStringList errors;
  QStringList progress;

  TFileOpAnswer Confirm(TFileOpPrompt prompt, const QString& path) override {
    prompts << QStringLiteral("%1 %2").arg(int(prompt)).arg(QDir(qxtest::TempRoot()).relativeFilePath(path));
    if (answers.empty())
      return TFileOpAnswer::Yes;
    const TFileOpAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  void ShowError(const QString& message) override { errors << message; }
  void Progress(const QString& title, int done, int total, const QString& path) override {
    progress << QStringLiteral("%1 %2/%3 %4")
                    .arg(title)
                    .arg(done)
                    .arg(total)
                    .arg(path.isEmpty() ? QString() : QFileInfo(path).fileName());
  }
};

QString P(const QString& relative) {
  return qxtest::TempPath(relative);
}

void Put(const QString& relative, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(P(relative)).absolutePath());
  qxtest::WriteBytes(P(relative), bytes);
}

QByteArray Read(const QString& relative) {
  QFile f(P(relative));
  if (!f.open(QIODevice::ReadOnly))
    return "<missing>";
  return f.readAll();
}

// Every file under the root as "path=content", trash info files as
// "path=info", sorted.
QStringList Tree(const QString& under = QStringLiteral("w")) {
  QStringList out;
  const QDir root(P(under));
  std::function<void(const QString&)> walk = [&](const QString& dir) {
    for (const QFileInfo& e : QDir(dir).entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
      const QString rel = root.relativeFilePath(e.filePath());
      if (e.isDir()) {
        out << rel + QLatin1Char('/');
        walk(e.filePath());
      } else {
        out << rel + QLatin1Char('=') + QString::fromUtf8(Read(under + QLatin1Char('/') + rel));
      }
    }
  };
  walk(root.path());
  out.sort();
  return out;
}

QStringList Paths(const std::vector<const char*>& relatives) {
  QStringList out;
  for (const char* r : relatives)
    out << P(QStringLiteral("w/") + QString::fromUtf8(r));
  return out;
}

struct TTransferCase {
  const char* name;
  UINT function;
  std::vector<const char*> from;
  std::vector<const char*> to;
  FILEOP_FLAGS flags;
  LONG code;
  QStringList after;
};

void PrintTo(const TTransferCase& c, std::ostream* os) {
  *os << c.name;
}

class FileOperationTransfer : public ::testing::TestWithParam<TTransferCase> {};

// Start: a.txt, b.bmp, d/ with d/c.txt, and an existing x/b.bmp.
TEST_P(FileOperationTransfer, LeavesTheExpectedTree) {
  const TTransferCase& c = GetParam();
  Put(QStringLiteral("w/a.txt"), "A");
  Put(QStringLiteral("w/b.bmp"), "B");
  Put(QStringLiteral("w/d/c.txt"), "C");
  Put(QStringLiteral("w/x/b.bmp"), "old");
  TScriptedUi ui;
  const TFileOpResult r = RunFileOperation(
      {c.function, Paths(c.from), Paths(c.to), FILEOP_FLAGS(c.flags | FOF_NOCONFIRMATION), {}}, ui);
  EXPECT_EQ(r.code, c.code) << r.message.toStdString();
  EXPECT_FALSE(r.anyOperationsAborted);
  EXPECT_EQ(Tree(), c.after);
  EXPECT_TRUE(ui.prompts.isEmpty());
}

const QStringList Start = {"a.txt=A", "b.bmp=B", "d/", "d/c.txt=C", "x/", "x/b.bmp=old"};

QStringList With(QStringList list, std::initializer_list<const char*> add,
                 std::initializer_list<const char*> remove = {}) {
  for (const char* r : remove)
    list.removeAll(QString::fromUtf8(r));
  for (const char* a : add)
    list << QString::fromUtf8(a);
  list.sort();
  return list;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileOperationTransfer,
    ::testing::Values(
        TTransferCase{"CopyToNewName", FO_COPY, {"a.txt"}, {"e.txt"}, 0, 0, With(Start, {"e.txt=A"})},
        TTransferCase{"CopyIntoFolder", FO_COPY, {"a.txt", "d"}, {"x"}, 0, 0,
                      With(Start, {"x/a.txt=A", "x/d/", "x/d/c.txt=C"})},
        TTransferCase{"CopyReplaces", FO_COPY, {"b.bmp"}, {"x"}, 0, 0,
                      With(Start, {"x/b.bmp=B"}, {"x/b.bmp=old"})},
        TTransferCase{"CopyRenamesOnCollision", FO_COPY, {"b.bmp"}, {"x/b.bmp"},
                      FOF_RENAMEONCOLLISION, 0, With(Start, {"x/b (2).bmp=B"})},
        TTransferCase{"CopyOntoItselfRenames", FO_COPY, {"a.txt"}, {"a.txt"},
                      FOF_RENAMEONCOLLISION, 0, With(Start, {"a (2).txt=A"})},
        TTransferCase{"CopyMakesFolder", FO_COPY, {"a.txt", "b.bmp"}, {"n/m"}, 0, 0,
                      With(Start, {"n/", "n/m/", "n/m/a.txt=A", "n/m/b.bmp=B"})},
        TTransferCase{"CopyWildcardFilesOnly", FO_COPY, {"*"}, {"n"}, FOF_FILESONLY, 0,
                      With(Start, {"n/", "n/a.txt=A", "n/b.bmp=B"})},
        TTransferCase{"CopyMultiDest", FO_COPY, {"a.txt", "b.bmp"}, {"a1", "d/b1"},
                      FOF_MULTIDESTFILES, 0, With(Start, {"a1=A", "d/b1=B"})},
        TTransferCase{"MoveReplaces", FO_MOVE, {"b.bmp"}, {"x/b.bmp"}, 0, 0,
                      With(Start, {"x/b.bmp=B"}, {"b.bmp=B", "x/b.bmp=old"})},
        TTransferCase{"MoveRenamesOnCollision", FO_MOVE, {"b.bmp"}, {"x"}, FOF_RENAMEONCOLLISION,
                      0, With(Start, {"x/b (2).bmp=B"}, {"b.bmp=B"})},
        TTransferCase{"MoveFolder", FO_MOVE, {"d"}, {"x"}, 0, 0,
                      With(Start, {"x/d/", "x/d/c.txt=C"}, {"d/", "d/c.txt=C"})},
        TTransferCase{"MoveFolderIntoItself", FO_MOVE, {"d"}, {"d/e"}, 0, ERROR_INVALID_PARAMETER,
                      Start},
        TTransferCase{"Rename", FO_RENAME, {"b.bmp"}, {"Kopio b.bmp"}, FOF_RENAMEONCOLLISION, 0,
                      With(Start, {"Kopio b.bmp=B"}, {"b.bmp=B"})},
        TTransferCase{"RenameOnCollision", FO_RENAME, {"a.txt"}, {"b.bmp"}, FOF_RENAMEONCOLLISION,
                      0, With(Start, {"b (2).bmp=A"}, {"a.txt=A"})},
        TTransferCase{"RenameFolderOnCollision", FO_RENAME, {"d"}, {"x"}, FOF_RENAMEONCOLLISION, 0,
                      With(Start, {"x (2)/", "x (2)/c.txt=C"}, {"d/", "d/c.txt=C"})},
        TTransferCase{"MissingSourceDoesNothing", FO_COPY, {"a.txt", "nothing.txt"}, {"x"}, 0,
                      ERROR_FILE_NOT_FOUND, Start},
        TTransferCase{"MissingSourceMove", FO_MOVE, {"nothing.txt"}, {"x"}, 0,
                      ERROR_FILE_NOT_FOUND, Start},
        TTransferCase{"DeleteForGood", FO_DELETE, {"a.txt", "d"}, {}, 0, 0,
                      With(Start, {}, {"a.txt=A", "d/", "d/c.txt=C"})},
        TTransferCase{"UnknownFunction", 9, {"a.txt"}, {"x"}, 0, ERROR_INVALID_PARAMETER, Start}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FileOperation, CollisionNamesCountUpAndKeepTheExtension) {
  Put(QStringLiteral("w/p.bmp"), "1");
  Put(QStringLiteral("w/p (2).bmp"), "2");
  Put(QStringLiteral("w/.hidden"), "3");
  Put(QStringLiteral("w/f.d/in"), "4");
  EXPECT_EQ(CollisionFreeName(P("w/p.bmp")), P("w/p (3).bmp"));
  EXPECT_EQ(CollisionFreeName(P("w/.hidden")), P("w/.hidden (2)"));
  EXPECT_EQ(CollisionFreeName(P("w/f.d")), P("w/f.d (2)"));
  EXPECT_EQ(CollisionFreeName(P("w/none")), P("w/none (2)"));
}

TEST(FileOperation, DeleteWithUndoWritesTrashEntries) {
  Put(QStringLiteral("w/a b;%.txt"), "A");
  Put(QStringLiteral("w/d/c.txt"), "C");
  Put(QStringLiteral("v/a b;%.txt"), "A2");
  Put(QStringLiteral("Trash/files/d"), "already");  // a name taken in the trash
  Put(QStringLiteral("w/e.txt"), "E");
  Put(QStringLiteral("Trash/info/e.txt.trashinfo"), "orphan");  // and one taken in info
  qputenv("XDG_DATA_HOME", QFile::encodeName(qxtest::TempRoot()));
  const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
  TScriptedUi ui;
  const TFileOpResult r = RunFileOperation(
      {FO_DELETE, {P("w/a b;%.txt"), P("w/d"), P("v/a b;%.txt"), P("w/e.txt")}, {}, FOF_ALLOWUNDO,
       {}}, ui);
  const QDateTime after = QDateTime::currentDateTime().addSecs(1);
  ASSERT_EQ(r.code, 0) << r.message.toStdString();
  EXPECT_EQ(HomeTrashFolder(), P("Trash"));
  EXPECT_EQ(Tree(), QStringList());
  EXPECT_EQ(Tree(QStringLiteral("Trash/files")),
            QStringList({"a b;% (2).txt=A2", "a b;%.txt=A", "d (2)/", "d (2)/c.txt=C", "d=already",
                         "e (2).txt=E"}));
  EXPECT_EQ(ui.prompts, QStringList()) << "the trash asks nothing";
  const QRegularExpression re(QStringLiteral(
      "^\\[Trash Info\\]\nPath=(.*)\nDeletionDate=(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d)\n$"));
  const struct {
    const char* info;
    const char* original;
  } entries[] = {{"a b;%.txt", "w/a b;%.txt"}, {"d (2)", "w/d"}, {"a b;% (2).txt", "v/a b;%.txt"}, {"e (2).txt", "w/e.txt"}};
  for (const auto& e : entries) {
    const QByteArray text = Read(QStringLiteral("Trash/info/%1.trashinfo").arg(e.info));
    const QRegularExpressionMatch m = re.match(QString::fromUtf8(text));
    ASSERT_TRUE(m.hasMatch()) << text.toStdString();
    EXPECT_FALSE(m.captured(1).contains(QLatin1Char(' '))) << "escaped";
    EXPECT_FALSE(m.captured(1).contains(QLatin1Char(';')));
    EXPECT_EQ(QUrl::fromPercentEncoding(m.captured(1).toLatin1()), P(e.original));
    const QDateTime when = QDateTime::fromString(m.captured(2), Qt::ISODate);
    EXPECT_TRUE(when >= before && when <= after) << m.captured(2).toStdString();
  }
  EXPECT_EQ(Read("Trash/info/e.txt.trashinfo"), "orphan");
  EXPECT_EQ(Tree(QStringLiteral("Trash/info")).size(), 5);
}

TEST(FileOperation, FailedTrashingKeepsTheFile) {
  Put(QStringLiteral("w/a.txt"), "A");
  Put(QStringLiteral("data/Trash"), "a file where the trash folder should be");
  qputenv("XDG_DATA_HOME", QFile::encodeName(P("data")));
  TScriptedUi ui;
  const TFileOpResult r =
      RunFileOperation({FO_DELETE, {P("w/a.txt")}, {}, FOF_ALLOWUNDO, {}}, ui);
  EXPECT_NE(r.code, 0);
  EXPECT_TRUE(r.message.contains(P("w/a.txt"))) << r.message.toStdString();
  EXPECT_EQ(ui.errors, QStringList({r.message}));
  EXPECT_EQ(Tree(), QStringList({"a.txt=A"}));
}

TEST(FileOperation, FailedTrashRenameRemovesTheInfoAndKeepsTheFile) {
  Put(QStringLiteral("w/a.txt"), "A");
  qputenv("XDG_DATA_HOME", QFile::encodeName(P("data")));
  QDir().mkpath(P("data/Trash/files"));
  QDir().mkpath(P("data/Trash/info"));
  ASSERT_EQ(::chmod(QFile::encodeName(P("data/Trash/files")).constData(), 0500), 0);
  TScriptedUi ui;
  const TFileOpResult r = RunFileOperation(
      {FO_DELETE, {P("w/a.txt")}, {}, FOF_ALLOWUNDO | FOF_SILENT | FOF_NOCONFIRMATION, {}}, ui);
  ::chmod(QFile::encodeName(P("data/Trash/files")).constData(), 0700);
  if (::geteuid() == 0)
    GTEST_SKIP() << "root renames into a read-only folder";
  EXPECT_EQ(r.code, ERROR_ACCESS_DENIED);
  EXPECT_TRUE(ui.errors.isEmpty()) << "silent without confirmation shows nothing";
  EXPECT_EQ(Tree(), QStringList({"a.txt=A"}));
  EXPECT_EQ(Tree(QStringLiteral("data/Trash")), QStringList({"files/", "info/"}));
}

TEST(FileOperation, TrashOnAnotherFileSystemKeepsTheFile) {
  const QString shm = QStringLiteral("/dev/shm/qx-fileop-%1").arg(::getpid());
  ASSERT_TRUE(QDir().mkpath(shm));
  qxtest::WriteBytes(shm + QStringLiteral("/a.txt"), "A");
  qputenv("XDG_DATA_HOME", QFile::encodeName(P("data")));
  QDir().mkpath(P("data"));
  struct stat here {}, there {};
  ::stat(QFile::encodeName(P("data")).constData(), &here);
  ::stat(QFile::encodeName(shm).constData(), &there);
  TScriptedUi ui;
  const TFileOpResult r = RunFileOperation(
      {FO_DELETE, {shm + QStringLiteral("/a.txt")}, {}, FOF_ALLOWUNDO | FOF_NOCONFIRMATION, {}}, ui);
  QFile f(shm + QStringLiteral("/a.txt"));
  const bool kept = f.open(QIODevice::ReadOnly) && f.readAll() == "A";
  QDir(shm).removeRecursively();
  if (here.st_dev == there.st_dev)
    GTEST_SKIP() << "one file system";
  EXPECT_NE(r.code, 0);
  EXPECT_TRUE(kept);
  EXPECT_EQ(Tree(QStringLiteral("data/Trash")), QStringList({"files/", "info/"}));
}

TEST(FileOperation, FailureStopsAndLosesNothing) {
  Put(QStringLiteral("w/a.txt"), "A");
  Put(QStringLiteral("w/b.txt"), "B");
  Put(QStringLiteral("w/x/b.txt"), "old");
  TScriptedUi ui;
  // b's destination folder would have to be the file x/b.txt.
  const TFileOpResult r =
      RunFileOperation({FO_MOVE, Paths({"a.txt", "b.txt"}), Paths({"x/a.txt", "x/b.txt/b.txt"}),
                        FOF_MULTIDESTFILES | FOF_NOCONFIRMATION, {}},
                       ui);
  EXPECT_NE(r.code, 0);
  EXPECT_FALSE(r.anyOperationsAborted);
  EXPECT_EQ(ui.errors, QStringList({r.message}));
  EXPECT_EQ(Tree(), QStringList({"b.txt=B", "x/", "x/a.txt=A", "x/b.txt=old"}));
}

TEST(FileOperation, PromptsAskWithStableIdsAndCancelLeavesEverything) {
  Put(QStringLiteral("w/a.txt"), "A");
  Put(QStringLiteral("w/b.txt"), "B");
  Put(QStringLiteral("w/x/a.txt"), "oldA");
  Put(QStringLiteral("w/x/b.txt"), "oldB");
  const QStringList start = Tree();
  TScriptedUi ui;
  ui.answers = {TFileOpAnswer::No, TFileOpAnswer::Cancel};
  TFileOpResult r = RunFileOperation({FO_COPY, Paths({"a.txt", "b.txt"}), Paths({"x"}), 0,
                                      QStringLiteral("Copying")}, ui);
  EXPECT_EQ(r.code, ERROR_CANCELLED);
  EXPECT_TRUE(r.anyOperationsAborted);
  EXPECT_EQ(ui.prompts, QStringList({"1 w/x/a.txt", "1 w/x/b.txt"}));
  EXPECT_EQ(ui.progress, QStringList({"Copying 0/2 a.txt", "Copying 1/2 b.txt"}));
  EXPECT_TRUE(ui.errors.isEmpty());
  EXPECT_EQ(Tree(), start);

  // Cancelling the folder prompt makes nothing.
  TScriptedUi mk;
  mk.answers = {TFileOpAnswer::Cancel};
  r = RunFileOperation({FO_MOVE, Paths({"a.txt"}), Paths({"new/a.txt"}), FOF_SIMPLEPROGRESS, {}}, mk);
  EXPECT_EQ(r.code, ERROR_CANCELLED);
  EXPECT_EQ(mk.prompts, QStringList({"2 w/new"}));
  EXPECT_EQ(mk.progress, QStringList({" 0/1 "}));
  EXPECT_EQ(Tree(), start);

  // A cancelled delete removes nothing.
  TScriptedUi del;
  del.answers = {TFileOpAnswer::Cancel};
  r = RunFileOperation({FO_DELETE, Paths({"a.txt", "b.txt"}), {}, FOF_SILENT, {}}, del);
  EXPECT_EQ(r.code, ERROR_CANCELLED);
  EXPECT_EQ(del.prompts, QStringList({"3 w/a.txt"}));
  EXPECT_TRUE(del.progress.isEmpty());
  EXPECT_EQ(Tree(), start);

  // Yes to all answers the rest.
  TScriptedUi all;
  all.answers = {TFileOpAnswer::YesToAll};
  r = RunFileOperation({FO_COPY, Paths({"a.txt", "b.txt"}), Paths({"x"}), FOF_SILENT, {}}, all);
  EXPECT_EQ(r.code, 0);
  EXPECT_FALSE(r.anyOperationsAborted);
  EXPECT_EQ(all.prompts, QStringList({"1 w/x/a.txt"}));
  EXPECT_EQ(Read("w/x/a.txt"), "A");
  EXPECT_EQ(Read("w/x/b.txt"), "B");
}

TEST(FileOperation, FailedReplaceKeepsTheOldFile) {
  Put(QStringLiteral("w/a.txt"), "new");
  Put(QStringLiteral("w/x/a.txt"), "old");
  const QByteArray folder = QFile::encodeName(P("w/x"));
  ASSERT_EQ(::chmod(folder.constData(), 0500), 0);
  TScriptedUi ui;
  const TFileOpResult r = RunFileOperation(
      {FO_COPY, Paths({"a.txt"}), Paths({"x"}), FOF_NOCONFIRMATION, {}}, ui);
  ::chmod(folder.constData(), 0700);
  if (::geteuid() == 0)
    GTEST_SKIP() << "root writes into a read-only folder";
  EXPECT_EQ(r.code, ERROR_ACCESS_DENIED);
  EXPECT_TRUE(r.message.contains(P("w/x/a.txt"))) << r.message.toStdString();
  EXPECT_EQ(ui.errors.size(), 1);
  EXPECT_EQ(Tree(), QStringList({"a.txt=new", "x/", "x/a.txt=old"}));
}

}  // namespace
