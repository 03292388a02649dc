#pragma once
// TVersionResource: reads a file's version block (cmp_TVersion_Note.h) into a
// TVersionInfo, and decides by the overwrite rules whether an installed file
// replaces an existing one.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/classes/Persistent.h"
#include "platform/rtl/DateTime.h"

#include <QString>

#include <array>
#include <cstdint>

enum TOverwriteType { owAlways, owNever, owVersion, owDate, owVersionDate };

// The overwrite decision, one byte.
using TOverwriteDecision = std::uint8_t;
inline constexpr TOverwriteDecision odError = 0;    // the files could not be compared
inline constexpr TOverwriteDecision odSame = 1;
inline constexpr TOverwriteDecision odReplace = 2;  // newer, or the mode says so
inline constexpr TOverwriteDecision odKeep = 3;     // keep the existing file

// The string table's language; the identifiers are in cmp_TVersion.cpp.
enum TVersionLanguage {
  lnArabic, lnBulgarian, lnCatalan, lnTraditionalChinese, lnCzech, lnDanish, lnGerman,
  lnGreek, lnUSEnglish, lnCastilianSpanish, lnFinnish, lnFrench, lnHebrew, lnHungarian,
  lnIcelandic, lnItalian, lnJapanese, lnKorean, lnDutch, lnNorwegianBokmal, lnPolish,
  lnBrazilianPortuguese, lnRhaetoRomanic, lnRomanian, lnRussian, lnCroatoSerbian, lnSlovak,
  lnAlbanian, lnSwedish, lnThai, lnTurkish, lnUrdu, lnBahasa, lnSimplifiedChinese,
  lnSwissGerman, lnUKEnglish, lnMexicanSpanish, lnBelgianFrench, lnSwissItalian,
  lnBelgianDutch, lnNorwegianNynorsk, lnPortuguese, lnSerboCroatian, lnCanadianFrench,
  lnSwissFrench
};

// The string table's code page.
enum TVersionCharacterSet {
  csASCII, csJapan, csKorea, csTaiwan, csUnicode, csLatin2, csCyrillic, csMultilingual,
  csGreek, csTurkish, csHebrew, csArabic
};

// The language identifier and code page a string table is keyed by.
std::uint16_t LanguageIdOf(TVersionLanguage language);
std::uint16_t CodePageOf(TVersionCharacterSet characterSet);

// The fifteen texts of a version block; published, never stored.
class TVersionInfo : public TPersistent {
 public:
  enum Field {
    viComment, viCompanyName, viFileDescription, viFileVersion, viInternalName,
    viLegalCopyright, viLegalTradeMarks, viOriginalFileName, viPrivateBuild, viProductName,
    viProductVersion, viSpecialBuild, viFileOS, viFileType, viFileSubType, viFieldCount
  };

  QString Text(Field field) const { return texts_[field]; }
  void SetText(Field field, const QString& value) { texts_[field] = value; }
  void Clear();
  void Assign(TPersistent* source) override;

  QString Comment() const { return texts_[viComment]; }
  QString CompanyName() const { return texts_[viCompanyName]; }
  QString FileDescription() const { return texts_[viFileDescription]; }
  QString FileVersion() const { return texts_[viFileVersion]; }
  QString InternalName() const { return texts_[viInternalName]; }
  QString LegalCopyright() const { return texts_[viLegalCopyright]; }
  QString LegalTradeMarks() const { return texts_[viLegalTradeMarks]; }
  QString OriginalFileName() const { return texts_[viOriginalFileName]; }
  QString PrivateBuild() const { return texts_[viPrivateBuild]; }
  QString ProductName() const { return texts_[viProductName]; }
  QString ProductVersion() const { return texts_[viProductVersion]; }
  QString SpecialBuild() const { return texts_[viSpecialBuild]; }
  QString FileOS() const { return texts_[viFileOS]; }
  QString FileType() const { return texts_[viFileType]; }
  QString FileSubType() const { return texts_[viFileSubType]; }
  void SetComment(const QString& v) { texts_[viComment] = v; }
  void SetCompanyName(const QString& v) { texts_[viCompanyName] = v; }
  void SetFileDescription(const QString& v) { texts_[viFileDescription] = v; }
  void SetFileVersion(const QString& v) { texts_[viFileVersion] = v; }
  void SetInternalName(const QString& v) { texts_[viInternalName] = v; }
  void SetLegalCopyright(const QString& v) { texts_[viLegalCopyright] = v; }
  void SetLegalTradeMarks(const QString& v) { texts_[viLegalTradeMarks] = v; }
  void SetOriginalFileName(const QString& v) { texts_[viOriginalFileName] = v; }
  void SetPrivateBuild(const QString& v) { texts_[viPrivateBuild] = v; }
  void SetProductName(const QString& v) { texts_[viProductName] = v; }
  void SetProductVersion(const QString& v) { texts_[viProductVersion] = v; }
  void SetSpecialBuild(const QString& v) { texts_[viSpecialBuild] = v; }
  void SetFileOS(const QString& v) { texts_[viFileOS] = v; }
  void SetFileType(const QString& v) { texts_[viFileType] = v; }
  void SetFileSubType(const QString& v) { texts_[viFileSubType] = v; }

  static void DeclareProperties(TClassBuilder<TVersionInfo, TPersistent>& builder);

 private:
  std::array<QString, viFieldCount> texts_;
};

class TVersionResource : public TComponent {
 public:
  // Reads the running program's own version block.
  explicit TVersionResource(TComponent* owner);
  ~TVersionResource() override;

  // Setting any of these three reads the version block again.
  QString FileName() const { return fileName_; }
  void SetFileName(const QString& value);
  TVersionLanguage Language() const { return language_; }
  void SetLanguage(TVersionLanguage value);
  TVersionCharacterSet CharacterSet() const { return characterSet_; }
  void SetCharacterSet(TVersionCharacterSet value);
  TVersionInfo* VersionInfo() const { return versionInfo_.get(); }

  // Compares two dotted version texts: 0 equal, 1 a is newer, 2 b is newer.
  static int CompareVersions(const QString& a, const QString& b);
  // The decision for installing newFile over existingFile.
  static TOverwriteDecision IsFileNewerByName(const QString& newFile, const QString& existingFile,
                                              TOverwriteType mode);
  // The same when the new file is known by its stored version text and date.
  static TOverwriteDecision CompareStoredForOverwrite(const QString& newVersion,
                                                      const QString& existingFile,
                                                      TOverwriteType mode, TDateTime newDate);
  // FileVersion of a file, read with the process-wide reader.
  static QString FileVersionOf(const QString& fileName);

  static void DeclareProperties(TClassBuilder<TVersionResource, TComponent>& builder);

 private:
  void ReadResource();
  bool FileNameStored() const;

  QString fileName_;
  TVersionLanguage language_ = lnUSEnglish;
  TVersionCharacterSet characterSet_ = csMultilingual;
  std::unique_ptr<TVersionInfo> versionInfo_;
};

// The process-wide reader the comparisons use, created on first use and
// freed by FreeVersionResource, with the application object and by
// ResetProcessState (a process-wide object).
TVersionResource& GlobalVersionResource();
void FreeVersionResource();
