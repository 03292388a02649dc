#pragma once
// The shell-folder and program-files values a hive starts with. On a hive's
// first use in a process, each value is written only where it is absent, so
// values changed by the user or a setup program stay.
//
// HKCU Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders
// (REG_SZ) and ...\User Shell Folders (REG_EXPAND_SZ):
//   "Programs", "Start Menu"  $XDG_DATA_HOME/applications
//   "Desktop"                 the XDG desktop folder
//   "Startup"                 $XDG_CONFIG_HOME/autostart
// HKLM Software\Microsoft\Windows\CurrentVersion (REG_SZ):
//   "ProgramFilesDir"         ~/.local/opt (/opt for root; $QX_PROGRAM_FILES_DIR when set)
//   "CommonFilesDir"          ProgramFilesDir/Common Files

class Hive;

enum class HiveKind { CurrentUser, LocalMachine, Users, CurrentConfig };

// Writes the missing values, in one transaction. Throws SqliteError.
void SeedHive(Hive& hive, HiveKind kind);
