#pragma once
// TRegIniFile: a registry key used like an INI file. Sections are sub-keys of
// the key named by FileName, which the constructor opens (creating it) below
// HKEY_CURRENT_USER; an empty section is the key itself. Integers and
// Booleans are written as decimal strings, as an INI file holds them; reading
// accepts such strings (decimal or 0x/$ hexadecimal) and REG_DWORD values.

#include "platform/registry/Registry.h"

class TRegIniFile : public TRegistry {
 public:
  // Opens FileName, creating it when missing.
  explicit TRegIniFile(const QString& fileName);
  TRegIniFile(const QString& fileName, REGSAM access);

  QString FileName() const { return fileName_; }

  using TRegistry::DeleteKey;
  using TRegistry::ReadBool;
  using TRegistry::ReadInteger;
  using TRegistry::ReadString;
  using TRegistry::WriteBool;
  using TRegistry::WriteInteger;
  using TRegistry::WriteString;

  QString ReadString(const QString& section, const QString& ident, const QString& def);
  void WriteString(const QString& section, const QString& ident, const QString& value);
  int ReadInteger(const QString& section, const QString& ident, int def);
  void WriteInteger(const QString& section, const QString& ident, int value);
  bool ReadBool(const QString& section, const QString& ident, bool def);
  void WriteBool(const QString& section, const QString& ident, bool value);
  // The value names of a section, in creation order.
  void ReadSection(const QString& section, TStrings* strings);
  // The sections (sub-keys), in name order.
  void ReadSections(TStrings* strings);
  // name=value lines of a section.
  void ReadSectionValues(const QString& section, TStrings* strings);
  // Deletes the section with everything below it.
  void EraseSection(const QString& section);
  void DeleteKey(const QString& section, const QString& ident);

 private:
  // Runs body with the section's key current; false when it cannot be opened.
  template <typename Body>
  bool InSection(const QString& section, bool create, Body body);

  QString fileName_;
};
