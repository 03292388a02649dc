#include "installer/engine/InstallUndo.h"

#include "installer/engine/cmp_TOndxCompress_Files.h"
#include "platform/registry/RegistryApi.h"
#include "platform/registry/RegistryChanges.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/ChangeRecorder.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ProcessState.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>

#include <zlib.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Record kinds; the numbers are stored.
enum class TKind : quint8 {
  Header = 1,       // product, process id
  Folder = 2,       // path: a folder made
  Created = 3,      // path: a file made where there was none
  Kept = 4,         // path, kept: the old contents of a file replaced or removed
  Value = 5,        // hive, key, name, hadOld, type, data
  KeysMade = 6,     // hive, keys (outermost first)
  KeysDeleted = 7,  // hive, keys with their values (outermost first)
  Commit = 8,
};

struct TRecord {
  TKind kind = TKind::Header;
  QString path;  // Folder, Created, Kept; the product of a Header
  QString kept;  // Kept
  qint32 hive = 0;
  QString key;
  QString name;
  bool hadOld = false;
  quint32 type = 0;
  QByteArray data;
  QList<TRegistryKeySnapshot> keys;  // KeysMade (paths only), KeysDeleted
};

constexpr auto kStreamVersion = QDataStream::Qt_6_0;
constexpr quint32 kMaxFrame = 64u << 20;

QDataStream& operator<<(QDataStream& out, const TRegistryKeySnapshot& key) {
  out << key.path << static_cast<qint32>(key.values.size());
  for (const HiveValue& v : key.values) out << v.name << v.type << v.data;
  return out;
}

QDataStream& operator>>(QDataStream& in, TRegistryKeySnapshot& key) {
  qint32 count = 0;
  in >> key.path >> count;
  for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
    HiveValue v;
    in >> v.name >> v.type >> v.data;
    key.values.append(v);
  }
  return in;
}

QByteArray Encode(const TRecord& r) {
  QByteArray payload;
  QDataStream out(&payload, QIODevice::WriteOnly);
  out.setVersion(kStreamVersion);
  out << static_cast<quint8>(r.kind);
  switch (r.kind) {
    case TKind::Header: out << r.path << static_cast<qint64>(::getpid()); break;
    case TKind::Folder:
    case TKind::Created: out << r.path; break;
    case TKind::Kept: out << r.path << r.kept; break;
    case TKind::Value: out << r.hive << r.key << r.name << r.hadOld << r.type << r.data; break;
    case TKind::KeysMade:
    case TKind::KeysDeleted:
      out << r.hive << static_cast<qint32>(r.keys.size());
      for (const TRegistryKeySnapshot& k : r.keys) out << k;
      break;
    case TKind::Commit: break;
  }
  QByteArray frame(8, '\0');
  const auto size = static_cast<quint32>(payload.size());
  const auto crc = static_cast<quint32>(
      ::crc32(0, reinterpret_cast<const Bytef*>(payload.constData()), static_cast<uInt>(payload.size())));
  for (int i = 0; i < 4; ++i) {
    frame[i] = static_cast<char>((size >> (8 * i)) & 0xff);
    frame[4 + i] = static_cast<char>((crc >> (8 * i)) & 0xff);
  }
  return frame + payload;
}

// The records of a journal up to its first damaged or short frame.
QList<TRecord> Decode(const QByteArray& bytes) {
  QList<TRecord> records;
  qsizetype at = 0;
  const auto u32 = [&](qsizetype pos) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<quint32>(static_cast<quint8>(bytes[pos + i])) << (8 * i);
    return v;
  };
  while (bytes.size() - at >= 8) {
    const quint32 size = u32(at);
    const quint32 crc = u32(at + 4);
    if (size > kMaxFrame || bytes.size() - at - 8 < static_cast<qsizetype>(size)) break;
    const QByteArray payload = bytes.mid(at + 8, size);
    if (static_cast<quint32>(::crc32(0, reinterpret_cast<const Bytef*>(payload.constData()),
                                     static_cast<uInt>(payload.size()))) != crc)
      break;
    at += 8 + size;
    QDataStream in(payload);
    in.setVersion(kStreamVersion);
    quint8 kind = 0;
    in >> kind;
    TRecord r;
    r.kind = static_cast<TKind>(kind);
    switch (r.kind) {
      case TKind::Header: {
        qint64 pid = 0;
        in >> r.path >> pid;
        break;
      }
      case TKind::Folder:
      case TKind::Created: in >> r.path; break;
      case TKind::Kept: in >> r.path >> r.kept; break;
      case TKind::Value: in >> r.hive >> r.key >> r.name >> r.hadOld >> r.type >> r.data; break;
      case TKind::KeysMade:
      case TKind::KeysDeleted: {
        qint32 count = 0;
        in >> r.hive >> count;
        for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
          TRegistryKeySnapshot k;
          in >> k;
          r.keys.append(k);
        }
        break;
      }
      case TKind::Commit: break;
      default: return records;  // a kind this program does not know
    }
    if (in.status() != QDataStream::Ok) break;
    records.append(r);
  }
  return records;
}

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

