// The log holds files and links, self-registered files (unregistered
// first, unless other programs still count on them), registry values; with
// the files go their help registrations, shared-library counts (a library
// that other programs still count on stays) and replacements waiting for
// the next login; then the menu groups their links leave empty, the
// folders they leave empty and, when no work waits for the next login, its
// runner; the log itself goes last. Each file's step is journaled with its
// count (UninstallLog.h), so a run after a partial or killed one never
// takes a step twice. Whatever stays is reported with its reason.
#include "setup/uninstall/Uninstaller.h"

#include "installer/engine/cmp_TInstall.h"
#include "platform/controls/Dialogs.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/RestartRecords.h"
#include "platform/system/RestartService.h"
#include "platform/system/SelfRegister.h"
#include "setup/uninstall/UninstallLog.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>
#include <exception>
#include <set>
#include <vector>

namespace {

// A box lists this many lines at most, and a kept key's line this many of
// the names it holds; the terminal gets them all.
constexpr int kBoxPaths = 10;
constexpr int kBoxNames = 5;

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

// What the user reads: the terminal's English lines and, when the run asks
// in a box, their Finnish words for the last box.
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
  // Something of the product that stays, with why.
  void Kept(const QString& english, const QString& finnish) {
    Out(english, finnish);
    kept_ = true;
  }
  bool SomethingKept() const { return kept_; }
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
  bool kept_ = false;
  QTextStream& out_;
  QTextStream& err_;
  QString caption_ = QStringLiteral("Poisto-ohjelma");
  QStringList lines_;
  int hidden_ = 0;
};

// What a kept key holds, "key A, value B", the first limit names (all
// when limit < 0).
QString HeldNames(const TKeptKey& kept, const QString& key, const QString& value,
                  const QString& defaultValue, const QString& more, int limit) {
  QStringList names;
  for (const QString& name : kept.keys) names << key + QLatin1Char(' ') + name;
  for (const QString& name : kept.values)
    names << value + QLatin1Char(' ') + (name.isEmpty() ? defaultValue : name);
  if (limit >= 0 && names.size() > limit) {
    const qsizetype rest = names.size() - limit;
    names = names.mid(0, limit);
    names << more.arg(rest);
  }
  return names.join(QStringLiteral(", "));
}

