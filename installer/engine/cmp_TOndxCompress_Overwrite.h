#pragma once
// The compressor's use of the version reader and the overwrite rules.

#include "installer/engine/cmp_TOndxCompress_Format.h"
#include "installer/engine/cmp_TVersion.h"

#include <QString>

// The file version from the file's version block; empty when it has none.
QString OcFileVersion(const QString& path);
// Decision (0 error, 1 same, 2 replace, 3 keep) for a stored member against
// an existing file.
int OcCompareStored(const TFileHeaderRec& rec, const QString& existing, TOverwriteType mode);
// The same for two files on disk.
int OcCompareFiles(const QString& source, const QString& existing, TOverwriteType mode);
