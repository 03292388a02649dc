#include "installer/engine/cmp_TOndxCompress_Overwrite.h"

QString OcFileVersion(const QString& path) {
  return TVersionResource::FileVersionOf(path);
}

int OcCompareStored(const TFileHeaderRec& rec, const QString& existing, TOverwriteType mode) {
  return TVersionResource::CompareStoredForOverwrite(rec.Version, existing, mode, rec.FileDate);
}

int OcCompareFiles(const QString& source, const QString& existing, TOverwriteType mode) {
  return TVersionResource::IsFileNewerByName(source, existing, mode);
}
