// TFileOperation: its properties as the service takes them, and a few real
// runs on files (the service itself is tested with the platform).
#include "editor/EditorResources.h"
#include "editor/FileOp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// Answers every prompt with one answer and records what was asked.
class TAnsweringUi : public IFileOpUi {
 public:
  explicit TAnsweringUi(TFileOpAnswer answer) : answer_(answer) {}
  TFileOpAnswer Confirm(TFileOpPrompt prompt, const QString&) override {
    prompts.append(static_cast<int>(prompt));
    return answer_;
  }
  void ShowError(const QString& message) override { errors.append(message); }
  void Progress(const QString&, int, int, const QString&) override {}
  QList<int> prompts;
  QStringList errors;

 private:
  TFileOpAnswer answer_;
};

TEST(FileOperationComponent, PropertiesBecomeTheServiceRequest) {
  TFileOperation op(nullptr);
  EXPECT_EQ(op.About()->Strings(0), QStringLiteral("Component: TFileOperation"));
  EXPECT_EQ(op.About()->Strings(1), QStringLiteral("Version: 1.1"));
  EXPECT_EQ(op.Operation(), foCopy);
  EXPECT_FALSE(op.Active());
  const struct {
    TFileOperationKind kind;
    UINT code;
  } codes[] = {{foCopy, 2}, {foDelete, 3}, {foMove, 1}, {foRename, 4}};
  for (const auto& c : codes) EXPECT_EQ(TFileOperation::ShellFunction(c.kind), c.code);
  const struct {
    TFileOpFlag flag;
    FILEOP_FLAGS shell;
  } flags[] = {{fofAllowUndo, 0x40},       {fofConfirmMouse, 0x02},   {fofFilesOnly, 0x80},
               {fofMultiDestFiles, 0x01},  {fofNoConfirmation, 0x10}, {fofNoConfirmMkDir, 0x200},
               {fofRenameOnCollision, 0x08}, {fofSilent, 0x04},       {fofSimpleProgress, 0x100}};
  for (const auto& f : flags) EXPECT_EQ(TFileOperation::ShellFlags(TFileOpFlags{f.flag}), f.shell);
  EXPECT_EQ(TFileOperation::ShellFlags({fofAllowUndo, fofNoConfirmation, fofRenameOnCollision, fofSilent}),
            0x40 | 0x10 | 0x08 | 0x04);

  // The ";" lists end at an empty item, as a double NUL ends the shell's.
  op.SetOperation(foMove);
  op.SetFilesFrom(QStringLiteral("/a/x.bmp;/b/y.bmp"));
  op.SetFilesTo(QString());
  op.SetProgressTitle(QStringLiteral("Siirto"));
  TFileOpRequest request = op.Request();
  EXPECT_EQ(request.function, FO_MOVE);
  EXPECT_EQ(request.from, (QStringList{"/a/x.bmp", "/b/y.bmp"}));
  EXPECT_TRUE(request.to.isEmpty());
  EXPECT_EQ(request.progressTitle, QStringLiteral("Siirto"));
  EXPECT_EQ(TFileOperation::SplitList(QStringLiteral("a;;b")), QStringList{"a"});
  // Whole paths keep a ";" of a folder name.
  op.SetFromPaths({QStringLiteral("/kuvat;vanhat/x.bmp")});
  EXPECT_EQ(op.Request().from, QStringList{"/kuvat;vanhat/x.bmp"});
}

TEST(FileOperationComponent, RunsOnRealFiles) {
  QTemporaryDir dir;
  const QString folder = dir.filePath(QStringLiteral("kuvat;vanhat"));
  ASSERT_TRUE(QDir().mkpath(folder));
  Write(folder + "/kuva.bmp", "uusi");
  Write(folder + "/Kopio kuva.bmp", "vanha");
  TFileOperation op(nullptr);
  TAnsweringUi ui(TFileOpAnswer::Cancel);
  op.SetUi(&ui);
  op.SetFlags({fofAllowUndo, fofNoConfirmation, fofRenameOnCollision, fofSilent});

  // A rename onto an existing name takes the next free one.
  op.SetOperation(foRename);
  op.SetFromPaths({folder + "/kuva.bmp"});
  op.SetToPaths({folder + "/Kopio kuva.bmp"});
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(Bytes(folder + "/Kopio kuva.bmp"), QByteArray("vanha"));
  EXPECT_EQ(Bytes(folder + "/Kopio kuva (2).bmp"), QByteArray("uusi"));

  // A missing source changes nothing and fails.
  op.SetOperation(foCopy);
  op.SetFromPaths({folder + "/puuttuu.bmp"});
  op.SetToPaths({folder + "/kuva.bmp"});
  EXPECT_FALSE(op.Execute());
  EXPECT_FALSE(QFile::exists(folder + "/kuva.bmp"));
  EXPECT_FALSE(op.LastError().isEmpty());

  // A cancelled prompt: the copy over an existing file is not made.
  op.SetFlags({});
  op.SetFromPaths({folder + "/Kopio kuva.bmp"});
  op.SetToPaths({folder + "/Kopio kuva (2).bmp"});
  op.Execute();
  EXPECT_TRUE(op.OperationAborted());
  EXPECT_EQ(ui.prompts, QList<int>{static_cast<int>(TFileOpPrompt::ConfirmOverwrite)});
  EXPECT_EQ(Bytes(folder + "/Kopio kuva (2).bmp"), QByteArray("uusi"));

  // Deleting with undo puts the file in the trash.
  op.SetOperation(foDelete);
  op.SetFlags({fofAllowUndo, fofNoConfirmation, fofSilent});
  op.SetFromPaths({folder + "/Kopio kuva (2).bmp"});
  op.SetToPaths({});
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(QFile::exists(folder + "/Kopio kuva (2).bmp"));
  EXPECT_EQ(Bytes(HomeTrashFolder() + "/files/Kopio kuva (2).bmp"), QByteArray("uusi"));
  EXPECT_TRUE(QFile::exists(HomeTrashFolder() + "/info/Kopio kuva (2).bmp.trashinfo"));
}

TEST(FileOperationComponent, ActiveRunsOnceAndIsReadFromAFormAsFalse) {
  InitEditorResources();
  QTemporaryDir dir;
  Write(dir.filePath("a.bmp"), "a");
  TFileOperation op(nullptr);
  op.SetFlags({fofSilent, fofNoConfirmation});
  op.SetFromPaths({dir.filePath("a.bmp")});
  op.SetToPaths({dir.filePath("b.bmp")});
  op.SetActive(true);
  EXPECT_FALSE(op.Active());
  EXPECT_EQ(Bytes(dir.filePath("b.bmp")), QByteArray("a"));
}

}  // namespace
