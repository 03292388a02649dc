#include "platform/system/ShellLinkUrl.h"

#include "platform/system/ShellLinkEntry.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(URLShortcut, NewFileHasExactlySectionAndKey) {
  const QString file = qxtest::TempPath(QStringLiteral("menu/www.example.com.URL"));
  QDir().mkpath(QFileInfo(file).absolutePath());
  WriteURLShortcut(file, QStringLiteral("http://www.example.com/sivu?a=1&b=ä"));
  EXPECT_EQ(qxtest::ReadBytes(file),
            QByteArray("[InternetShortcut]\r\nURL=http://www.example.com/sivu?a=1&b=\xC3\xA4\r\n"));
  EXPECT_EQ(ReadURLShortcut(file), QStringLiteral("http://www.example.com/sivu?a=1&b=ä"));
  // Written through a temporary that is gone again.
  EXPECT_EQ(QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files | QDir::Hidden),
            QStringList({"www.example.com.URL"}));
}

// Writing over a file changes its URL only, as an initialisation file would.
TEST(URLShortcut, RewriteKeepsTheRestOfTheFile) {
  const QString url = QStringLiteral("ftp://ftp.example.com/");
  struct TRow {
    QByteArray old, expected;
  };
  const TRow rows[] = {
      {"[InternetShortcut]\r\nURL=http://old/\r\n", "[InternetShortcut]\r\nURL=ftp://ftp.example.com/\r\n"},
      {"[Other]\r\nA=1\r\n[internetshortcut]\r\nIconFile=x.ico\r\nurl = old\r\nB=2\r\n",
       "[Other]\r\nA=1\r\n[internetshortcut]\r\nIconFile=x.ico\r\nURL=ftp://ftp.example.com/\r\nB=2\r\n"},
      {"[InternetShortcut]\r\nIconIndex=1\r\n\r\n[Other]\r\nA=1\r\n",
       "[InternetShortcut]\r\nIconIndex=1\r\nURL=ftp://ftp.example.com/\r\n\r\n[Other]\r\nA=1\r\n"},
      {"[Other]\nA=1\n", "[Other]\nA=1\n[InternetShortcut]\r\nURL=ftp://ftp.example.com/\r\n"},
  };
  const QString file = qxtest::TempPath(QStringLiteral("x.URL"));
  for (const TRow& row : rows) {
    EXPECT_EQ(URLShortcutText(row.old, url), row.expected) << row.old.toStdString();
    qxtest::WriteBytes(file, row.old);
    WriteURLShortcut(file, url);
    EXPECT_EQ(qxtest::ReadBytes(file), row.expected);
    EXPECT_EQ(ReadURLShortcut(file), url);
  }
}

TEST(URLShortcut, LineBreakInUrlIsRefusedAndLosesNothing) {
  const QString file = qxtest::TempPath(QStringLiteral("x.URL"));
  qxtest::WriteBytes(file, "[InternetShortcut]\r\nURL=http://old/\r\n");
  for (const QString& url : {QStringLiteral("http://a/\r\n[Evil]"), QStringLiteral("http://a/\nX=1"),
                             QStringLiteral("http://a/") + QChar() + QStringLiteral("b")})
    EXPECT_THROW(WriteURLShortcut(file, url), EDesktopEntryError);
  EXPECT_EQ(qxtest::ReadBytes(file), "[InternetShortcut]\r\nURL=http://old/\r\n");
  EXPECT_EQ(ReadURLShortcut(qxtest::TempPath(QStringLiteral("missing.URL"))), std::nullopt);
  qxtest::WriteBytes(file, "[Other]\r\nURL=x\r\n");
  EXPECT_EQ(ReadURLShortcut(file), std::nullopt);
}

}  // namespace
