// The log holds files and links, self-registered files (unregistered
// first), registry values; with the files go their help registrations,
// shared-library counts (a library that other programs still count on
// stays) and replacements waiting for the next login; then the menu groups
// their links leave empty, the folders they leave empty and, when no work
// waits for the next login, its runner; the log itself goes last.
#include "setup/uninstall/Uninstaller.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/routines_Registry.h"
#include "platform/controls/Dialogs.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/RestartRecords.h"
#include "platform/system/RestartService.h"
#include "platform/system/SelfRegister.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>
#include <exception>
#include <set>
#include <vector>

namespace {

const QString kFileValuePrefix = QStringLiteral("File");
const QString kUninstallString = QStringLiteral("UninstallString");
// A box lists this many paths at most; the terminal gets them all.
constexpr int kBoxPaths = 10;

// Every value name of key under root; empty when the key cannot be opened.
QStringList ValueNames(TRootKeys root, const QString& key) {
  TRegistry registry;
  SetRegistryRoot(registry, root);
  QStringList names;
  if (!registry.OpenKeyReadOnly(key)) return names;
  TStringList list;
  registry.GetValueNames(&list);
  for (int i = 0; i < list.Count(); ++i) names << list.Strings(i);
  return names;
}

// The sub-key names of key under HKEY_LOCAL_MACHINE.
QStringList KeyNames(const QString& key) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  QStringList names;
  if (!registry.OpenKeyReadOnly(key)) return names;
  TStringList list;
  registry.GetKeyNames(&list);
  for (int i = 0; i < list.Count(); ++i) names << list.Strings(i);
  return names;
}

// "UninstallString" is the program's path (unquoted), a blank and the
// product name; empty when it is not.
QString ProgramOf(const QString& command, const QString& product) {
  const QString tail = QStringLiteral(" ") + product;
  return command.endsWith(tail) ? command.left(command.size() - tail.size()) : QString();
}

QString LogKey(const QString& product) { return QString::fromLatin1(kUninstallKeyBase) + product; }

// The "File<n>" records of a log key, whatever its count says: a run killed
// after a record but before its count still installed that file.
QStringList FileRecords(const QString& key) {
  QStringList records;
  for (const QString& name : ValueNames(hkLocalMachine, key)) {
    if (!name.startsWith(kFileValuePrefix)) continue;
    bool ok = false;
    name.mid(kFileValuePrefix.size()).toInt(&ok);
    if (ok) records << ReadRegString(hkLocalMachine, key, name, QString());
  }
  records.removeAll(QString());
  return records;
}

struct TRegistryRecord {
  TRootKeys root = hkLocalMachine;
  QString key;
  QStringList values;
};

struct TLog {
  QStringList files;
  QStringList selfRegistered;  // "path;1" (a program) or "path;0"
  QList<TRegistryRecord> registry;
  QString uninstaller;
};

TLog ReadLog(const QString& key, const QString& product) {
  TLog log;
  log.files = FileRecords(key + QStringLiteral("\\Files"));
  for (int i = 1; i < kLogFileKeys; ++i)
    log.files << FileRecords(key + QStringLiteral("\\Files") + QString::number(i));
  log.selfRegistered = FileRecords(key + QStringLiteral("\\ActiveX"));
  const QString listKey = key + QStringLiteral("\\RegistryKeys");
  for (const QString& name : KeyNames(listKey)) {
    const QString record = listKey + QStringLiteral("\\") + name;
    TRegistryRecord r;
    r.key = ReadRegString(hkLocalMachine, record, QStringLiteral("Key"), QString());
    const int root = ReadRegInteger(hkLocalMachine, record, QStringLiteral("Root"), hkLocalMachine);
    if (root >= hkClassesRoot && root <= hkUsers) r.root = static_cast<TRootKeys>(root);
    r.values = ValueNames(hkLocalMachine, record + QStringLiteral("\\Entries"));
    if (!r.key.isEmpty()) log.registry << r;
  }
  log.uninstaller =
      ProgramOf(ReadRegString(hkLocalMachine, key, kUninstallString, QString()), product);
  return log;
}

// What the user reads: the terminal's English lines as they always were
// and, when the run asks in a box, their Finnish words for the last box.
class TReport {
 public:
  TReport(TAsking asking, QTextStream& out, QTextStream& err)
      : box_(asking == akBox), out_(out), err_(err) {}

