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

// The folder below the user's cache folder that the loader made for the
// program at programPath (its marker names it); empty when the program's
// folder is no such folder (an installed or built program).
QString LoaderFolderOf(const QString& programPath);
// Removes LoaderFolderOf(programPath) with everything in it; true when it
// was the loader's folder and is gone. A running program may remove its
// own folder.
bool RemoveLoaderFolder(const QString& programPath);

inline constexpr char kTextCannotCreateSelfExtract[] =
    "Cannot create the self-extracting exe because %s could not be loaded onto %s";
