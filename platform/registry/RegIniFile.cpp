#include "platform/registry/RegIniFile.h"

#include "platform/registry/IniDocument.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/UpdateScope.h"

namespace {

// Puts the previous current key back and closes the section's key.
class SectionScope {
 public:
  SectionScope(HKEY section, HKEY previous, std::function<void(HKEY)> restore)
      : section_(section), previous_(previous), restore_(std::move(restore)) {}
  ~SectionScope() {
    restore_(previous_);
    RegCloseKey(section_);
  }
  SectionScope(const SectionScope&) = delete;
  SectionScope& operator=(const SectionScope&) = delete;

 private:
  HKEY section_;
  HKEY previous_;
  std::function<void(HKEY)> restore_;
};

}  // namespace

TRegIniFile::TRegIniFile(const QString& fileName) : TRegIniFile(fileName, KEY_ALL_ACCESS) {}

TRegIniFile::TRegIniFile(const QString& fileName, REGSAM access)
    : TRegistry(access), fileName_(fileName) {
  OpenKey(fileName, true);
}

template <typename Body>
bool TRegIniFile::InSection(const QString& section, bool create, Body body) {
  if (create)
    CreateKey(section);
  const HKEY key = GetKey(section);
  if (key == HKEY{})
    return false;
  SectionScope scope(key, CurrentKey(), [this](HKEY k) { SetCurrentKey(k); });
  SetCurrentKey(key);
  body();
  return true;
}

QString TRegIniFile::ReadString(const QString& section, const QString& ident, const QString& def) {
  QString result = def;
  InSection(section, false, [&] {
    if (ValueExists(ident))
      result = TRegistry::ReadString(ident);
  });
  return result;
}

void TRegIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  InSection(section, true, [&] { TRegistry::WriteString(ident, value); });
}

int TRegIniFile::ReadInteger(const QString& section, const QString& ident, int def) {
  int result = def;
  InSection(section, false, [&] {
    if (!ValueExists(ident))
      return;
    if (GetDataType(ident) == rdString)
      result = ParseIniInteger(TRegistry::ReadString(ident)).value_or(def);
    else
      result = TRegistry::ReadInteger(ident);
  });
  return result;
}

void TRegIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
  WriteString(section, ident, QString::number(value));
}

bool TRegIniFile::ReadBool(const QString& section, const QString& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
  WriteInteger(section, ident, value ? 1 : 0);
}

void TRegIniFile::ReadSection(const QString& section, TStrings* strings) {
  strings->Clear();
  InSection(section, false, [&] { GetValueNames(strings); });
}

void TRegIniFile::ReadSections(TStrings* strings) { GetKeyNames(strings); }

void TRegIniFile::ReadSectionValues(const QString& section, TStrings* strings) {
  TStringList names;
  ReadSection(section, &names);
  TUpdateScope batch(*strings);
  strings->Clear();
  for (int i = 0; i < names.Count(); ++i)
    strings->Add(names[i] + QLatin1Char('=') + ReadString(section, names[i], QString()));
  batch.Close();
}

void TRegIniFile::EraseSection(const QString& section) { TRegistry::DeleteKey(section); }

void TRegIniFile::DeleteKey(const QString& section, const QString& ident) {
  InSection(section, false, [&] { DeleteValue(ident); });
}
