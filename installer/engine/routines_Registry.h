#pragma once
// Registry routines of the installer engine. Key paths use '\'; a key that
// begins with '\' is taken from the root. The readers and DeleteRegKeyTree
// never raise; the writers raise EIRCannotWriteValue.

#include "platform/registry/RegistryApi.h"

#include <QString>

class Exception;

class TRegistry;

enum TRootKeys { hkClassesRoot, hkCurrentConfig, hkCurrentUser, hkDynData, hkLocalMachine, hkUsers };

// The TRootKeys value of a root key handle; def for any other handle.
TRootKeys RootKeyFromHKEY(HKEY key, TRootKeys def);
// Sets the registry object's root key; a value outside TRootKeys leaves it.
void SetRegistryRoot(TRegistry& registry, TRootKeys root);

// Opens key (creating it) and writes the value.
void WriteRegString(TRootKeys root, const QString& key, const QString& name, const QString& value);
void WriteRegInteger(TRootKeys root, const QString& key, const QString& name, int value);

// def unless key exists and holds name with a readable value.
QString ReadRegString(TRootKeys root, const QString& key, const QString& name, const QString& def);
int ReadRegInteger(TRootKeys root, const QString& key, const QString& name, int def);

// Deletes every sub-key of key, depth first, then key itself. A key naming
// the root itself (empty, or only backslashes) is left alone.
void DeleteRegKeyTree(TRootKeys root, const QString& key);

// Writes value under HKEY_LOCAL_MACHINE's RunOnce key as name, or with unique
// as the first of name, name1, name2, ... not taken yet; the key is flushed
// at once, and the restart runner's autostart entry written (platform/system
// RestartService.h), which runs it at the next login. False on any failure.
bool AddRunOnce(const QString& name, const QString& value, bool unique);

// The RunOnce key AddRunOnce writes to.
inline constexpr char kRunOnceKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// What a failed registry call says, with the cause of its result code
// ("Access is denied.") when the message lacks it.
QString RegistryFailureText(const Exception& e);
