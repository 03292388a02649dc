#pragma once
// Object-repository entries of an install file: after the file is in place
// it may enter itself in a development environment's object repository (an
// INI file found through the registry). Every install file owns one
// TRepository with three entries, all switched off unless RegisterIt is set.

#include <QString>
#include <memory>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Persistent.h"

class TCustomInstallFile;

// Which environment's repository an entry belongs to.
enum TRepositoryKind { rkTessera3 = 0, rkTessera2 = 1, rkKBuilder = 2 };

class TCustomObjectRepositoryEntry : public TPersistent {
 public:
  // A nil file raises IEObjectRepositoryEntry.
  TCustomObjectRepositoryEntry(TRepositoryKind kind, TCustomInstallFile* file);

  TCustomInstallFile* Ancestor() const { return ancestor_; }
  void SetAncestor(TCustomInstallFile* v) { ancestor_ = v; }
  QString Author() const { return author_; }
  void SetAuthor(const QString& v) { author_ = v; }
  QString Description() const { return description_; }
  void SetDescription(const QString& v) { description_ = v; }
  QString EntryName() const { return entryName_; }
  void SetEntryName(const QString& v) { entryName_ = v; }
  QString EntryType() const { return entryType_; }
  void SetEntryType(const QString& v) { entryType_ = v; }
  TCustomInstallFile* IconFile() const { return iconFile_; }
  void SetIconFile(TCustomInstallFile* v) { iconFile_ = v; }
  QString Page() const { return page_; }
  void SetPage(const QString& v) { page_ = v; }
  bool RegisterIt() const { return registerIt_; }
  void SetRegisterIt(bool v) { registerIt_ = v; }
  bool RaiseExceptionOnFailure() const { return raiseExceptionOnFailure_; }
  void SetRaiseExceptionOnFailure(bool v) { raiseExceptionOnFailure_ = v; }
  bool OverwriteSameFileName() const { return overwriteSameFileName_; }
  void SetOverwriteSameFileName(bool v) { overwriteSameFileName_ = v; }
  TRepositoryKind Kind() const { return kind_; }

  // Writes the entry into the repository file (nothing unless RegisterIt).
  virtual void Register();
  void Assign(TPersistent* source) override;
  // A referenced file that goes away is dropped.
  void FileGone(TCustomInstallFile* file);

  static void DeclareProperties(TClassBuilder<TCustomObjectRepositoryEntry, TPersistent>& b);

 private:
  void DoRegister();

  TCustomInstallFile* ancestor_ = nullptr;
  QString author_;
  QString description_;
  QString entryName_;
  QString entryType_;
  TCustomInstallFile* file_;
  TCustomInstallFile* iconFile_ = nullptr;
  QString page_;
  TRepositoryKind kind_;
  bool registerIt_ = false;
  bool raiseExceptionOnFailure_ = false;
  bool overwriteSameFileName_ = true;
};

class TObjectRepositoryEntry : public TCustomObjectRepositoryEntry {
 public:
  using TCustomObjectRepositoryEntry::TCustomObjectRepositoryEntry;
};

class TCustomRepository : public TPersistent {
 public:
  explicit TCustomRepository(TCustomInstallFile* file);
  ~TCustomRepository() override;

  TObjectRepositoryEntry* Tessera2() const { return tessera2_.get(); }
  TObjectRepositoryEntry* Tessera3() const { return tessera3_.get(); }
  TObjectRepositoryEntry* KBuilder() const { return kBuilder_.get(); }

  // Tessera2, Tessera3 and KBuilder, in that order.
  void Register();
  void Assign(TPersistent* source) override;
  void FileGone(TCustomInstallFile* file);

  static void DeclareProperties(TClassBuilder<TCustomRepository, TPersistent>& b);

 private:
  std::unique_ptr<TObjectRepositoryEntry> tessera2_;
  std::unique_ptr<TObjectRepositoryEntry> tessera3_;
  std::unique_ptr<TObjectRepositoryEntry> kBuilder_;
};

class TRepository : public TCustomRepository {
 public:
  using TCustomRepository::TCustomRepository;
};

// The repository file of an environment; raises Exception when it is not
// configured or missing.
QString GetRepositoryFile(TRepositoryKind kind);
// Erases every section whose upper-cased name contains upperName, when the
// file has more than one section.
void RemoveRepositorySections(const QString& fileName, const QString& upperName);
