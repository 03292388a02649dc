// Self-registration of a real shared library and a real program.
#include "platform/system/LastError.h"
#include "platform/system/SelfRegister.h"
#include "tests/support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// The test library and program tell what they were called for through the
// marker file and answer what QX_SELFREG_RESULT says.
class SelfRegister : public testing::Test {
 protected:
  void SetUp() override {
    marker_ = qxtest::TempPath(QStringLiteral("marker"));
    qputenv("QX_SELFREG_MARKER", QFile::encodeName(marker_));
    qunsetenv("QX_SELFREG_RESULT");
  }
  void TearDown() override {
    qunsetenv("QX_SELFREG_MARKER");
    qunsetenv("QX_SELFREG_RESULT");
  }
  QByteArray Marker() const { return qxtest::ReadBytes(marker_); }

  QString marker_;
};

TEST_F(SelfRegister, ALibraryIsLoadedAndItsEntryCalled) {
  const QString library = QStringLiteral(QX_SELFREG_LIBRARY);
  const TSelfRegisterResult registered = RegisterLibraryServer(library);
  EXPECT_TRUE(registered.Succeeded()) << registered.message.toStdString();
  EXPECT_EQ(registered.result, S_OK);
  EXPECT_EQ(Marker(), QByteArray("DllRegisterServer"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));

  const TSelfRegisterResult unregistered = RegisterLibraryServer(library, true);
  EXPECT_TRUE(unregistered.Succeeded());
  EXPECT_EQ(Marker(), QByteArray("DllUnregisterServer"));

  // A failing code comes back whole, the high bit included.
  qputenv("QX_SELFREG_RESULT", "0x80004005");
  const TSelfRegisterResult failed = RegisterLibraryServer(library);
  EXPECT_EQ(failed.failure, TSelfRegisterFailure::Failed);
  EXPECT_EQ(failed.result, HRESULT(0x80004005u));
  EXPECT_TRUE(failed.message.contains(QStringLiteral("DllRegisterServer")))
      << failed.message.toStdString();
}

TEST_F(SelfRegister, LibrariesThatCannotRegisterSayWhy) {
  const QString plain = QStringLiteral(QX_PLAIN_LIBRARY);
  const QString notLibrary = qxtest::TempPath(QStringLiteral("fake.so"));
  qxtest::WriteBytes(notLibrary, "not an ELF file");
  struct TRow {
    QString path;
    TSelfRegisterFailure failure;
    DWORD lastError;
    QString says;
  };
  const TRow rows[] = {
      {plain, TSelfRegisterFailure::NoEntryPoint, ERROR_PROC_NOT_FOUND,
       QStringLiteral("does not export DllRegisterServer")},
      {notLibrary, TSelfRegisterFailure::CannotLoad, ERROR_MOD_NOT_FOUND,
       QStringLiteral("cannot be loaded")},
      {qxtest::TempPath(QStringLiteral("missing.so")), TSelfRegisterFailure::CannotLoad,
       ERROR_FILE_NOT_FOUND, QStringLiteral("does not exist")},
  };
  for (const TRow& row : rows) {
    const TSelfRegisterResult result = RegisterLibraryServer(row.path);
    EXPECT_EQ(result.failure, row.failure) << row.path.toStdString();
    EXPECT_EQ(result.lastError, row.lastError) << row.path.toStdString();
    EXPECT_EQ(GetLastError(), row.lastError);
    EXPECT_TRUE(result.message.contains(row.path) && result.message.contains(row.says))
        << result.message.toStdString();
  }
  EXPECT_TRUE(Marker().isEmpty());
}

TEST_F(SelfRegister, AProgramIsStartedWithTheSwitchAndItsExitCodeTaken) {
  const QString program = QStringLiteral(QX_REGSERVER_PROGRAM);
  const TSelfRegisterResult registered = RegisterProgramServer(program);
  EXPECT_TRUE(registered.Succeeded()) << registered.message.toStdString();
  EXPECT_EQ(Marker(), QByteArray("/REGSERVER"));

  EXPECT_TRUE(RegisterProgramServer(program, true).Succeeded());
  EXPECT_EQ(Marker(), QByteArray("/UNREGSERVER"));

  qputenv("QX_SELFREG_RESULT", "3");
  const TSelfRegisterResult failed = RegisterProgramServer(program);
  EXPECT_EQ(failed.failure, TSelfRegisterFailure::Failed);
  EXPECT_EQ(failed.result, 3);
  EXPECT_TRUE(failed.message.contains(QStringLiteral("exit code 3")))
      << failed.message.toStdString();

  const TSelfRegisterResult missing =
      RegisterProgramServer(qxtest::TempPath(QStringLiteral("missing")));
  EXPECT_EQ(missing.failure, TSelfRegisterFailure::CannotStart);
  EXPECT_EQ(missing.lastError, DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(SelfRegister, AProgramThatDoesNotEndInTimeIsStopped) {
  // A shell script that never ends unless killed.
  const QString program = qxtest::TempPath(QStringLiteral("hangs"));
  qxtest::WriteBytes(program, "#!/bin/sh\nexec sleep 600\n");
  QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
  const TSelfRegisterResult result = RegisterProgramServer(program, false, 200);
  EXPECT_EQ(result.failure, TSelfRegisterFailure::TimedOut);
  EXPECT_EQ(result.lastError, DWORD(ERROR_TIMEOUT));
}

}  // namespace
