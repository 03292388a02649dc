#include "installer/engine/cmp_TVersion.h"

#include "ElfImage.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ProcessState.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <limits>

namespace {

const QString kStamped = QStringLiteral(QX_STAMPED_PROGRAM);

TVersionNote NoteWith(std::uint32_t fileMS, std::uint32_t fileLS) {
  TVersionNote note = elfimage::SampleNote();
  note.FileVersionMS = fileMS;
  note.FileVersionLS = fileLS;
  return note;
}

// An ELF file carrying the note, or a plain file when there is none.
QString WriteFile(const char* name, const std::optional<TVersionNote>& note, TDateTime age) {
  const QString path = qxtest::TempPath(QLatin1String(name));
  qxtest::WriteBytes(path, note ? elfimage::Build(elfimage::Note(QByteArray("QXVersion", 10), 1,
                                                                 elfimage::Descriptor(*note)),
                                                  {})
                                : QByteArray("no version here"));
  EXPECT_EQ(FileSetDate(path, age), 0);
  return path;
}

const TDateTime kDay = 45000.0;       // some day in 2023
const TDateTime kSecond = 1.0 / 86400.0;

// --- reading ---------------------------------------------------------------

TEST(VersionResource, ReadsTheStampedProgram) {
  TVersionResource reader(nullptr);
  reader.SetFileName(kStamped);
  const TVersionInfo& info = *reader.VersionInfo();
  EXPECT_EQ(info.FileVersion(), QStringLiteral("1.2.3.4"));
  EXPECT_EQ(info.ProductVersion(), QStringLiteral("5.6.7.8"));
  EXPECT_EQ(info.CompanyName(), QStringLiteral("Qx Test Company"));
  EXPECT_EQ(info.FileDescription(), QStringLiteral("Stamped test program"));
  EXPECT_EQ(info.ProductName(), QStringLiteral("Qx Stamp Test"));
  EXPECT_EQ(info.InternalName(), QStringLiteral("engine_stamped_program"));
  EXPECT_EQ(info.FileOS(), QStringLiteral("Unknown"));
  EXPECT_EQ(info.FileType(), QStringLiteral("Application"));
  EXPECT_EQ(info.FileSubType(), QString());
  EXPECT_EQ(info.Comment(), QString());
}

TEST(VersionResource, StartsWithTheRunningProgram) {
  TVersionResource reader(nullptr);
  EXPECT_EQ(reader.FileName(), QCoreApplication::applicationFilePath());
  EXPECT_EQ(reader.Language(), lnUSEnglish);
  EXPECT_EQ(reader.CharacterSet(), csMultilingual);
  EXPECT_EQ(reader.VersionInfo()->FileVersion(), QString());  // the test binary is not stamped
}

TEST(VersionResource, EverySetterReadsAgainAndClearsOldTexts) {
  TVersionResource reader(nullptr);
  reader.SetFileName(kStamped);
  ASSERT_FALSE(reader.VersionInfo()->CompanyName().isEmpty());
  reader.SetLanguage(lnFinnish);  // no Finnish table: strings go, fixed parts stay
  EXPECT_EQ(reader.VersionInfo()->CompanyName(), QString());
  EXPECT_EQ(reader.VersionInfo()->FileVersion(), QStringLiteral("1.2.3.4"));
  reader.SetLanguage(lnUSEnglish);
  EXPECT_EQ(reader.VersionInfo()->CompanyName(), QStringLiteral("Qx Test Company"));
  reader.SetCharacterSet(csUnicode);
  EXPECT_EQ(reader.VersionInfo()->CompanyName(), QString());
  reader.SetCharacterSet(csMultilingual);
  reader.SetFileName(qxtest::TempPath(QStringLiteral("missing")));
  for (int f = 0; f < TVersionInfo::viFieldCount; ++f)
    EXPECT_EQ(reader.VersionInfo()->Text(static_cast<TVersionInfo::Field>(f)), QString()) << f;
}

TEST(VersionResource, SelectsTheTableOfLanguageAndCodePage) {
  TVersionNote note = elfimage::SampleNote();
  TVersionStringTable finnish;
  finnish.Language = 0x040B;
  finnish.CodePage = 1252;
  finnish.Entries = {{QStringLiteral("CompanyName"), QStringLiteral("Qx Oy (fi)")},
                     {QStringLiteral("comments"), QStringLiteral("Huomautus")},
                     {QStringLiteral("ProductVersion"), QStringLiteral("2000 beta")},
                     {QStringLiteral("FileVersion"), QStringLiteral("9.9")}};
  note.Tables.append(finnish);
  const QString path = WriteFile("tables", note, kDay);
  TVersionResource reader(nullptr);
  reader.SetFileName(path);
  EXPECT_EQ(reader.VersionInfo()->CompanyName(), QStringLiteral("Qx Oy"));
  EXPECT_EQ(reader.VersionInfo()->ProductVersion(), QStringLiteral("5.6.7.8"));
  reader.SetLanguage(lnFinnish);
  EXPECT_EQ(reader.VersionInfo()->CompanyName(), QStringLiteral("Qx Oy (fi)"));
  EXPECT_EQ(reader.VersionInfo()->Comment(), QStringLiteral("Huomautus"));
  // The table's ProductVersion replaces the fixed one; FileVersion never does.
  EXPECT_EQ(reader.VersionInfo()->ProductVersion(), QStringLiteral("2000 beta"));
  EXPECT_EQ(reader.VersionInfo()->FileVersion(), QStringLiteral("1.2.3.4"));
  EXPECT_EQ(reader.VersionInfo()->FileOS(), QStringLiteral("Windows NT with 32 bit Windows"));
}

struct TypeCase {
  std::uint32_t os, type, subType;
  const char* osText;
  const char* typeText;
  const char* subTypeText;
};
void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.os << '/' << c.type << '/' << c.subType; }

