#pragma once
// Shared pieces of the archive compressor's suites: file contents, a
// compressor with its own folder, and a folder of limited capacity.

#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/StrUtils.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace octest {

// Deterministic bytes: runs of text mixed with noise, so every level
// compresses them differently.
inline QByteArray Content(int size, std::uint32_t seed = 1) {
  QByteArray out(size, '\0');
  std::uint32_t x = seed * 2654435761u + 1;
  for (int i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    const bool noise = ((i / 512) % 3) == 0;
    out[i] = noise ? static_cast<char>(x >> 24) : "abcdefgh"[(i / 7) % 8];
  }
  return out;
}

// The sum of the sizes of the files in a folder.
inline std::int64_t FolderUsage(const QString& folder) {
  std::int64_t used = 0;
  for (const QFileInfo& fi : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
    used += fi.size();
  return used;
}

// Names of the files in a folder, hidden ones included.
inline QStringList FolderFiles(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// The names of an archive's members, in order.
inline QStringList MemberNames(const QString& archive) {
  TOndxCompress reader(nullptr);
  reader.SetCompressedFile(archive);
  QStringList names;
  TlzhFileStats stats;
  for (int i = 0; i < reader.FileCount(); ++i) {
    reader.GetFileStats(i, stats);
    names << stats.FileName;
  }
  return names;
}

// Gives every folder in capacities a volume of that many bytes.
inline void LimitFolders(TOndxCompress& c, QHash<QString, std::int64_t> capacities) {
  c.FreeSpaceHook = [capacities](const QString& folder) -> std::int64_t {
    const QString key = QDir(folder).absolutePath();
    if (!capacities.contains(key))
      return -1;
    return std::max<std::int64_t>(0, capacities.value(key) - FolderUsage(key));
  };
}

class OcTest : public testing::Test {
 protected:
  void SetUp() override {
    c_ = std::make_unique<TOndxCompress>(nullptr);
    src_ = qxtest::TempPath(QStringLiteral("src"));
    out_ = qxtest::TempPath(QStringLiteral("out"));
    QDir().mkpath(src_);
    QDir().mkpath(out_);
    archive_ = qxtest::TempPath(QStringLiteral("arc/files.1"));
  }

  // Writes a source file and returns its path.
  QString Source(const QString& name, const QByteArray& bytes) {
    const QString path = src_ + QLatin1Char('/') + name;
    qxtest::WriteBytes(path, bytes);
    return path;
  }

  void AddFiles(const QStringList& paths, bool append = false) {
    for (const QString& p : paths)
      c_->FilesToProcess()->Add(p);
    c_->SetCompressedFile(archive_);
    c_->Add(append);
  }

  void ExtractTo(const QString& dir, const QStringList& names) {
    c_->SetCompressedFile(archive_);
    c_->SetExtractDirectory(dir);
    for (const QString& n : names)
      c_->FilesToProcess()->Add(n);
    c_->Extract();
  }

  std::unique_ptr<TOndxCompress> c_;
  QString src_;
  QString out_;
  QString archive_;
};

}  // namespace octest