  void Out(const QString& english, const QString& finnish) {
    out_ << english << Qt::endl;
    Add(finnish);
  }
  void Err(const QString& english, const QString& finnish) {
    err_ << english << Qt::endl;
    failed_ = true;
    Add(finnish);
  }
  void SetCaption(const QString& caption) { caption_ = caption; }
  // The box of the outcome, headline first.
  void Show(const QString& headline) {
    if (!box_) return;
    QStringList lines = lines_;
    if (hidden_ > 0) lines << QStringLiteral("... ja %1 muuta").arg(hidden_);
    if (!headline.isEmpty()) lines.prepend(headline);
    if (lines.isEmpty()) return;
    MessageBox(lines.join(QLatin1Char('\n')), caption_,
               MB_OK | (failed_ ? MB_ICONWARNING : MB_ICONINFORMATION));
  }

 private:
  void Add(const QString& finnish) {
    if (!box_ || finnish.isEmpty()) return;
    if (lines_.size() < kBoxPaths)
      lines_ << finnish;
    else
      ++hidden_;
  }

  bool box_;
  bool failed_ = false;
  QTextStream& out_;
  QTextStream& err_;
  QString caption_ = QStringLiteral("Poisto-ohjelma");
  QStringList lines_;
  int hidden_ = 0;
};

void Unregister(const QString& record, TReport& report) {
  const int split = record.lastIndexOf(QLatin1Char(';'));
  const QString path = split < 0 ? record : record.left(split);
  const bool program = split >= 0 && record.mid(split + 1) == QStringLiteral("1");
  if (!QFileInfo::exists(path)) return;
  const TSelfRegisterResult result =
      program ? RegisterProgramServer(path, true) : RegisterLibraryServer(path, true);
  if (!result.Succeeded()) report.Err(result.message, result.message);
}

void RemoveRegistryRecord(const TRegistryRecord& record) {
  TRegistry registry;
  SetRegistryRoot(registry, record.root);
  if (!registry.OpenKey(record.key, false)) return;
  for (const QString& name : record.values) registry.DeleteValue(name);
  TRegKeyInfo info;
  const bool empty = registry.GetKeyInfo(info) && info.NumSubKeys == 0 && info.NumValues == 0;
  registry.CloseKey();
  // The key goes only when the install's values were all it held.
  if (empty) registry.DeleteKey(record.key);
}

bool ConfirmedOnTerminal(const QString& product, QTextStream& out) {
  out << "Remove " << product << " and all of its components? [y/N] " << Qt::flush;
  QTextStream in(stdin);
  const QString answer = in.readLine().trimmed().toLower();
  return answer == QStringLiteral("y") || answer == QStringLiteral("yes");
}

bool Confirmed(const QString& product, TAsking asking, QTextStream& out) {
  switch (asking) {
    case akNoQuestion: return true;
    case akTerminal: return ConfirmedOnTerminal(product, out);
    case akBox:
      // No is the default, as on the terminal.
      return MessageBox(QStringLiteral("Poistetaanko %1 ja kaikki sen osat?").arg(product), product,
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    case akNobody: return false;
  }
  return false;
}

// The product named, or the one whose uninstall command is this program;
// empty (and reported) when there is none to remove.
QString FindProduct(const TUninstallRequest& request, const QString& program, TReport& report) {
  if (!request.product.isEmpty()) {
    TRegistry probe;
    probe.SetRootKey(HKEY_LOCAL_MACHINE);
    if (probe.KeyExists(LogKey(request.product))) return request.product;
    report.Err(QStringLiteral("No uninstall information for \"%1\" was found.").arg(request.product),
               QStringLiteral("Tuotteen \"%1\" poistotietoja ei löytynyt.").arg(request.product));
    return QString();
  }
  const QStringList products = ProductsUninstalledBy(program);
  if (products.size() == 1) return products.first();
  if (products.isEmpty()) {
    report.Err(QStringLiteral("No uninstall information names this program (%1).").arg(program),
               QStringLiteral("Yksikään asennettu tuote ei käytä tätä poisto-ohjelmaa (%1).")
                   .arg(program));
  } else {
    const QString list = products.join(QStringLiteral(", "));
    report.Err(QStringLiteral("Several products name this program: %1. Name the one to remove: "
                              "uninstall [-y] <product name>").arg(list),
               QStringLiteral("Tätä poisto-ohjelmaa käyttää usea tuote: %1. Poista tuote "
                              "antamalla sen nimi: uninstall <tuotteen nimi>").arg(list));
  }
  return QString();
}

// True when other programs still count on the shared library at path: its
// count is lowered and the file stays. The last user's count goes.
bool StillShared(const QString& path) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  try {
    if (!registry.OpenKey(QString::fromLatin1(kSharedDLLsKey), false) ||
        !registry.ValueExists(path))
      return false;
    const int count = registry.ReadInteger(path);
    if (count > 1) {
      registry.WriteInteger(path, count - 1);
      return true;
    }
    registry.DeleteValue(path);
  } catch (const Exception&) {
    // A count that cannot be read or written counts nobody else.
  }
  return false;
}

