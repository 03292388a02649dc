#pragma once
// Path specifiers: which folder (or file) a symbolic location stands for on
// this machine, for a given install object; the system folder routines; the
// path meta variables of shortcut texts.
//
// Every live specifier is in the process-wide PathSpecifierList() from the
// end of its constructor to the start of its destructor; a standard one is
// also in StandardPathSpecList(). Neither list owns its entries: the form
// that a specifier sits on does.
//
// Shell folders and the program-files folders are read from the registry
// (seeded with the XDG folders on first use); the defaults below apply when a
// value is absent or unreadable. Paths come back without a trailing
// delimiter unless a row says otherwise.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class TInstallContainer;

using TGetPathEvent = std::function<void(TComponent* component, QString& path)>;

// ---------------------------------------------------------------------------
// Specifier classes.

class TCustomPathSpecifier : public TComponent {
 public:
  explicit TCustomPathSpecifier(TComponent* owner);
  ~TCustomPathSpecifier() override;

  TGetPathEvent OnGetPath;
  // The standard specifier's component name ("psProgramFiles"); empty for
  // user specifiers.
  QString FixedName() const { return fixedName_; }

  // Raises when component may not use this specifier; the base does nothing.
  virtual void CheckComponent(TComponent* component);
  // The base gives "Unspecified".
  virtual void GetDescription(QString& text);
  // The base calls OnGetPath with an empty path and returns what it left.
  virtual void GetPath(TComponent* component, QString& path);

  // GetPath as a value.
  QString PathFor(TComponent* component);

 protected:
  void SetFixedName(const QString& name) { fixedName_ = name; }
  void BeforeDestruction() override;

 private:
  void LeaveLists();
  QString fixedName_;
  bool inLists_ = false;
};

// The designer's own specifier: its path comes from OnGetPath.
class TPathSpecifier : public TCustomPathSpecifier {
 public:
  explicit TPathSpecifier(TComponent* owner);
  QString Description() const { return description_; }
  void SetDescription(const QString& v) { description_ = v; }
  void GetDescription(QString& text) override;
  static void DeclareProperties(TClassBuilder<TPathSpecifier, TCustomPathSpecifier>& b);

 private:
  QString description_ = QStringLiteral("My cool new path specifier");
};

// Base of the standard specifiers; publishes Name and Tag only.
class TStandardPathSpecifier : public TCustomPathSpecifier {
 public:
  explicit TStandardPathSpecifier(TComponent* owner);
  ~TStandardPathSpecifier() override;

 protected:
  void BeforeDestruction() override;

 private:
  void LeaveStandardList();
  bool inStandardList_ = false;
};

#define QX_STANDARD_SPECIFIER(Class)                                    \
  class Class : public TStandardPathSpecifier {                         \
   public:                                                              \
    explicit Class(TComponent* owner);                                  \
    static const char* const kFixedName;                                \
    void GetDescription(QString& text) override;                        \
    void GetPath(TComponent* component, QString& path) override;        \
    void CheckComponent(TComponent* component) override;                \
  }

QX_STANDARD_SPECIFIER(TpsCDEDLL);
QX_STANDARD_SPECIFIER(TpsCommonFiles);
QX_STANDARD_SPECIFIER(TpsContainerArchiveFile);
QX_STANDARD_SPECIFIER(TpsContainerDestDir);
QX_STANDARD_SPECIFIER(TpsDesktopMenu);
QX_STANDARD_SPECIFIER(TpsInstallSource);
QX_STANDARD_SPECIFIER(TpsMainInstall);
QX_STANDARD_SPECIFIER(TpsProgramFiles);
QX_STANDARD_SPECIFIER(TpsProgramMenu);
QX_STANDARD_SPECIFIER(TpsStartMenu);
QX_STANDARD_SPECIFIER(TpsStartupMenu);
QX_STANDARD_SPECIFIER(TpsSystem);
QX_STANDARD_SPECIFIER(TpsMainArchiveFile);
QX_STANDARD_SPECIFIER(TpsWindow);
QX_STANDARD_SPECIFIER(TpsObjectLink);

