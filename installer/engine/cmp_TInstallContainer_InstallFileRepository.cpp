#include "installer/engine/cmp_TInstallContainer_InstallFileRepository.h"

#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_INIFiles.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/registry/IniFile.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

namespace {

constexpr char kNilFile[] =
    "Cannot create the TObjectRepositoryEntry because the file component passed to the contructor "
    "was NIL";
constexpr char kBlankRootDir[] =
    "Could find the object repository because the HKEY_LOCAL_MACHINE\\Software\\Corvane%s | "
    "RootDir entry was blank in the registry";
constexpr char kNoRepositoryFile[] = "Could not find the Object Repository file %s";

struct TRepositoryPlace {
  const char* version;
  const char* file;
};
constexpr TRepositoryPlace kPlaces[] = {{"\\Tessera\\3.0", "TESSERA32.DRO"},
                                        {"\\Tessera\\2.0", "TESSERA32.DRO"},
                                        {"\\K++Builder\\1.0", "CKB.DRO"}};

QString WithoutExtension(const QString& name) {
  return name.left(name.size() - ExtractFileExt(name).size());
}

}  // namespace

QString GetRepositoryFile(TRepositoryKind kind) {
  const TRepositoryPlace& place = kPlaces[kind];
  const QString version = QString::fromLatin1(place.version);
  const QString file = QString::fromLatin1(place.file);
  QString path;
  const QString baseDir = ReadRegString(
      hkCurrentUser,
      QStringLiteral("\\Software\\Corvane") + version + QStringLiteral("\\repository"),
      QStringLiteral("BaseDir"), QString());
  if (!baseDir.isEmpty()) {
    path = AddBackslash(baseDir) + file;
  } else {
    const QString root =
        ReadRegString(hkLocalMachine, QStringLiteral("\\Software\\Corvane") + version,
                      QStringLiteral("RootDir"), QString());
    if (root.trimmed().isEmpty())
      throw Exception(TranslateExceptionText(QString::fromLatin1(kBlankRootDir)), {version});
    path = AddBackslash(root) + QStringLiteral("Bin") + PathDelim + file;
  }
  if (!FileExists(path))
    throw Exception(TranslateExceptionText(QString::fromLatin1(kNoRepositoryFile)), {path});
  return path;
}

void RemoveRepositorySections(const QString& fileName, const QString& upperName) {
  TStringList sections;
  ReadIniSections(fileName, &sections);
  if (sections.Count() <= 1)
    return;
  TIniFile ini(fileName);
  for (int i = 0; i < sections.Count(); ++i) {
    if (UpperCase(sections[i]).contains(upperName))
      ini.EraseSection(sections[i]);
  }
  ini.UpdateFile();
}

// ---------------------------------------------------------------------------

TCustomObjectRepositoryEntry::TCustomObjectRepositoryEntry(TRepositoryKind kind,
                                                           TCustomInstallFile* file)
    : file_(file), kind_(kind) {
  if (file == nullptr)
    throw IEObjectRepositoryEntry(QString::fromLatin1(kNilFile));
}

void TCustomObjectRepositoryEntry::Register() {
  if (!registerIt_)
    return;
  try {
    DoRegister();
  } catch (const Exception&) {
    if (raiseExceptionOnFailure_)
      throw;
  }
}

void TCustomObjectRepositoryEntry::DoRegister() {
  const QString fileName = GetRepositoryFile(kind_);
  const QString base = WithoutExtension(file_->DestName());
  if (overwriteSameFileName_)
    RemoveRepositorySections(fileName, UpperCase(base));
  TIniFile ini(fileName);
  ini.WriteString(QStringLiteral("Repository Pages"), page_, QString());
  const QString section = AddBackslash(file_->GetExpandedDestDir()) + base;
  ini.WriteString(section, QStringLiteral("Name"), entryName_);
  ini.WriteString(section, QStringLiteral("Page"), page_);
  ini.WriteString(section, QStringLiteral("Type"), entryType_);
  ini.WriteString(section, QStringLiteral("Description"), description_);
  ini.WriteString(section, QStringLiteral("Author"), author_);
  if (iconFile_ != nullptr)
    ini.WriteString(section, QStringLiteral("Icon"), iconFile_->GetDestPath());
  if (ancestor_ != nullptr)
    ini.WriteString(section, QStringLiteral("Ancestor"), ancestor_->GetDestPath());
  ini.UpdateFile();
}