// The help registration of the file at path: the value of its upper-cased
// name, when it names the file's folder.
void RemoveHelpRegistration(const QString& path) {
  const QFileInfo info(path);
  const QString name = info.fileName().toUpper();
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  try {
    if (!registry.OpenKey(QString::fromLatin1(kHelpKey), false) || !registry.ValueExists(name))
      return;
    if (QDir::cleanPath(registry.ReadString(name)) == QDir::cleanPath(info.absolutePath()))
      registry.DeleteValue(name);
  } catch (const Exception&) {
    // Somebody else's value of another type is not ours.
  }
}

// A replacement waiting for the next login would put the removed file at
// path back: it goes, with the new copy it would have moved there.
void CancelPendingReplacement(const QString& path, const std::vector<TPendingMove>& moves) {
  for (const TPendingMove& move : moves) {
    if (move.target.isEmpty() || QDir::cleanPath(move.target) != QDir::cleanPath(path)) continue;
    if (RemovePendingMove(move.id) == ERROR_SUCCESS) QFile::remove(move.source);
  }
}

// The home and the folders the desktop keeps in it stay, even when a link
// there was all they held.
bool UsersOwnFolder(const QString& folder) {
  const QString path = QDir::cleanPath(folder);
  for (const auto location : {QStandardPaths::HomeLocation, QStandardPaths::DesktopLocation,
                              QStandardPaths::DocumentsLocation}) {
    for (const QString& own : QStandardPaths::standardLocations(location))
      if (QDir::cleanPath(own) == path) return true;
  }
  return false;
}

void ReportLeft(const QString& path, TReport& report) {
  report.Out(QStringLiteral("Left in place: ") + path,
             QStringLiteral("Jätettiin paikalleen: ") + path);
}

// What is in folder besides . and ..
QStringList FolderEntries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                QDir::NoDotAndDotDot);
}

// A folder of the applications menu that lost entries: a group that holds
// nothing of anybody else's goes with its menu and directory files (and so
// does each parent group that is empty then, and each folder of the menu
// that is empty then); otherwise its menu lists what is left.
void CloseLinkGroup(const QString& folder, TReport& report) {
  try {
    QString group = folder;
    while (!LinkGroupFilesOf(group).parts.isEmpty()) {
      const QDir dir(group);
      const bool subFolders =
          !dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty();
      if (subFolders || !LinkGroupEntries(group).isEmpty()) {
        RefreshLinkGroup(group);
        return;
      }
      RemoveLinkGroup(group);
      if (dir.exists()) return;
      group = QFileInfo(group).absolutePath();
    }
  } catch (const Exception& e) {
    report.Err(e.Message(), e.Message());
    return;
  }
  // The menu's own folders, when the last group in them went (only empty
  // ones go).
  for (const QString& menuFolder : {DesktopDirectoriesFolder(), MergedMenusFolder(),
                                    QFileInfo(MergedMenusFolder()).absolutePath(),
                                    ApplicationsMenuFolder()})
    QDir().rmdir(menuFolder);
}

