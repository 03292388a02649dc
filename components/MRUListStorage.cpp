// TMRUManager: loading and saving the list as "Item_n" values of a section.

#include "components/MRUList.h"

#include "platform/registry/IniFile.h"
#include "platform/rtl/UpdateScope.h"

#include <utility>

namespace {

QString ItemIdent(int index) { return QStringLiteral("Item_%1").arg(index); }

}  // namespace

void TMRUManager::LoadFromRegIni(TRegIniFile* iniFile, const QString& section) {
  DoLoad(TIniStorage(iniFile), section);
}

void TMRUManager::SaveToRegIni(TRegIniFile* iniFile, const QString& section) {
  DoSave(TIniStorage(iniFile), section);
}

void TMRUManager::LoadFromIni(TIniFile* iniFile, const QString& section) {
  DoLoad(TIniStorage(iniFile), section);
}

void TMRUManager::SaveToIni(TIniFile* iniFile, const QString& section) {
  DoSave(TIniStorage(iniFile), section);
}

// Everything is read before the list changes, so a failing read leaves the
// list as it was. Items are added last to first in insert mode, which keeps
// the stored order and skips missing and empty items.
void TMRUManager::DoLoad(TIniStorage storage, const QString& section) {
  QList<std::pair<QString, int>> read;
  for (int n = Capacity() - 1; n >= 0; --n) {
    QString name;
    int userData = 0;
    if (OnReadItem)
      OnReadItem(this, storage, section, n, name, userData);
    else
      name = ReadIniText(storage, section, ItemIdent(n), QString());
    if (!name.isEmpty())
      read.append({name, userData});
  }
  TUpdateScope batch(*strings_);
  const TRecentMode saved = Mode();
  strings_->SetMode(rmInsert);
  try {
    strings_->Clear();
    for (const auto& [name, userData] : read)
      Add(name, userData);
  } catch (...) {
    strings_->SetMode(saved);  // before the batch ends, as on the normal way
    throw;
  }
  strings_->SetMode(saved);
  batch.Close();
}

// An INI file is rewritten once, so a crash or a failing item leaves the old
// list or the whole new one.
void TMRUManager::DoSave(TIniStorage storage, const QString& section) {
  TIniFileBatch batch(storage.IniFile());
  ClearIniSection(storage, section);
  for (int i = 0; i < strings_->Count(); ++i) {
    if (OnWriteItem)
      OnWriteItem(this, storage, section, i, strings_->Get(i), UserData(i));
    else
      WriteIniText(storage, section, ItemIdent(i), strings_->Get(i));
  }
  batch.Commit();
}
