#pragma once
// The uninstall log's numbered lists, all under HKEY_LOCAL_MACHINE below the
// product's uninstall key K:
//
//   K\Files, K\Files1, ... K\Files<kMaxFileLogKeys-1>
//       "Entries"   decimal text: the number of the last record
//       "File<i>"   a file the uninstaller removes (installed files, links)
//   K\RegistryKeys
//       "Entries"   decimal text: the number of the last record
//   K\RegistryKeys\RegistryKey<i>
//       "Key"       the key path, "Root" the TRootKeys ordinal
//   K\RegistryKeys\RegistryKey<i>\Entries
//       <Ident>     the entry's value text
//
// A count is written only after its record, so a count never names a record
// that is not there. A missing count is 0; one that is not a decimal number
// in 0 .. INT_MAX-1 raises EConvertError.

#include <QString>

// The list keys tried for a file record before the last error is raised.
inline constexpr int kMaxFileLogKeys = 10;

// The count "Entries" of key (HKEY_LOCAL_MACHINE); 0 when missing.
int ReadLogEntries(const QString& key);

// Records fileName in the first of K\Files, K\Files1, ... that takes it.
// Returns the list key that took it.
QString AppendUninstallFile(const QString& uninstallKey, const QString& fileName);