class VersionResourceTypes : public testing::TestWithParam<TypeCase> {};

TEST_P(VersionResourceTypes, FixedFieldsBecomeTexts) {
  const TypeCase& c = GetParam();
  TVersionNote note = elfimage::SampleNote();
  note.FileOS = c.os;
  note.FileType = c.type;
  note.FileSubType = c.subType;
  TVersionResource reader(nullptr);
  reader.SetFileName(WriteFile("typed", note, kDay));
  EXPECT_EQ(reader.VersionInfo()->FileOS(), QString::fromLatin1(c.osText));
  EXPECT_EQ(reader.VersionInfo()->FileType(), QString::fromLatin1(c.typeText));
  EXPECT_EQ(reader.VersionInfo()->FileSubType(), QString::fromLatin1(c.subTypeText));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, VersionResourceTypes,
    testing::Values(TypeCase{1, 1, 5, "Windows 3.0 or later", "Application", ""},
                    TypeCase{0x10004, 2, 0, "32 bit Windows with MS-Dos", "Dynamic-Link Library", ""},
                    TypeCase{0x30003, 3, 10, "32 bit OS/2 with Presentation Manager", "Device Driver",
                             "Communications"},
                    TypeCase{0x40000, 3, 11, "Windows NT", "Device Driver", "Unknown"},
                    TypeCase{0x20002, 4, 3, "16 bit OS/2 with Presentation Manager", "Font", "TrueType"},
                    TypeCase{0x5, 4, 0, "Unknown", "Font", "Unknown"},
                    TypeCase{4, 7, 1, "32 bit Windows", "Static-Link Library", ""},
                    TypeCase{0x10000, 6, 1, "MS-Dos", "Unknown", ""}));

TEST(VersionResource, LanguageAndCodePageIdentifiers) {
  EXPECT_EQ(LanguageIdOf(lnArabic), 0x0401);
  EXPECT_EQ(LanguageIdOf(lnUSEnglish), 0x0409);
  EXPECT_EQ(LanguageIdOf(lnFinnish), 0x040B);
  EXPECT_EQ(LanguageIdOf(lnBahasa), 0x0421);
  EXPECT_EQ(LanguageIdOf(lnSimplifiedChinese), 0x0804);
  EXPECT_EQ(LanguageIdOf(lnCanadianFrench), 0x0C0C);
  EXPECT_EQ(LanguageIdOf(lnSwissFrench), 0x100C);
  EXPECT_EQ(CodePageOf(csASCII), 0);
  EXPECT_EQ(CodePageOf(csUnicode), 1200);
  EXPECT_EQ(CodePageOf(csMultilingual), 1252);
  EXPECT_EQ(CodePageOf(csArabic), 1256);
}

TEST(VersionResource, PublishedPropertiesAndWhatIsStored) {
  const TMetaClass& meta = MetaClassOf<TVersionResource>();
  TVersionResource reader(nullptr);
  const TPropInfo* fileName = meta.FindProperty(QStringLiteral("FileName"));
  ASSERT_NE(fileName, nullptr);
  ASSERT_TRUE(fileName->stored);
  EXPECT_FALSE(fileName->stored(&reader));
  reader.SetFileName(kStamped);
  EXPECT_TRUE(fileName->stored(&reader));
  const TPropInfo* language = meta.FindProperty(QStringLiteral("Language"));
  ASSERT_NE(language, nullptr);
  EXPECT_EQ(language->ordDefault, std::optional<std::int64_t>(lnUSEnglish));
  const TMetaClass& info = MetaClassOf<TVersionInfo>();
  const TPropInfo* company = info.FindProperty(QStringLiteral("CompanyName"));
  ASSERT_NE(company, nullptr);
  ASSERT_TRUE(company->stored);
  EXPECT_FALSE(company->stored(reader.VersionInfo()));
}