#undef QX_STANDARD_SPECIFIER

// ---------------------------------------------------------------------------
// The two process-wide lists.

class TPathSpecifierList {
 public:
  TPathSpecifierList() = default;
  TPathSpecifierList(const TPathSpecifierList&) = delete;
  TPathSpecifierList& operator=(const TPathSpecifierList&) = delete;
  virtual ~TPathSpecifierList() = default;

  // nullptr: IEPathSpecifierList "Tried to add a nil object to the path
  // specifier list".
  void Add(TCustomPathSpecifier* specifier);
  void Remove(TCustomPathSpecifier* specifier);
  int Count() const { return static_cast<int>(items_.size()); }
  // Index out of range: EListError.
  TCustomPathSpecifier* Items(int index) const;
  bool Contains(const TCustomPathSpecifier* specifier) const;
  // The first entry of class T (or derived); IEPathSpecifier "Could not
  // find the path specifier" when none.
  template <class T>
  T* FindByClass() const {
    if (T* found = FindFirst<T>()) return found;
    RaiseNotFound();
  }
  // The same, nullptr when none.
  template <class T>
  T* FindFirst() const {
    for (TCustomPathSpecifier* s : items_)
      if (auto* typed = dynamic_cast<T*>(s)) return typed;
    return nullptr;
  }

 private:
  [[noreturn]] static void RaiseNotFound();
  QList<TCustomPathSpecifier*> items_;
};

class TStandardPathSpecList : public TPathSpecifierList {};

// Every live specifier, and every live standard specifier.
TPathSpecifierList& PathSpecifierList();
TStandardPathSpecList& StandardPathSpecList();
// The lists while they exist; nullptr otherwise (for destructors).
TPathSpecifierList* FindPathSpecifierList();
TStandardPathSpecList* FindStandardPathSpecList();

// Unless searchFirst finds one of class T (or derived) in the list of all
// specifiers, makes one owned by owner and names it by its fixed name.
// Returns the specifier found or made.
template <class T>
T* EnsureSpecifier(TComponent* owner, bool searchFirst);
// EnsureSpecifier for the fourteen standard classes, in table order;
// nothing when owner is nullptr.
void CreateStandardSpecifiers(TComponent* owner, bool searchFirst);

// The one walk of percent texts: "%%" gives "%", "%" + another character
// gives letter(that character), a "%" at the end is dropped.
QString ExpandPercentText(const QString& text, const std::function<QString(QChar)>& letter);

// The text with every "%p"/"%P" replaced by path and every "%%" by "%"; any
// other "%x" gives x, a "%" at the end is dropped.
QString ExpandPathSpecifierText(const QString& text, const QString& path);

// ---------------------------------------------------------------------------
// System folders and path meta variables.

inline constexpr char kShellFoldersKey[] =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr char kProgramFilesKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

QString ExpandStartMenuDir();
QString ExpandProgramsDir();
QString ExpandDesktopDir();
QString ExpandStartupDir();
QString ExpandProgramFilesDir();
QString ExpandCommonFilesDir();

// The mount point that holds the current directory, without a trailing
// delimiter (empty for "/"): what stands for the current directory's drive.
QString CurrentDriveDir();

// Replaces %a %b %c %d %f %i %m %p %s %w (either case) and %% in text
// for component (may be nullptr). Raises EAICannotExpandContainerDirMV /
// EAICannotExpandInstallDirMV where a variable cannot be expanded.
QString ExpandMetaVariables(const QString& text, TInstallContainer* component);

// ---------------------------------------------------------------------------

template <class T>
T* EnsureSpecifier(TComponent* owner, bool searchFirst) {
  if (searchFirst) {
    if (T* found = PathSpecifierList().FindFirst<T>()) return found;
  }
  auto made = std::make_unique<T>(owner);
  made->SetName(QString::fromLatin1(T::kFixedName));
  return made.release();  // owner frees it
}
