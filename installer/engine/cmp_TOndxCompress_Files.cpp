#include "installer/engine/cmp_TOndxCompress_Files.h"

#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

#include <QFile>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void CannotCreate(const QString& path) {
  throw EOndxCompress(QString::fromLatin1(kOcCannotCreate), {path});
}

unsigned CurrentUmask() {
  const mode_t mask = ::umask(0);  // main thread only: read and restore at once
  ::umask(mask);
  return mask;
}

QString NewTempFile(const QString& dir, const QString& prefix, const QString& reportedName) {
  try {
    return CreateTempFile(dir, prefix);
  } catch (const Exception&) {
    CannotCreate(reportedName);
  }
}

}  // namespace

bool OcIsProgram(const QByteArray& head) {
  return head.startsWith("\x7f" "ELF") || head.startsWith("#!");
}

unsigned OcNewFileMode(bool program) {
  return (program ? 0777u : 0666u) & ~CurrentUmask();
}

std::optional<unsigned> OcFileMode(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0)
    return std::nullopt;
  return static_cast<unsigned>(st.st_mode & 07777);
}

TOcReplacingFile::TOcReplacingFile(const QString& target) : target_(target) {
  const QString dir = ExtractFileDir(target);
  tempName_ = NewTempFile(dir.isEmpty() ? QStringLiteral(".") : dir, QStringLiteral(".~oc"), target);
  if (!file_.Open(tempName_, TOndxFile::omReadWrite)) {
    DeleteFile(tempName_);
    CannotCreate(target);
  }
}

TOcReplacingFile::~TOcReplacingFile() {
  if (committed_)
    return;
  file_.Close();
  DeleteFile(tempName_);
}

void TOcReplacingFile::Commit(std::optional<unsigned> mode) {
  if (!mode) {
    QByteArray head(4, '\0');
    const std::int64_t n = ::pread(file_.Stream().Handle(), head.data(), 4, 0);
    head.truncate(n > 0 ? static_cast<int>(n) : 0);
    mode = OcNewFileMode(OcIsProgram(head));
  }
  if (::fchmod(file_.Stream().Handle(), *mode) != 0 || !file_.Sync())
    CannotCreate(target_);
  file_.Close();
  if (std::rename(QFile::encodeName(tempName_).constData(), QFile::encodeName(target_).constData()) != 0)
    CannotCreate(target_);
  committed_ = true;
}

TOcScratchFile::TOcScratchFile() {
  name_ = NewTempFile(GetTempDir(), QStringLiteral("ocx"), GetTempDir());
  if (!file_.Open(name_, TOndxFile::omReadWrite)) {
    DeleteFile(name_);
    CannotCreate(name_);
  }
}

TOcScratchFile::~TOcScratchFile() {
  file_.Close();
  DeleteFile(name_);  // a failure to delete is ignored
}
