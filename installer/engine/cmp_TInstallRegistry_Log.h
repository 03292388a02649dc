#pragma once
// The uninstall log's registry records, under HKEY_LOCAL_MACHINE below the
// product's uninstall key K (files and links are logged by IfLogInstalledFile):
//
//   K\RegistryKeys
//       "Entries"   decimal text: the number of the last record
//   K\RegistryKeys\RegistryKey<i>
//       "Key"       the key path, "Root" the TRootKeys ordinal
//   K\RegistryKeys\RegistryKey<i>\Entries
//       <Ident>     the entry's value text
//
// A count is written only after its record, so a count never names a record
// that is not there. A key is recorded once: installing again writes its
// entries into the record that names the same key and root. A missing count is 0; one that is not a decimal number
// in 0 .. INT_MAX-1 raises EConvertError.

#include "installer/engine/routines_Registry.h"

#include <QString>

// The count "Entries" of key (HKEY_LOCAL_MACHINE); 0 when missing.
int ReadLogEntries(const QString& key);


// The number (1 .. count) of the record below listKey that names key
// (compared without case) under root; 0 when none does or a record cannot
// be read.
int FindLoggedRegistryKey(const QString& listKey, int count, const QString& key, TRootKeys root);
