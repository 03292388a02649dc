#include "installer/engine/cmp_TVersion.h"

#include "installer/engine/cmp_TVersion_Note.h"
#include "platform/rtl/ProcessState.h"

#include <QCoreApplication>
#include <QFileInfo>


namespace {

constexpr std::uint16_t kLanguageIds[] = {
    0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406, 0x0407, 0x0408, 0x0409, 0x040A, 0x040B,
    0x040C, 0x040D, 0x040E, 0x040F, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416,
    0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421,
    0x0804, 0x0807, 0x0809, 0x080A, 0x080C, 0x0810, 0x0813, 0x0814, 0x0816, 0x081A, 0x0C0C,
    0x100C};
static_assert(std::size(kLanguageIds) == lnSwissFrench + 1);

constexpr std::uint16_t kCodePages[] = {0,    932,  949,  950,  1200, 1250,
                                        1251, 1252, 1253, 1254, 1255, 1256};
static_assert(std::size(kCodePages) == csArabic + 1);

const TEnumInfo& LanguageIdents() {
  static const TEnumInfo idents{
      "lnArabic", "lnBulgarian", "lnCatalan", "lnTraditionalChinese", "lnCzech", "lnDanish",
      "lnGerman", "lnGreek", "lnUSEnglish", "lnCastilianSpanish", "lnFinnish", "lnFrench",
      "lnHebrew", "lnHungarian", "lnIcelandic", "lnItalian", "lnJapanese", "lnKorean", "lnDutch",
      "lnNorwegianBokmal", "lnPolish", "lnBrazilianPortuguese", "lnRhaetoRomanic", "lnRomanian",
      "lnRussian", "lnCroatoSerbian", "lnSlovak", "lnAlbanian", "lnSwedish", "lnThai",
      "lnTurkish", "lnUrdu", "lnBahasa", "lnSimplifiedChinese", "lnSwissGerman", "lnUKEnglish",
      "lnMexicanSpanish", "lnBelgianFrench", "lnSwissItalian", "lnBelgianDutch",
      "lnNorwegianNynorsk", "lnPortuguese", "lnSerboCroatian", "lnCanadianFrench",
      "lnSwissFrench"};
  return idents;
}

const TEnumInfo& CharacterSetIdents() {
  static const TEnumInfo idents{"csASCII",   "csJapan",        "csKorea",   "csTaiwan",
                                "csUnicode", "csLatin2",       "csCyrillic", "csMultilingual",
                                "csGreek",   "csTurkish",      "csHebrew",  "csArabic"};
  return idents;
}

// String-table entries, in record order.
struct EntryName {
  TVersionInfo::Field field;
  const char* name;
};
constexpr EntryName kEntries[] = {
    {TVersionInfo::viComment, "Comments"},
    {TVersionInfo::viCompanyName, "CompanyName"},
    {TVersionInfo::viFileDescription, "FileDescription"},
    {TVersionInfo::viInternalName, "InternalName"},
    {TVersionInfo::viLegalCopyright, "LegalCopyright"},
    {TVersionInfo::viLegalTradeMarks, "LegalTradeMarks"},
    {TVersionInfo::viOriginalFileName, "OriginalFileName"},
    {TVersionInfo::viPrivateBuild, "PrivateBuild"},
    {TVersionInfo::viProductName, "ProductName"},
    {TVersionInfo::viProductVersion, "ProductVersion"},
    {TVersionInfo::viSpecialBuild, "SpecialBuild"}};

QString Dotted(std::uint32_t ms, std::uint32_t ls) {
  return QStringLiteral("%1.%2.%3.%4").arg(ms >> 16).arg(ms & 0xFFFF).arg(ls >> 16).arg(ls & 0xFFFF);
}

QString FileOSText(std::uint32_t os) {
  switch (os) {
    case 0x1: return QStringLiteral("Windows 3.0 or later");
    case 0x2: return QStringLiteral("16 bit OS/2 Presentation Manager");
    case 0x3: return QStringLiteral("32 bit OS/2 Presentation Manager");
    case 0x4: return QStringLiteral("32 bit Windows");
    case 0x10000: return QStringLiteral("MS-Dos");
    case 0x10001: return QStringLiteral("Windows 3.0 or later with MS-Dos");
    case 0x10004: return QStringLiteral("32 bit Windows with MS-Dos");
    case 0x20000: return QStringLiteral("16 bit OS/2");
    case 0x20002: return QStringLiteral("16 bit OS/2 with Presentation Manager");
    case 0x30000: return QStringLiteral("32 bit OS/2");
    case 0x30003: return QStringLiteral("32 bit OS/2 with Presentation Manager");
    case 0x40000: return QStringLiteral("Windows NT");
    case 0x40004: return QStringLiteral("Windows NT with 32 bit Windows");
    default: return QStringLiteral("Unknown");
  }
}

QString FileTypeText(std::uint32_t type) {
  switch (type) {
    case 1: return QStringLiteral("Application");
    case 2: return QStringLiteral("Dynamic-Link Library");
    case 3: return QStringLiteral("Device Driver");
    case 4: return QStringLiteral("Font");
    case 5: return QStringLiteral("Virtual Device Driver");
    case 7: return QStringLiteral("Static-Link Library");
    default: return QStringLiteral("Unknown");
  }
}

// Only drivers and fonts have a subtype text.
QString FileSubTypeText(std::uint32_t type, std::uint32_t subType) {
  static const char* const drivers[] = {"Printer", "Keyboard", "Language", "Display",
                                        "Mouse",   "Network",  "System",   "Installable",
                                        "Sound",   "Communications"};
  static const char* const fonts[] = {"Raster", "Vector", "TrueType"};
  if (type == 3)
    return QString::fromLatin1(subType >= 1 && subType <= 10 ? drivers[subType - 1] : "Unknown");
  if (type == 4)
    return QString::fromLatin1(subType >= 1 && subType <= 3 ? fonts[subType - 1] : "Unknown");
  return QString();
}

const TVersionStringTable* FindTable(const TVersionNote& note, std::uint16_t language,
                                     std::uint16_t codePage) {
  for (const TVersionStringTable& table : note.Tables) {
    if (table.Language == language && table.CodePage == codePage)
      return &table;
  }
  return nullptr;
}

// Entry names compare without regard to case, as the platform's lookups do.
const QString* FindEntry(const TVersionStringTable& table, const char* name) {
  for (const auto& [entry, text] : table.Entries) {
    if (entry.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
      return &text;
  }
  return nullptr;
}

QString RunningProgram() {
  if (QCoreApplication::instance() != nullptr)
    return QCoreApplication::applicationFilePath();
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

}  // namespace

std::uint16_t LanguageIdOf(TVersionLanguage language) {
  return language >= lnArabic && language <= lnSwissFrench ? kLanguageIds[language] : 0;
}

std::uint16_t CodePageOf(TVersionCharacterSet characterSet) {
  return characterSet >= csASCII && characterSet <= csArabic ? kCodePages[characterSet] : 0;
}

void TVersionInfo::Clear() {
  for (QString& text : texts_)
    text.clear();
}

void TVersionInfo::Assign(TPersistent* source) {
  if (auto* info = dynamic_cast<TVersionInfo*>(source)) {
    texts_ = info->texts_;
    return;
  }
  TPersistent::Assign(source);
}

void TVersionInfo::DeclareProperties(TClassBuilder<TVersionInfo, TPersistent>& b) {
  using V = TVersionInfo;
  b.Property("Comment", &V::Comment, &V::SetComment).Stored(false);
  b.Property("CompanyName", &V::CompanyName, &V::SetCompanyName).Stored(false);
  b.Property("FileDescription", &V::FileDescription, &V::SetFileDescription).Stored(false);
  b.Property("FileVersion", &V::FileVersion, &V::SetFileVersion).Stored(false);
  b.Property("InternalName", &V::InternalName, &V::SetInternalName).Stored(false);
  b.Property("LegalCopyright", &V::LegalCopyright, &V::SetLegalCopyright).Stored(false);
  b.Property("LegalTradeMarks", &V::LegalTradeMarks, &V::SetLegalTradeMarks).Stored(false);
  b.Property("OriginalFileName", &V::OriginalFileName, &V::SetOriginalFileName).Stored(false);
  b.Property("PrivateBuild", &V::PrivateBuild, &V::SetPrivateBuild).Stored(false);
  b.Property("ProductName", &V::ProductName, &V::SetProductName).Stored(false);
  b.Property("ProductVersion", &V::ProductVersion, &V::SetProductVersion).Stored(false);
  b.Property("SpecialBuild", &V::SpecialBuild, &V::SetSpecialBuild).Stored(false);
  b.Property("FileOS", &V::FileOS, &V::SetFileOS).Stored(false);
  b.Property("FileType", &V::FileType, &V::SetFileType).Stored(false);
  b.Property("FileSubType", &V::FileSubType, &V::SetFileSubType).Stored(false);
}

TVersionResource::TVersionResource(TComponent* owner)
    : TComponent(owner), fileName_(RunningProgram()), versionInfo_(std::make_unique<TVersionInfo>()) {
  ReadResource();
}

TVersionResource::~TVersionResource() = default;

void TVersionResource::SetFileName(const QString& value) {
  fileName_ = value;
  ReadResource();
}

void TVersionResource::SetLanguage(TVersionLanguage value) {
  language_ = value;
  ReadResource();
}

void TVersionResource::SetCharacterSet(TVersionCharacterSet value) {
  characterSet_ = value;
  ReadResource();
}

bool TVersionResource::FileNameStored() const { return fileName_ != RunningProgram(); }

void TVersionResource::ReadResource() {
  TVersionInfo& info = *versionInfo_;
  info.Clear();
  const std::optional<TVersionNote> note = ReadVersionNote(fileName_);
  if (!note)
    return;
  info.SetFileVersion(Dotted(note->FileVersionMS, note->FileVersionLS));
  info.SetProductVersion(Dotted(note->ProductVersionMS, note->ProductVersionLS));
  info.SetFileOS(FileOSText(note->FileOS));
  info.SetFileType(FileTypeText(note->FileType));
  info.SetFileSubType(FileSubTypeText(note->FileType, note->FileSubType));
  const TVersionStringTable* table = FindTable(*note, LanguageIdOf(language_), CodePageOf(characterSet_));
  if (table == nullptr)
    return;
  for (const EntryName& entry : kEntries) {
    if (const QString* text = FindEntry(*table, entry.name))
      info.SetText(entry.field, *text);
  }
}

QString TVersionResource::FileVersionOf(const QString& fileName) {
  TVersionResource& reader = GlobalVersionResource();
  reader.SetFileName(fileName);
  return reader.VersionInfo()->FileVersion();
}

void TVersionResource::DeclareProperties(TClassBuilder<TVersionResource, TComponent>& b) {
  using R = TVersionResource;
  b.Property("FileName", &R::FileName, &R::SetFileName).Stored(&R::FileNameStored);
  b.Property("Language", &R::Language, &R::SetLanguage, LanguageIdents()).Default(lnUSEnglish);
  b.Property("CharacterSet", &R::CharacterSet, &R::SetCharacterSet, CharacterSetIdents())
      .Default(csMultilingual);
  b.Object("VersionInfo", &R::VersionInfo);
}

TVersionResource& GlobalVersionResource() {
  return ProcessObject<TVersionResource>([] { return std::make_unique<TVersionResource>(nullptr); });
}

void FreeVersionResource() { FreeProcessObject<TVersionResource>(); }
