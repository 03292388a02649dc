// Link names taken from a URL: one clean file name that stays in its folder.
#include "installer/engine/cmp_TInstallShellLink_Name.h"

#include "platform/rtl/FileUtils.h"
#include "platform/system/ShellLinkUrl.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

#include <ostream>

namespace {

struct NameCase {
  const char* location;
  const char* name;  // nullptr: no URL
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.location; }

class URLLinkNameTable : public testing::TestWithParam<NameCase> {};

TEST_P(URLLinkNameTable, GivesTheCleanName) {
  const std::optional<QString> name = URLLinkName(QString::fromUtf8(GetParam().location));
  if (GetParam().name == nullptr) {
    EXPECT_FALSE(name.has_value()) << name->toStdString();
    return;
  }
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(*name, QString::fromUtf8(GetParam().name));
  if (name->isEmpty()) return;
  // Whatever the URL held, the name is one entry of the folder it goes to.
  const QString folder = qxtest::TempPath(QStringLiteral("links"));
  ASSERT_TRUE(ForceDirectories(folder));
  WriteURLShortcut(folder + QLatin1Char('/') + *name, QString::fromUtf8(GetParam().location)
                                                          .remove(QLatin1Char('\n')));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{*name});
}

INSTANTIATE_TEST_SUITE_P(
    Locations, URLLinkNameTable,
    testing::Values(NameCase{"http://www.example.com", "www.example.com.URL"},
                    NameCase{"HTTP://Example.COM/Trovaly", "Example.COM-Trovaly.URL"},
                    NameCase{"ftp://ftp.example.com/pub/", "ftp.example.com-pub-.URL"},
                    NameCase{"see http://a.fi and ftp://b.fi", "a.fi and ftp--b.fi.URL"},
                    NameCase{"http://x/../../etc/passwd", "x-..-..-etc-passwd.URL"},
                    NameCase{"http://../..", "-...URL"},
                    NameCase{"http://..", ""},
                    NameCase{"http://", ""},
                    NameCase{"http:// .hidden ", "hidden.URL"},
                    NameCase{"http://a\\b:c*d?e\"f<g>h|i;j", "abcdefghij.URL"},
                    NameCase{"http://line\nbreak\ttab\x7f", "linebreaktab.URL"},
                    NameCase{"http://sää.fi/öljy", "sää.fi-öljy.URL"},
                    NameCase{"https://secure.example.com", nullptr},
                    NameCase{"/opt/qx/trovaly", nullptr},
                    NameCase{"", nullptr}));

TEST(URLLinkName, ALongAddressIsCutToOneFileName) {
  const QString host = QString(300, QChar(0x00E4));  // two bytes each in UTF-8
  const std::optional<QString> name = URLLinkName(QStringLiteral("http://") + host);
  ASSERT_TRUE(name.has_value());
  EXPECT_TRUE(name->endsWith(".URL"));
  EXPECT_LE(name->toUtf8().size(), 255);
  EXPECT_GE(name->toUtf8().size(), 254);
  const QString folder = qxtest::TempPath(QStringLiteral("long"));
  ASSERT_TRUE(ForceDirectories(folder));
  WriteURLShortcut(folder + QLatin1Char('/') + *name, QStringLiteral("http://x"));
  EXPECT_TRUE(FileExists(folder + QLatin1Char('/') + *name));
}

}  // namespace