bool Exists(const QString& path) {
  struct stat st {};
  return ::lstat(Native(path).constData(), &st) == 0;
}

bool SameFile(const QString& a, const QString& b) {
  struct stat sa {}, sb {};
  return ::lstat(Native(a).constData(), &sa) == 0 && ::lstat(Native(b).constData(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void SyncFolderOf(const QString& path) {
  const int fd = ::open(Native(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

HKEY RootOf(qint32 hive) {
  switch (static_cast<HiveKind>(hive)) {
    case HiveKind::CurrentUser: return HKEY_CURRENT_USER;
    case HiveKind::LocalMachine: return HKEY_LOCAL_MACHINE;
    case HiveKind::Users: return HKEY_USERS;
    case HiveKind::CurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return HKEY{};
}

QString KeyText(qint32 hive, const QString& key) {
  return HiveRootName(static_cast<HiveKind>(hive)) + QLatin1Char('\\') + key;
}

// Copies path to kept whole (a temporary first, synced, then renamed), for
// a file system without hard links. False with errno set.
bool CopyAside(const QString& path, const QString& kept) {
  const QString temp = kept + QStringLiteral(".part");
  ::unlink(Native(temp).constData());
  if (!CopyFile(path, temp, true)) return false;
  const int fd = ::open(Native(temp).constData(), O_RDONLY | O_CLOEXEC);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  const int err = errno;
  if (fd >= 0) ::close(fd);
  if (!synced || ::rename(Native(temp).constData(), Native(kept).constData()) != 0) {
    const int failure = synced ? errno : err;
    ::unlink(Native(temp).constData());
    errno = failure;
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Playing a journal back.

class TPlayback {
 public:
  explicit TPlayback(TUndoReport& report) : report_(report) {}

  void Undo(const QList<TRecord>& records) {
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
      try {
        Undo(records[i]);
      } catch (const std::exception& e) {
        report_.failed << QString::fromUtf8(e.what());
      }
    }
    for (const QString& folder : touched_) OcRemoveStaleTemporaries(folder);
  }

  // After a commit: only the kept old contents go.
  static void DropKept(const QList<TRecord>& records) {
    for (const TRecord& r : records)
      if (r.kind == TKind::Kept) ::unlink(Native(r.kept).constData());
  }

 private:
  void Undo(const TRecord& r) {
    switch (r.kind) {
      case TKind::Folder: UndoFolder(r.path); break;
      case TKind::Created: UndoCreated(r.path); break;
      case TKind::Kept: UndoKept(r.path, r.kept); break;
      case TKind::Value: UndoValue(r); break;
      case TKind::KeysMade: UndoKeysMade(r); break;
      case TKind::KeysDeleted: UndoKeysDeleted(r); break;
      case TKind::Header:
      case TKind::Commit: break;
    }
  }

  void Touch(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!touched_.contains(folder)) touched_.append(folder);
    RemoveStaleTemporaries(path);
  }

  void UndoFolder(const QString& path) {
    // The folder goes when the run's files were all it held.
    OcRemoveStaleTemporaries(path);
    if (!DirectoryExists(path)) return;
    if (RemoveDir(path)) {
      ++report_.folders;
    } else if (errno != ENOTEMPTY && errno != EEXIST) {
      Failed(path, errno);
    }
  }

  void UndoCreated(const QString& path) {
    Touch(path);
    if (!Exists(path)) return;
    if (::unlink(Native(path).constData()) == 0) {
      ++report_.files;
    } else {
      Failed(path, errno);
    }
  }

  void UndoKept(const QString& path, const QString& kept) {
    Touch(path);
    if (!Exists(kept)) return;  // the change was never made
    if (SameFile(path, kept)) {
      ::unlink(Native(kept).constData());
      return;
    }
    if (::rename(Native(kept).constData(), Native(path).constData()) == 0) {
      SyncFolderOf(path);
      ++report_.files;
    } else {
      Failed(path, errno);
    }
  }

  void UndoValue(const TRecord& r) {
    HKEY key{};
    if (r.hadOld) {
      LONG rc = RegCreateKeyEx(RootOf(r.hive), r.key, KEY_ALL_ACCESS, &key, nullptr);
      if (rc == ERROR_SUCCESS) {
        rc = RegSetValueEx(key, r.name, r.type, r.data);
        RegCloseKey(key);
      }
      Counted(rc, r);
      return;
    }
    if (RegOpenKeyEx(RootOf(r.hive), r.key, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    const LONG rc = RegDeleteValue(key, r.name);
    RegCloseKey(key);
    if (rc != ERROR_FILE_NOT_FOUND) Counted(rc, r);
  }

  void UndoKeysMade(const TRecord& r) {
    // The innermost first; a key that holds anything of somebody else's stays.
    for (qsizetype i = r.keys.size() - 1; i >= 0; --i) {
      HKEY key{};
      if (RegOpenKeyEx(RootOf(r.hive), r.keys[i].path, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) continue;
      DWORD subKeys = 0;
      DWORD values = 0;
      const bool empty = RegQueryInfoKey(key, &subKeys, nullptr, &values, nullptr, nullptr) == ERROR_SUCCESS &&
                         subKeys == 0 && values == 0;
      RegCloseKey(key);
      if (!empty) return;
      const LONG rc = RegDeleteKey(RootOf(r.hive), r.keys[i].path);
      if (rc == ERROR_SUCCESS)
        ++report_.registryKeys;
      else if (rc != ERROR_FILE_NOT_FOUND)
        report_.failed << KeyText(r.hive, r.keys[i].path) + QStringLiteral(": ") + RegErrorText(rc);
    }
  }

  void UndoKeysDeleted(const TRecord& r) {
    for (const TRegistryKeySnapshot& k : r.keys) {
      HKEY key{};
      LONG rc = RegCreateKeyEx(RootOf(r.hive), k.path, KEY_ALL_ACCESS, &key, nullptr);
      if (rc != ERROR_SUCCESS) {
        report_.failed << KeyText(r.hive, k.path) + QStringLiteral(": ") + RegErrorText(rc);
        continue;
      }
      ++report_.registryKeys;
      for (const HiveValue& v : k.values) {
        rc = RegSetValueEx(key, v.name, v.type, v.data);
        if (rc == ERROR_SUCCESS) {
          ++report_.registryValues;
        } else {
          report_.failed << KeyText(r.hive, k.path) + QStringLiteral(" \"") + v.name +
                                QStringLiteral("\": ") + RegErrorText(rc);
        }
      }
      RegCloseKey(key);
    }
  }

  void Counted(LONG rc, const TRecord& r) {
    if (rc == ERROR_SUCCESS) {
      ++report_.registryValues;
      return;
    }
    report_.failed << KeyText(r.hive, r.key) + QStringLiteral(" \"") + r.name + QStringLiteral("\": ") +
                          RegErrorText(rc);
  }

  void Failed(const QString& path, int code) {
    report_.failed << path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(code));
  }

  TUndoReport& report_;
  QStringList touched_;
};

// Nothing is recorded while a journal plays back.
class TRecordersOff {
 public:
  TRecordersOff()
      : files_(SetChangeRecorder(nullptr)), registry_(SetRegistryChangeRecorder(nullptr)) {}
  ~TRecordersOff() {
    SetChangeRecorder(files_);
    SetRegistryChangeRecorder(registry_);
  }
  TRecordersOff(const TRecordersOff&) = delete;
  TRecordersOff& operator=(const TRecordersOff&) = delete;

 private:
  TChangeRecorder* files_;
  TRegistryChangeRecorder* registry_;
};

QByteArray ReadAll(int fd) {
  QByteArray bytes;
  char buffer[65536];
  off_t at = 0;
  for (;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
    if (n <= 0) break;
    bytes.append(buffer, n);
    at += n;
  }
  return bytes;
}

// ---------------------------------------------------------------------------
// The journal of the running run.

class TUndoJournal : public TChangeRecorder, public TRegistryChangeRecorder {
 public:
  TUndoJournal(const QString& product) {
    const QString folder = InstallUndoFolder();
    if (!ForceDirectories(folder)) throw EChangeRefused(errno, Refusal(folder));
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      path_ = folder + QStringLiteral("/run-%1-%2.journal")
                           .arg(::getpid())
                           .arg(QRandomGenerator::global()->bounded(0x1000000u), 6, 16, QLatin1Char('0'));
      fd_ = ::open(Native(path_).constData(), O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      Close();
      throw EChangeRefused(err, Refusal(path_));
    }
    ReadTestHooks();
    TRecord header;
    header.kind = TKind::Header;
    header.path = product;
    Write(header);
    SyncFolderOf(path_);
  }
  ~TUndoJournal() override { Close(); }
  TUndoJournal(const TUndoJournal&) = delete;
  TUndoJournal& operator=(const TUndoJournal&) = delete;

  void FoldersToMake(const QString& path) override {
    QStringList missing;
    for (QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
         !folder.isEmpty() && !Exists(folder);) {
      missing.prepend(folder);
      const QString parent = QFileInfo(folder).absolutePath();
      if (parent == folder) break;
      folder = parent;
    }
    for (const QString& folder : missing) {
      if (Seen(folder)) continue;
      TRecord r;
      r.kind = TKind::Folder;
      r.path = folder;
      Change(r);
    }
  }

  void FileToWrite(const QString& path) override { Keep(path, false); }
  void FileToRemove(const QString& path) override { Keep(path, true); }

  void ValueToChange(HiveKind hive, const QString& key, const QString& name,
                     const std::optional<HiveValue>& old) override {
    const QString id = QStringLiteral("%1\\%2\\%3").arg(static_cast<int>(hive)).arg(FoldName(key), FoldName(name));
    if (values_.contains(id)) return;
    TRecord r;
    r.kind = TKind::Value;
    r.hive = static_cast<qint32>(hive);
    r.key = key;
    r.name = name;
    r.hadOld = old.has_value();
    if (old) {
      r.type = old->type;
      r.data = old->data;
    }
    Change(r);
    values_.insert(id);
  }

  void KeysToMake(HiveKind hive, const QStringList& keys) override {
    TRecord r;
    r.kind = TKind::KeysMade;
    r.hive = static_cast<qint32>(hive);
    for (const QString& k : keys) r.keys.append({k, {}});
    Change(r);
  }

  void KeysToDelete(HiveKind hive, const QList<TRegistryKeySnapshot>& keys) override {
    TRecord r;
    r.kind = TKind::KeysDeleted;
    r.hive = static_cast<qint32>(hive);
    r.keys = keys;
    Change(r);
  }

  void Commit() {
    TRecord r;
    r.kind = TKind::Commit;
    Write(r);
    TPlayback::DropKept(Decode(ReadAll(fd_)));
    Remove();
  }

  TUndoReport Undo() {
    TUndoReport report;
    TPlayback(report).Undo(Decode(ReadAll(fd_)));
    Remove();
    return report;
  }

 private:
  static QString Refusal(const QString& path) {
    return QStringLiteral("Cannot keep the record of the installation's changes in %1").arg(path);
  }

  bool Seen(const QString& path) {
    if (paths_.contains(path)) return true;
    paths_.insert(path);
    return false;
  }

  // A file about to be written or removed: a new one is noted, an existing
  // one keeps its contents under a second name beside it.
  void Keep(const QString& given, bool removing) {
    const QString path = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    if (paths_.contains(path)) return;
    struct stat st {};
    if (::lstat(Native(path).constData(), &st) != 0) {
      if (removing) return;
      TRecord r;
      r.kind = TKind::Created;
      r.path = path;
      Change(r);
      paths_.insert(path);
      return;
    }
    if (S_ISDIR(st.st_mode)) return;  // a write over a folder fails by itself
    TRecord r;
    r.kind = TKind::Kept;
    r.path = path;
    r.kept = QFileInfo(path).absolutePath() +
             QStringLiteral("/.~qxundo%1-%2").arg(::getpid()).arg(++keptCount_);
    Change(r);
    ::unlink(Native(r.kept).constData());
    if (::linkat(AT_FDCWD, Native(path).constData(), AT_FDCWD, Native(r.kept).constData(), 0) != 0 &&
        !(S_ISREG(st.st_mode) && CopyAside(path, r.kept)))
      throw EChangeRefused(errno, QStringLiteral("Cannot keep the old contents of %1").arg(path));
    SyncFolderOf(r.kept);
    paths_.insert(path);
  }

  // One change: recorded and synced before the caller makes it.
  void Change(const TRecord& r) {
#ifdef QX_TEST_HOOKS
    ++changes_;
    const QString what = Describe(r);
    if (fail_.Hits(changes_, what)) throw EChangeRefused(failErrno_, what);
    const bool kill = kill_.Hits(changes_, what);
    if (kill && !killAfterRecord_) ::raise(SIGKILL);
    Write(r);
    if (!changeLog_.isEmpty()) {
      QFile log(changeLog_);
      if (log.open(QIODevice::Append)) log.write(what.toUtf8() + '\n');
    }
    if (kill) ::raise(SIGKILL);
#else
    Write(r);
#endif
  }

  void Write(const TRecord& r) {
    const QByteArray frame = Encode(r);
    qsizetype done = 0;
    while (done < frame.size()) {
      const ssize_t n = ::write(fd_, frame.constData() + done, static_cast<size_t>(frame.size() - done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) Refuse(n < 0 ? errno : ENOSPC, done);
      done += n;
    }
    if (::fdatasync(fd_) != 0) Refuse(errno, done);
  }

  // A record that could not be written whole is cut off again, so the
  // journal ends with its last whole record.
  [[noreturn]] void Refuse(int code, qsizetype written) {
    struct stat st {};
    if (written > 0 && ::fstat(fd_, &st) == 0) {
      if (::ftruncate(fd_, st.st_size - written) == 0) ::fdatasync(fd_);
    }
    throw EChangeRefused(code, Refusal(path_));
  }

  static QString Describe(const TRecord& r) {
    switch (r.kind) {
      case TKind::Folder: return QStringLiteral("folder ") + r.path;
      case TKind::Created: return QStringLiteral("new file ") + r.path;
      case TKind::Kept: return QStringLiteral("file ") + r.path;
      case TKind::Value: return QStringLiteral("value ") + KeyText(r.hive, r.key) + QStringLiteral(" \"") + r.name + QLatin1Char('"');
      case TKind::KeysMade: return QStringLiteral("new key ") + KeyText(r.hive, r.keys.last().path);
      case TKind::KeysDeleted: return QStringLiteral("deleted key ") + KeyText(r.hive, r.keys.first().path);
      case TKind::Header:
      case TKind::Commit: break;
    }
    return QString();
  }

  void ReadTestHooks() {
#ifdef QX_TEST_HOOKS
    QString kill = qEnvironmentVariable("QX_TEST_KILL_AT_CHANGE");
    killAfterRecord_ = kill.endsWith(QLatin1Char('+'));
    if (killAfterRecord_) kill.chop(1);
    kill_ = TTestPoint(kill);
    const QString fail = qEnvironmentVariable("QX_TEST_FAIL_AT_CHANGE");
    const qsizetype colon = fail.lastIndexOf(QLatin1Char(':'));
    if (colon > 0) {
      fail_ = TTestPoint(fail.left(colon));
      failErrno_ = fail.mid(colon + 1) == QStringLiteral("EACCES") ? EACCES : ENOSPC;
    }
    changeLog_ = qEnvironmentVariable("QX_TEST_CHANGE_LOG");
#endif
  }

  // A change a test hook stops at: its number, or "~text": the first change
  // whose description holds text.
  class TTestPoint {
   public:
    TTestPoint() = default;
    explicit TTestPoint(const QString& point) {
      if (point.startsWith(QLatin1Char('~')))
        text_ = point.mid(1);
      else
        number_ = point.toInt();
    }
    bool Hits(int number, const QString& what) {
      if (done_) return false;
      done_ = text_.isEmpty() ? number_ > 0 && number == number_ : what.contains(text_);
      return done_;
    }

   private:
    int number_ = 0;
    QString text_;
    bool done_ = false;
  };

  void Remove() {
    ::unlink(Native(path_).constData());
    SyncFolderOf(path_);
    Close();
    // The folder stays only while a journal is in it.
    RemoveDir(InstallUndoFolder());
  }

  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  QString path_;
  int fd_ = -1;
  QSet<QString> paths_;
  QSet<QString> values_;
  int keptCount_ = 0;
  int changes_ = 0;
  TTestPoint kill_;
  bool killAfterRecord_ = false;
  TTestPoint fail_;
  int failErrno_ = ENOSPC;
  QString changeLog_;
};

struct TUndoState {
  std::unique_ptr<TUndoJournal> journal;
};

// The running run's journal, taken out of place (it records no more).
std::unique_ptr<TUndoJournal> TakeJournal() {
  TUndoState* state = FindProcessObject<TUndoState>();
  if (state == nullptr || !state->journal) return nullptr;
  if (CurrentChangeRecorder() == state->journal.get()) SetChangeRecorder(nullptr);
  if (CurrentRegistryChangeRecorder() == state->journal.get()) SetRegistryChangeRecorder(nullptr);
  return std::move(state->journal);
}

}  // namespace

void TUndoReport::Add(const TUndoReport& other) {
  files += other.files;
  folders += other.folders;
  registryValues += other.registryValues;
  registryKeys += other.registryKeys;
  failed += other.failed;
  earlierRun = earlierRun || other.earlierRun;
}

QString InstallUndoFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/qx/undo");
}

void BeginInstallUndo(const QString& product) {
  KeepInstallRun();
  auto journal = std::make_unique<TUndoJournal>(product);
  SetChangeRecorder(journal.get());
  SetRegistryChangeRecorder(journal.get());
  ProcessObject<TUndoState>().journal = std::move(journal);
}

bool InstallUndoRecording() {
  const TUndoState* state = FindProcessObject<TUndoState>();
  return state != nullptr && state->journal != nullptr;
}

void KeepInstallRun() noexcept {
  std::unique_ptr<TUndoJournal> journal = TakeJournal();
  if (!journal) return;
  try {
    journal->Commit();
  } catch (...) {
    // Not even the commit mark could be written: the journal stays whole,
    // and the next run plays it back.
  }
}

TUndoReport UndoInstallRun() noexcept {
  std::unique_ptr<TUndoJournal> journal = TakeJournal();
  if (!journal) return {};
  const TRecordersOff off;
  try {
    return journal->Undo();
  } catch (const std::exception& e) {
    TUndoReport report;
    report.failed << QString::fromUtf8(e.what());
    return report;
  }
}

TUndoReport UndoKilledRuns(const QString& product) noexcept {
  TUndoReport report;
  const TRecordersOff off;
  const QDir folder(InstallUndoFolder());
  for (const QString& name : folder.entryList({QStringLiteral("run-*.journal")}, QDir::Files | QDir::Hidden)) {
    const QString path = folder.filePath(name);
    const int fd = ::open(Native(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) continue;
    // A journal that its run holds is alive.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      continue;
    }
    try {
      const QList<TRecord> records = Decode(ReadAll(fd));
      const bool ours = !records.isEmpty() && records.first().kind == TKind::Header &&
                        records.first().path == product;
      // A journal cut off before its header was made by a run that changed nothing.
      if (ours || records.isEmpty()) {
        if (!records.isEmpty() && records.last().kind == TKind::Commit) {
          TPlayback::DropKept(records);
        } else if (!records.isEmpty()) {
          TUndoReport killed;
          TPlayback(killed).Undo(records);
          killed.earlierRun = true;
          report.Add(killed);
        }
        ::unlink(Native(path).constData());
        SyncFolderOf(path);
      }
    } catch (const std::exception& e) {
      report.failed << QString::fromUtf8(e.what());
    }
    ::close(fd);
  }
  RemoveDir(InstallUndoFolder());
  return report;
}
