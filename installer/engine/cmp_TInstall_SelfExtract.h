#pragma once
// The self-extracting setup program: writing one from the loader, the setup
// archive and the main archive, reading its trailer, and the clean-up of
// the folder the loader extracted the installation program into.
//
// The trailer layout and the folder's marker are in
// installer/loader/SelfExtract.h, which the loader program shares.

#include "installer/loader/SelfExtract.h"

#include <QString>

using TSelfExtractInfo = selfextract::TSelfExtractInfo;

// Appends setup1 and (when it exists) files1 to setupExe, a copy of the
// loader program, and the trailer after them. setupExe is replaced as a
// whole (written beside it, then renamed), so a failure leaves it as it
// was. IEInstall "Cannot create the self-extracting exe because %s could
// not be loaded onto %s" (the part, setupExe) when a part cannot be read
// or the program would pass 2 GB.
void WriteSelfExtractingProgram(const QString& setupExe, const QString& setup1,
                                const QString& files1);

// The trailer of a self-extracting program, checked before it is trusted
// (magic, parts inside the file, in order). IEInstall "Could not read the
// extraction info ..." with path otherwise.
TSelfExtractInfo ReadSelfExtractInfo(const QString& path);

// Where a restart end moves the loader's folder, so that the run at the
// next login does not depend on the cache: $XDG_DATA_HOME/qx/resume.
QString ResumeRoot();

// The folder that the loader made for the program at programPath (its
// marker names it): one below the user's cache folder, or one a restart
// end moved below ResumeRoot(); empty when the program's folder is no such
// folder (an installed or built program).
QString LoaderFolderOf(const QString& programPath);
// Removes LoaderFolderOf(programPath) with everything in it (a link goes
// itself, not what it names); true when it was the loader's folder and is
// gone. A running program may remove its own folder.
bool RemoveLoaderFolder(const QString& programPath);

// The file the user started (setup.exe, or the loader alone beside
// setup.1), as the loader's link in the program's folder names it: the
// link's path, which reads as that file; empty when the program's folder
// is not the loader's or the file is gone.
QString StartedSetupOf(const QString& programPath);

// Moves the loader's folder to a new folder below ResumeRoot(): a rename,
// or across file systems a synced copy (links copied as links) after which
// the old folder goes; its marker names the new place. The folders and
// files it makes are told to the change recorder first. Returns the new
// folder. EAtomicFileError (the path, the system's error) when the move
// cannot be made; the old folder then stays as it was.
QString MoveToResumeRoot(const QString& folder);

inline constexpr char kTextCannotCreateSelfExtract[] =
    "Cannot create the self-extracting exe because %s could not be loaded onto %s";