TEST(GlobalVersionResource, CreatedOnDemandAndFreedByReset) {
  TVersionResource& first = GlobalVersionResource();
  EXPECT_EQ(&GlobalVersionResource(), &first);
  EXPECT_EQ(TVersionResource::FileVersionOf(kStamped), QStringLiteral("1.2.3.4"));
  EXPECT_EQ(GlobalVersionResource().FileName(), kStamped);
  ResetProcessState();
  EXPECT_EQ(GlobalVersionResource().FileName(), QCoreApplication::applicationFilePath());
}

// --- comparing versions ----------------------------------------------------

struct VersionCase {
  const char* a;
  const char* b;
  int result;
};
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.a << " vs " << c.b; }

class CompareVersionsTable : public testing::TestWithParam<VersionCase> {};

TEST_P(CompareVersionsTable, ComparesFieldByField) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(TVersionResource::CompareVersions(QString::fromLatin1(c.a), QString::fromLatin1(c.b)), c.result)
      << c.a << " vs " << c.b;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CompareVersionsTable,
    testing::Values(VersionCase{"1.2", "1.10", 2}, VersionCase{"1.2a", "1.10", 1},
                    VersionCase{"1.0", "1.0.0", 2}, VersionCase{"1.0.0.0", "1.0", 1},
                    VersionCase{"", "", 0}, VersionCase{"1.2.3.4", "1.2.3.4", 0},
                    VersionCase{"2", "10", 2}, VersionCase{"10", "9", 1},
                    VersionCase{"", "1", 2}, VersionCase{"1", "", 1},
                    VersionCase{"1..5", "1", 0},   // an empty field ends the text
                    VersionCase{"1..5", "1.0", 2}, VersionCase{"1.b", "1.a", 1},
                    VersionCase{"1.a", "1.B", 1},  // byte order: 'a' > 'B'
                    VersionCase{"1.ab", "1.a", 1}, // a proper prefix is smaller
                    VersionCase{"1.$10", "1.15", 1}, VersionCase{"1.-1", "1.0", 2},
                    VersionCase{"1.99999999999", "1.2", 1}));

// --- overwrite decisions ---------------------------------------------------

struct DecisionCase {
  const char* name;
  TOverwriteType mode;
  int newVersion;       // 0: no version, else the minor number of 1.x.0.0
  int existingVersion;  // -1: no existing file
  int dateDelta;        // seconds the new file is newer than the existing
  TOverwriteDecision result;
};
void PrintTo(const DecisionCase& c, std::ostream* os) { *os << c.name; }

std::optional<TVersionNote> VersionOf(int minor) {
  if (minor <= 0)
    return std::nullopt;
  return NoteWith(0x00010000u | static_cast<std::uint32_t>(minor), 0);
}

class OverwriteDecisionTable : public testing::TestWithParam<DecisionCase> {
 protected:
  void SetUp() override {
    const DecisionCase& c = GetParam();
    newFile_ = WriteFile("new", VersionOf(c.newVersion), kDay + c.dateDelta * kSecond);
    existing_ = qxtest::TempPath(QStringLiteral("existing"));
    if (c.existingVersion >= 0)
      existing_ = WriteFile("existing", VersionOf(c.existingVersion), kDay);
  }
  QString NewVersionText() const {
    return GetParam().newVersion > 0 ? QStringLiteral("1.%1.0.0").arg(GetParam().newVersion) : QString();
  }
  QString newFile_;
  QString existing_;
};

TEST_P(OverwriteDecisionTable, ByName) {
  EXPECT_EQ(TVersionResource::IsFileNewerByName(newFile_, existing_, GetParam().mode), GetParam().result);
}