// Removes what the log names; false when a file could not go.
bool RemoveLogged(const TLog& log, TReport& report) {
  for (const QString& record : log.selfRegistered) Unregister(record, report);

  QStringList paths = log.files;
  for (const QString& record : log.selfRegistered)
    paths << record.left(record.lastIndexOf(QLatin1Char(';')));
  if (!log.uninstaller.isEmpty()) paths << log.uninstaller;
  // A log written by an older install may name a file twice.
  paths.removeDuplicates();
  std::set<QString> folders;
  QStringList kept;
  bool removed = true;
  std::vector<TPendingMove> moves;
  try {
    moves = PendingMoves();
  } catch (const Exception&) {
    // Unreadable: nothing is known to wait.
  }
  for (const QString& path : paths) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) continue;
    folders.insert(info.absolutePath());
    if (StillShared(path)) {
      report.Out(QStringLiteral("Kept, other programs use it: ") + path,
                 QStringLiteral("Säilytettiin, muut ohjelmat käyttävät sitä: ") + path);
      kept << path;
      continue;
    }
    if (!QFile::remove(path)) {
      report.Err(QStringLiteral("Cannot remove ") + path,
                 QStringLiteral("Ei voitu poistaa: ") + path);
      removed = false;
      continue;
    }
    RemoveHelpRegistration(path);
    CancelPendingReplacement(path, moves);
  }
  // A key below another goes first, so that the parent may be empty then.
  QList<TRegistryRecord> records = log.registry;
  std::stable_sort(records.begin(), records.end(),
                   [](const TRegistryRecord& a, const TRegistryRecord& b) {
                     return a.key.count(QLatin1Char('\\')) > b.key.count(QLatin1Char('\\'));
                   });
  for (const TRegistryRecord& record : records) RemoveRegistryRecord(record);

  // Deepest first, so a folder that held only removed folders goes too.
  std::vector<QString> order(folders.begin(), folders.end());
  std::sort(order.begin(), order.end(),
            [](const QString& a, const QString& b) { return a.size() > b.size(); });
  for (const QString& folder : order) {
    if (!LinkGroupFilesOf(folder).parts.isEmpty()) CloseLinkGroup(folder, report);
    const QStringList left = FolderEntries(folder);
    if (left.isEmpty()) {
      if (!UsersOwnFolder(folder)) QDir().rmdir(folder);
      continue;
    }
    for (const QString& name : left) {
      // What was named already: a library kept for others, a folder of the
      // log (deeper, so done before) with its own leftovers.
      const QString path = QDir(folder).filePath(name);
      if (!kept.contains(path) && std::find(order.begin(), order.end(), path) == order.end())
        ReportLeft(path, report);
    }
  }
  // The runner of the next login goes with the last install that needs it.
  for (const QString& path : RemoveIdleRestartRunner())
    report.Out(QStringLiteral("Kept for work left for the next login: ") + path,
               QStringLiteral("Säilytettiin seuraavaan kirjautumiseen jätettyä työtä varten: ") +
                   path);
  return removed;
}

int Uninstall(const TUninstallRequest& request, TAsking asking, const QString& program,
              QTextStream& out, TReport& report) {
  const QString product = FindProduct(request, program, report);
  if (product.isEmpty()) {
    report.Show(QString());
    return 1;
  }
  report.SetCaption(product);
  if (asking == akNobody) {
    report.Err(QStringLiteral("Nothing was removed: there is no terminal or display to ask on "
                              "(-y removes without asking)."), QString());
    return 1;
  }
  const QString key = LogKey(product);
  const TLog log = ReadLog(key, product);
  if (!Confirmed(product, asking, out)) {
    out << "Nothing was removed." << Qt::endl;
    return 1;
  }
  // A file that could not go keeps the log, so that a second run finishes.
  if (!RemoveLogged(log, report)) {
    report.Err(QStringLiteral("The uninstall information was kept; run the uninstaller again."),
               QStringLiteral("Poistotiedot säilytettiin; käynnistä poisto-ohjelma uudelleen."));
    report.Show(QString());
    return 1;
  }
  DeleteRegKeyTree(hkLocalMachine, key);
  out << product << " was removed." << Qt::endl;
  report.Show(QStringLiteral("%1 poistettiin.").arg(product));
  return 0;
}

}  // namespace

TUninstallRequest ParseUninstallArguments(const QStringList& arguments) {
  TUninstallRequest request;
  QStringList words;
  for (const QString& a : arguments) {
    if (a == QStringLiteral("-y") || a == QStringLiteral("--yes"))
      request.yes = true;
    else
      words << a;
  }
  request.product = words.join(QLatin1Char(' '));
  return request;
}

TAsking ChooseAsking(bool yes, bool terminal, bool display) {
  if (yes) return akNoQuestion;
  if (terminal) return akTerminal;
  return display ? akBox : akNobody;
}

QStringList ProductsUninstalledBy(const QString& program) {
  const QString self = QFileInfo(program).canonicalFilePath();
  QStringList products;
  if (self.isEmpty()) return products;
  QString base = QString::fromLatin1(kUninstallKeyBase);
  base.chop(1);
  for (const QString& name : KeyNames(base)) {
    const QString recorded =
        ProgramOf(ReadRegString(hkLocalMachine, LogKey(name), kUninstallString, QString()), name);
    if (!recorded.isEmpty() && QFileInfo(recorded).canonicalFilePath() == self) products << name;
  }
  products.sort();
  return products;
}

int RunUninstall(const TUninstallRequest& request, TAsking asking, const QString& program,
                 QTextStream& out, QTextStream& err) {
  TReport report(asking, out, err);
  try {
    return Uninstall(request, asking, program, out, report);
  } catch (const std::exception& e) {
    report.Err(QStringLiteral("uninstall: ") + QString::fromUtf8(e.what()),
               QStringLiteral("Poisto epäonnistui: ") + QString::fromUtf8(e.what()));
    report.Show(QString());
    return 1;
  }
}
