#pragma once
// Storage routines that treat a registry key used as an INI file
// (TRegIniFile) and an INI file (TIniFile) alike, and the default section
// name of a component.

#include <QString>

#include <cstddef>
#include <memory>

class TComponent;
class TForm;
class TIniFile;
class TRegIniFile;

// The storage a routine works on: one of the two kinds, or none (then the
// readers give their default and the writers do nothing).
class TIniStorage {
 public:
  TIniStorage() = default;
  TIniStorage(std::nullptr_t) {}
  TIniStorage(TRegIniFile* regIniFile) : regIniFile_(regIniFile) {}
  TIniStorage(TIniFile* iniFile) : iniFile_(iniFile) {}

  TRegIniFile* RegIniFile() const { return regIniFile_; }
  TIniFile* IniFile() const { return iniFile_; }
  bool Empty() const { return regIniFile_ == nullptr && iniFile_ == nullptr; }

 private:
  TRegIniFile* regIniFile_ = nullptr;
  TIniFile* iniFile_ = nullptr;
};

QString ReadIniText(TIniStorage storage, const QString& section, const QString& ident,
                    const QString& def);
void WriteIniText(TIniStorage storage, const QString& section, const QString& ident,
                  const QString& value);
int ReadIniNumber(TIniStorage storage, const QString& section, const QString& ident, int def);
void WriteIniNumber(TIniStorage storage, const QString& section, const QString& ident,
                    int value);
// Removes the section with everything in it.
void ClearIniSection(TIniStorage storage, const QString& section);

// The section a component stores itself in: "" for nullptr; a form's class
// name; a control's name after its parent form's class name (or, without a
// parent form, after its parent's Name; without a parent, the bare name);
// "Owner.Name" with the owner form's class name for a non-visual component
// owned by a form; otherwise the bare name.
QString DefaultStorageSection(const TComponent* component);

// An open storage of either kind, owned; closed when it goes.
class TOpenIniStorage {
 public:
  // A registry key below HKEY_CURRENT_USER (useRegistry) or an INI file.
  TOpenIniStorage(bool useRegistry, const QString& name);
  ~TOpenIniStorage();
  TOpenIniStorage(const TOpenIniStorage&) = delete;
  TOpenIniStorage& operator=(const TOpenIniStorage&) = delete;

  TIniStorage Storage() const;

 private:
  std::unique_ptr<TRegIniFile> regIniFile_;
  std::unique_ptr<TIniFile> iniFile_;
};

// The program file's name without folder, with the extension ".INI".
QString DefaultIniFileName();
// "Software\" + [prefix + "\"] + the application's title (when the title
// switch is on and the title is not empty) or the program file's base name.
QString DefaultRegistryKey();
// The process-wide prefix (empty by default) and title switch (off by
// default) of DefaultRegistryKey.
QString RegistryKeyPrefix();
void SetRegistryKeyPrefix(const QString& value);
bool RegistryKeyUsesTitle();
void SetRegistryKeyUsesTitle(bool value);

// Writes "Flags", "ShowCmd", "MinMaxPos" and "NormPos" of form's window
// placement into section; the two positions also under the key followed by
// the screen size, e.g. "NormPos(800x600)".
void StoreFormPlacement(TForm* form, TIniStorage storage, const QString& section);
// Reads them back: the position and size (position) and the window state
// (state). Positions stored for the current screen size come first.
void LoadFormPlacement(TForm* form, TIniStorage storage, const QString& section, bool position,
                       bool state);
