#include "components/AppUtils.h"

#include "platform/registry/IniFile.h"
#include "platform/registry/RegIniFile.h"

QString ReadIniText(TIniStorage storage, const QString& section, const QString& ident,
                    const QString& def) {
  if (storage.RegIniFile() != nullptr)
    return storage.RegIniFile()->ReadString(section, ident, def);
  if (storage.IniFile() != nullptr)
    return storage.IniFile()->ReadString(section, ident, def);
  return def;
}

void WriteIniText(TIniStorage storage, const QString& section, const QString& ident,
                  const QString& value) {
  if (storage.RegIniFile() != nullptr)
    storage.RegIniFile()->WriteString(section, ident, value);
  else if (storage.IniFile() != nullptr)
    storage.IniFile()->WriteString(section, ident, value);
}

int ReadIniNumber(TIniStorage storage, const QString& section, const QString& ident, int def) {
  if (storage.RegIniFile() != nullptr)
    return storage.RegIniFile()->ReadInteger(section, ident, def);
  if (storage.IniFile() != nullptr)
    return storage.IniFile()->ReadInteger(section, ident, def);
  return def;
}

void WriteIniNumber(TIniStorage storage, const QString& section, const QString& ident,
                    int value) {
  if (storage.RegIniFile() != nullptr)
    storage.RegIniFile()->WriteInteger(section, ident, value);
  else if (storage.IniFile() != nullptr)
    storage.IniFile()->WriteInteger(section, ident, value);
}

void ClearIniSection(TIniStorage storage, const QString& section) {
  if (storage.RegIniFile() != nullptr)
    storage.RegIniFile()->EraseSection(section);
  else if (storage.IniFile() != nullptr)
    storage.IniFile()->EraseSection(section);
}


TOpenIniStorage::TOpenIniStorage(bool useRegistry, const QString& name) {
  if (useRegistry)
    regIniFile_ = std::make_unique<TRegIniFile>(name);
  else
    iniFile_ = std::make_unique<TIniFile>(name);
}

TOpenIniStorage::~TOpenIniStorage() = default;

TIniStorage TOpenIniStorage::Storage() const {
  if (regIniFile_)
    return TIniStorage(regIniFile_.get());
  return TIniStorage(iniFile_.get());
}