void ReportKeptKey(const TKeptKey& kept, TReport& report) {
  report.Kept(QStringLiteral("Kept, it holds what the install did not write (%1): %2")
                  .arg(HeldNames(kept, QStringLiteral("key"), QStringLiteral("value"),
                                 QStringLiteral("(default)"), QString(), -1),
                       kept.name),
              QStringLiteral("Säilytettiin, siinä on mitä asennus ei kirjoittanut (%1): %2")
                  .arg(HeldNames(kept, QStringLiteral("avain"), QStringLiteral("arvo"),
                                 QStringLiteral("(oletus)"), QStringLiteral("ja %1 muuta"),
                                 kBoxNames),
                       kept.name));
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

// One run over the log: what it names goes, what stays is reported.
class TRemoval {
 public:
  TRemoval(TUninstallLog log, const TUninstallRequest& request, TReport& report)
      : log_(std::move(log)), request_(request), report_(report) {}

  // False when something could not go: the log stays for the next run.
  bool Run() {
    UnregisterServers();
    RemoveFiles();
    RemoveUninstaller();
    RemoveKeys();
    CloseFolders();
    // The runner of the next login goes with the last install that needs it.
    for (const QString& path : RemoveIdleRestartRunner())
      report_.Kept(QStringLiteral("Kept for work left for the next login: ") + path,
                   QStringLiteral("Säilytettiin seuraavaan kirjautumiseen jätettyä työtä varten: ") +
                       path);
    Step();
    return removed_;
  }

 private:
  void Step() {
    if (request_.OnStep) request_.OnStep();
  }

  // Servers that other programs still count on stay registered.
  void UnregisterServers() {
    for (TLoggedFile& file : log_.files) {
      if (!file.selfRegistered || file.unregistered || !QFileInfo::exists(file.path) ||
          SharedCount(file.path).value_or(0) > 1)
        continue;
      const TSelfRegisterResult result = file.program ? RegisterProgramServer(file.path, true)
                                                      : RegisterLibraryServer(file.path, true);
      if (!result.Succeeded()) {
        report_.Err(result.message, result.message);
        continue;
      }
      JournalUnregistered(log_, file);
      Step();
    }
  }

  void RemoveFiles() {
    std::vector<TPendingMove> moves;
    try {
      moves = PendingMoves();
    } catch (const Exception&) {
      // Unreadable: nothing is known to wait.
    }
    for (const TLoggedFile& file : log_.files) {
      folders_.insert(QFileInfo(file.path).absolutePath());
      if (SharedCount(file.path).value_or(0) <= 1) CancelPendingReplacement(file.path, moves);
      QString why;
      const TFileStep step = RemoveLoggedFile(log_, file, [this] { Step(); }, &why);
      Step();
      if (step == TFileStep::Shared) ReportShared(file.path);
      if (step == TFileStep::NotRemoved) NotRemoved(file.path, why);
    }
    // What earlier runs did: their folders are still to close.
    for (const TJournaledFile& file : log_.done) {
      folders_.insert(QFileInfo(file.path).absolutePath());
      if (file.shared && QFileInfo::exists(file.path)) ReportShared(file.path);
    }
  }

  // The uninstaller stays while the log does, so that it can run again.
  void RemoveUninstaller() {
    const QString& path = log_.uninstaller;
    if (path.isEmpty() || std::any_of(log_.files.begin(), log_.files.end(),
                                      [&](const TLoggedFile& f) { return f.path == path; }))
      return;
    folders_.insert(QFileInfo(path).absolutePath());
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return;
    if (!removed_) {
      named_.insert(path);
      report_.Kept(QStringLiteral("Kept to finish the uninstall: ") + path,
                   QStringLiteral("Säilytettiin poiston loppuun viemiseksi: ") + path);
      return;
    }
    QFile program(path);
    if (!program.remove()) NotRemoved(path, program.errorString());
    Step();
  }

  void ReportShared(const QString& path) {
    named_.insert(path);
    report_.Kept(QStringLiteral("Kept, other programs use it: ") + path,
                 QStringLiteral("Säilytettiin, muut ohjelmat käyttävät sitä: ") + path);
  }

  void NotRemoved(const QString& path, const QString& why) {
    named_.insert(path);
    removed_ = false;
    report_.Err(QStringLiteral("Cannot remove ") + path +
                    (why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)),
                QStringLiteral("Ei voitu poistaa: ") + path);
  }

  // A key below another goes first, so that the parent may be empty then.
  void RemoveKeys() {
    QList<TLoggedKey> keys = log_.registry;
    std::stable_sort(keys.begin(), keys.end(), [](const TLoggedKey& a, const TLoggedKey& b) {
      return a.key.count(QLatin1Char('\\')) > b.key.count(QLatin1Char('\\'));
    });
    for (const TLoggedKey& key : keys) {
      if (const auto kept = RemoveLoggedKey(key)) ReportKeptKey(*kept, report_);
      Step();
    }
  }

  // Deepest first, so a folder that held only removed folders goes too.
  void CloseFolders() {
    std::vector<QString> order(folders_.begin(), folders_.end());
    std::sort(order.begin(), order.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& folder : order) {
      if (!QFileInfo(folder).isDir()) continue;
      if (!LinkGroupFilesOf(folder).parts.isEmpty()) CloseLinkGroup(folder, report_);
      // The user's own folders stay, with whatever else they hold.
      if (UsersOwnFolder(folder)) continue;
      const QStringList left = FolderEntries(folder);
      if (left.isEmpty()) {
        QDir().rmdir(folder);
        continue;
      }
      for (const QString& name : left) {
        // What was named already: a library kept for others, a file that
        // could not go, a folder of the log (deeper, so done before).
        const QString path = QDir(folder).filePath(name);
        if (!named_.contains(path) && std::find(order.begin(), order.end(), path) == order.end())
          report_.Kept(QStringLiteral("Kept, not installed: ") + path,
                       QStringLiteral("Säilytettiin, ei asennettu: ") + path);
      }
      report_.Kept(QStringLiteral("Kept, not empty: ") + folder,
                   QStringLiteral("Säilytettiin, ei tyhjä: ") + folder);
    }
    Step();
  }

  TUninstallLog log_;
  const TUninstallRequest& request_;
  TReport& report_;
  std::set<QString> folders_;
  QSet<QString> named_;
  bool removed_ = true;
};

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
    if (probe.KeyExists(UninstallLogKey(request.product))) return request.product;
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
  const QString key = UninstallLogKey(product);
  TUninstallLog log = ReadUninstallLog(key, product);
  if (!Confirmed(product, asking, out)) {
    out << "Nothing was removed." << Qt::endl;
    return 1;
  }
  const QString again = log.uninstaller.isEmpty()
                            ? QString()
                            : QStringLiteral(": %1 %2").arg(log.uninstaller, product);
  // A file that could not go keeps the log, so that a second run finishes.
  if (!TRemoval(std::move(log), request, report).Run()) {
    report.Err(QStringLiteral("The uninstall information was kept; run the uninstaller again") +
                   again,
               QStringLiteral("Poistotiedot säilytettiin; käynnistä poisto-ohjelma uudelleen") +
                   again);
    report.Show(QString());
    return 1;
  }
  // The journal goes with the log, at once.
  if (const LONG rc = RegDeleteTree(HKEY_LOCAL_MACHINE, key); rc != ERROR_SUCCESS)
    throw ERegistryException(QStringLiteral("The uninstall information cannot be removed: %1")
                                 .arg(RegErrorText(rc)),
                             rc);
  if (!report.SomethingKept()) {
    out << product << " was removed." << Qt::endl;
    report.Show(QStringLiteral("%1 poistettiin.").arg(product));
    return 0;
  }
  out << product << " was removed; what is listed above as kept stays." << Qt::endl;
  report.Show(QStringLiteral("%1 poistettiin; alla luetellut säilytettiin.").arg(product));
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
    const QString recorded = UninstallProgramOf(
        ReadRegString(hkLocalMachine, UninstallLogKey(name), QStringLiteral("UninstallString"),
                      QString()),
        name);
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