void TCustomObjectRepositoryEntry::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TCustomObjectRepositoryEntry*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  ancestor_ = other->ancestor_;
  author_ = other->author_;
  description_ = other->description_;
  entryName_ = other->entryName_;
  entryType_ = other->entryType_;
  iconFile_ = other->iconFile_;
  page_ = other->page_;
  registerIt_ = other->registerIt_;
  raiseExceptionOnFailure_ = other->raiseExceptionOnFailure_;
  overwriteSameFileName_ = other->overwriteSameFileName_;
}

void TCustomObjectRepositoryEntry::FileGone(TCustomInstallFile* file) {
  if (ancestor_ == file)
    ancestor_ = nullptr;
  if (iconFile_ == file)
    iconFile_ = nullptr;
}

void TCustomObjectRepositoryEntry::DeclareProperties(
    TClassBuilder<TCustomObjectRepositoryEntry, TPersistent>& b) {
  b.Property("Ancestor", &TCustomObjectRepositoryEntry::Ancestor,
             &TCustomObjectRepositoryEntry::SetAncestor);
  b.Property("Author", &TCustomObjectRepositoryEntry::Author,
             &TCustomObjectRepositoryEntry::SetAuthor);
  b.Property("Description", &TCustomObjectRepositoryEntry::Description,
             &TCustomObjectRepositoryEntry::SetDescription);
  b.Property("EntryName", &TCustomObjectRepositoryEntry::EntryName,
             &TCustomObjectRepositoryEntry::SetEntryName);
  b.Property("EntryType", &TCustomObjectRepositoryEntry::EntryType,
             &TCustomObjectRepositoryEntry::SetEntryType);
  b.Property("IconFile", &TCustomObjectRepositoryEntry::IconFile,
             &TCustomObjectRepositoryEntry::SetIconFile);
  b.Property("Page", &TCustomObjectRepositoryEntry::Page, &TCustomObjectRepositoryEntry::SetPage);
  b.Property("RegisterIt", &TCustomObjectRepositoryEntry::RegisterIt,
             &TCustomObjectRepositoryEntry::SetRegisterIt)
      .Default(false);
  b.Property("RaiseExceptionOnFailure", &TCustomObjectRepositoryEntry::RaiseExceptionOnFailure,
             &TCustomObjectRepositoryEntry::SetRaiseExceptionOnFailure)
      .Default(false);
  b.Property("OverwriteSameFileName", &TCustomObjectRepositoryEntry::OverwriteSameFileName,
             &TCustomObjectRepositoryEntry::SetOverwriteSameFileName)
      .Default(true);
}

// ---------------------------------------------------------------------------

TCustomRepository::TCustomRepository(TCustomInstallFile* file)
    : tessera2_(std::make_unique<TObjectRepositoryEntry>(rkTessera2, file)),
      tessera3_(std::make_unique<TObjectRepositoryEntry>(rkTessera3, file)),
      kBuilder_(std::make_unique<TObjectRepositoryEntry>(rkKBuilder, file)) {}

TCustomRepository::~TCustomRepository() = default;

void TCustomRepository::Register() {
  tessera2_->Register();
  tessera3_->Register();
  kBuilder_->Register();
}

void TCustomRepository::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TCustomRepository*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  tessera2_->Assign(other->tessera2_.get());
  tessera3_->Assign(other->tessera3_.get());
  kBuilder_->Assign(other->kBuilder_.get());
}

void TCustomRepository::FileGone(TCustomInstallFile* file) {
  tessera2_->FileGone(file);
  tessera3_->FileGone(file);
  kBuilder_->FileGone(file);
}

void TCustomRepository::DeclareProperties(TClassBuilder<TCustomRepository, TPersistent>& b) {
  b.Object("Tessera2", &TCustomRepository::Tessera2);
  b.Object("Tessera3", &TCustomRepository::Tessera3);
  b.Object("KBuilder", &TCustomRepository::KBuilder);
}
