#pragma once
// Storage routines that treat a registry key used as an INI file
// (TRegIniFile) and an INI file (TIniFile) alike, and the default section
// name of a component.

#include <QString>

#include <cstddef>

class TComponent;
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