TEST_P(OverwriteDecisionTable, ByStoredVersionAndDate) {
  const DecisionCase& c = GetParam();
  EXPECT_EQ(TVersionResource::CompareStoredForOverwrite(NewVersionText(), existing_, c.mode,
                                                        kDay + c.dateDelta * kSecond),
            c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Decisions, OverwriteDecisionTable,
    testing::Values(
        DecisionCase{"always", owAlways, 1, 2, -5, odReplace},
        DecisionCase{"always_no_existing", owAlways, 1, -1, 0, odReplace},
        DecisionCase{"never_existing", owNever, 3, 1, 5, odKeep},
        DecisionCase{"never_missing", owNever, 3, -1, 5, odReplace},
        DecisionCase{"version_newer", owVersion, 3, 2, -5, odReplace},
        DecisionCase{"version_older", owVersion, 2, 3, 5, odKeep},
        DecisionCase{"version_same", owVersion, 2, 2, 5, odSame},
        DecisionCase{"version_both_unversioned", owVersion, 0, 0, 5, odSame},
        DecisionCase{"version_existing_unversioned", owVersion, 2, 0, -5, odReplace},
        DecisionCase{"version_new_unversioned", owVersion, 0, 2, 5, odKeep},
        DecisionCase{"version_existing_missing", owVersion, 2, -1, 0, odReplace},
        DecisionCase{"date_newer", owDate, 1, 9, 1, odReplace},
        DecisionCase{"date_older", owDate, 9, 1, -1, odKeep},
        DecisionCase{"date_same", owDate, 9, 1, 0, odSame},
        DecisionCase{"date_existing_missing", owDate, 1, -1, 0, odError},
        DecisionCase{"versiondate_newer_version", owVersionDate, 3, 2, -5, odReplace},
        DecisionCase{"versiondate_older_version", owVersionDate, 2, 3, 5, odKeep},
        DecisionCase{"versiondate_same_version_newer", owVersionDate, 2, 2, 5, odReplace},
        DecisionCase{"versiondate_same_version_older", owVersionDate, 2, 2, -5, odKeep},
        DecisionCase{"versiondate_same_version_same_date", owVersionDate, 2, 2, 0, odSame},
        DecisionCase{"versiondate_unversioned_missing", owVersionDate, 0, -1, 0, odError},
        DecisionCase{"versiondate_versioned_missing", owVersionDate, 1, -1, 0, odReplace},
        DecisionCase{"unknown_mode", static_cast<TOverwriteType>(5), 1, 1, 0, odError}),
    [](const testing::TestParamInfo<DecisionCase>& param) { return std::string(param.param.name); });

TEST(OverwriteDecision, NeverWithABlankExistingNameReplaces) {
  EXPECT_EQ(TVersionResource::IsFileNewerByName(kStamped, QStringLiteral("   "), owNever), odReplace);
  EXPECT_EQ(TVersionResource::CompareStoredForOverwrite(QString(), QString(), owNever, kDay), odReplace);
}

TEST(OverwriteDecision, DatesCompareAtWholeSeconds) {
  const QString existing = WriteFile("existing", std::nullopt, kDay);
  const TDateTime within = kDay + 0.4 * kSecond;
  EXPECT_EQ(TVersionResource::CompareStoredForOverwrite(QString(), existing, owDate, within), odSame);
  EXPECT_EQ(TVersionResource::CompareStoredForOverwrite(QString(), existing, owDate, kDay + kSecond), odReplace);
  EXPECT_EQ(TVersionResource::CompareStoredForOverwrite(QString(), existing, owDate, kDay - 0.4 * kSecond),
            odKeep);
}

TEST(OverwriteDecision, ByNameMissingNewFileUnderDateGivesError) {
  const QString existing = WriteFile("existing", std::nullopt, kDay);
  EXPECT_EQ(TVersionResource::IsFileNewerByName(qxtest::TempPath(QStringLiteral("gone")), existing, owDate),
            odError);
}

TEST(OverwriteDecision, UnreadableOrFolderExistingFileUnderDateGivesError) {
  EXPECT_EQ(TVersionResource::CompareStoredForOverwrite(QString(), qxtest::TempRoot(), owDate, kDay), odError);
  const QString locked = WriteFile("locked", std::nullopt, kDay);
  QFile::setPermissions(locked, QFileDevice::Permissions());
  if (QFile(locked).open(QIODevice::ReadOnly))
    GTEST_SKIP() << "running with rights that ignore file permissions";
  EXPECT_EQ(TVersionResource::CompareStoredForOverwrite(QString(), locked, owDate, kDay), odError);
  EXPECT_EQ(TVersionResource::IsFileNewerByName(locked, locked, owDate), odError);
}

TEST(OverwriteDecision, ADamagedStoredDateCannotBeCompared) {
  const QString existing = WriteFile("existing", std::nullopt, kDay);
  for (const TDateTime bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                              1.0e300, -1.0e300})
    EXPECT_EQ(TVersionResource::CompareStoredForOverwrite(QString(), existing, owDate, bad), odError) << bad;
}

}  // namespace
