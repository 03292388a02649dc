#include "installer/engine/cmp_TOndxCompress_Overwrite.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// The rules that read the files' versions or dates. Reading a FIFO or a
// device could block for ever, so such a file cannot be compared.
bool ReadsFiles(TOverwriteType mode) {
  return mode == owDate || mode == owVersion || mode == owVersionDate;
}

bool IsRegularFile(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

QString OcFileVersion(const QString& path) {
  return TVersionResource::FileVersionOf(path);
}

int OcCompareStored(const TFileHeaderRec& rec, const QString& existing, TOverwriteType mode) {
  if (ReadsFiles(mode) && !IsRegularFile(existing))
    return odError;
  return TVersionResource::CompareStoredForOverwrite(rec.Version, existing, mode, rec.FileDate);
}

int OcCompareFiles(const QString& source, const QString& existing, TOverwriteType mode) {
  if (ReadsFiles(mode) && (!IsRegularFile(source) || !IsRegularFile(existing)))
    return odError;
  return TVersionResource::IsFileNewerByName(source, existing, mode);
}
