#include "installer/engine/cmp_TNetInstallLocation_FileList.h"

#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Codec1252.h"

#include <QFile>
#include <QtEndian>

#include <cstring>

namespace {

constexpr int kNameOffset = 12;
constexpr int kVersionOffset = 52;

void PutText(QByteArray& out, int offset, const QString& text, int max) {
  const QByteArray bytes = EncodeWin1252(text).left(max);
  std::memcpy(out.data() + offset, bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString TextAt(const QByteArray& bytes, int offset, int field) {
  QByteArray text = bytes.mid(offset, field);
  const qsizetype nul = text.indexOf('\0');
  if (nul >= 0)
    text.truncate(nul);
  return DecodeWin1252(text);
}

}  // namespace

QByteArray EncodeFileListRecord(const TFileListRecord& record) {
  QByteArray out(kFileListRecordSize, '\0');
  qToLittleEndian<std::int32_t>(record.Size, out.data());
  qToLittleEndian<double>(record.Date, out.data() + 4);
  PutText(out, kNameOffset, record.Name, kFileListMaxName);
  PutText(out, kVersionOffset, record.Version, kFileListMaxVersion);
  return out;
}

TFileListRecord DecodeFileListRecord(const QByteArray& bytes) {
  TFileListRecord record;
  record.Size = qFromLittleEndian<std::int32_t>(bytes.constData());
  record.Date = qFromLittleEndian<double>(bytes.constData() + 4);
  record.Name = TextAt(bytes, kNameOffset, 40);
  record.Version = TextAt(bytes, kVersionOffset, 20);
  return record;
}

QList<TFileListRecord> ReadRemoteFileList(const QString& path) {
  const auto fail = [&path]() -> IEInstall {
    return IEInstall(QString::fromLatin1(kTextCannotReadFileList), {path});
  };
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw fail();
  const QByteArray head = file.read(4);
  if (head.size() != 4)
    throw fail();
  const std::int64_t count = qFromLittleEndian<std::int32_t>(head.constData());
  if (count < 0 || file.size() != 4 + count * kFileListRecordSize)
    throw fail();
  QList<TFileListRecord> records;
  records.reserve(static_cast<qsizetype>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    const QByteArray bytes = file.read(kFileListRecordSize);
    if (bytes.size() != kFileListRecordSize)
      throw fail();
    records.append(DecodeFileListRecord(bytes));
  }
  return records;
}

void WriteRemoteFileList(const QString& path, const QList<TFileListRecord>& records) {
  QByteArray out(4, '\0');
  qToLittleEndian<std::int32_t>(static_cast<std::int32_t>(records.size()), out.data());
  for (const TFileListRecord& record : records)
    out += EncodeFileListRecord(record);
  WriteFileAtomically(path, out);
}
