#include "tests/support/TreeGuard.h"

#include "tests/support/TestSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStandardPaths>

#include <unistd.h>

namespace qxtest {

namespace {

// Mounts an empty tmpfs that no one may enter over each tree named after
// the script (the build tree first: inside the source tree it is gone once
// that is hidden), then runs the rest of the arguments.
QString HideScript() {
  QString script;
  for (int i = 0; i < BuildTrees().size(); ++i)
    script += QStringLiteral(
        "if ! mount -t tmpfs -o size=4k,mode=0 qxhidden \"$1\" && [ -d \"$1\" ]; then "
        "echo \"the tree guard cannot hide $1\" >&2; exit 97; fi; shift; ");
  return script;
}

bool PathCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.';
}

// The printable run of bytes around at (a string of a program).
QByteArray StringAround(const QByteArray& bytes, qsizetype at) {
  auto printable = [&](qsizetype i) { return bytes[i] >= 0x20 && bytes[i] < 0x7f; };
  qsizetype begin = at;
  while (begin > 0 && printable(begin - 1)) --begin;
  qsizetype end = at;
  while (end < bytes.size() && printable(end)) ++end;
  return bytes.mid(begin, end - begin);
}

// What a sanitizer records for its reports: a source file the build
// compiled, or a header of the source tree (inline code is reported where
// its header has it).
bool SanitizerRecord(const QByteArray& text, const QSet<QByteArray>& sources) {
  if (sources.contains(text)) return true;
  const QString path = QFile::decodeName(text);
  return path.endsWith(QStringLiteral(".h")) && path.startsWith(QStringLiteral(QX_SOURCE_DIR "/")) &&
         QFileInfo(path).isFile();
}

QByteArray Utf16(const QString& text) {
  QByteArray bytes;
  for (const QChar c : text) {
    bytes.append(static_cast<char>(c.unicode() & 0xff));
    bytes.append(static_cast<char>(c.unicode() >> 8));
  }
  return bytes;
}

}  // namespace

QStringList BuildTrees() { return {QStringLiteral(QX_BUILD_DIR), QStringLiteral(QX_SOURCE_DIR)}; }

bool SanitizedBuild() {
#ifdef QX_SANITIZED
  return true;
#else
  return false;
#endif
}

QStringList BuildSources() {
  QStringList sources;
  const QJsonDocument commands =
      QJsonDocument::fromJson(ReadBytes(QStringLiteral(QX_BUILD_DIR "/compile_commands.json")));
  for (const QJsonValue& command : commands.array())
    sources << command.toObject().value(QStringLiteral("file")).toString();
  return sources;
}

QStringList TTreeGuard::Command(const QString& program, const QStringList& arguments) const {
  QStringList command{QStringLiteral("unshare")};
  QString script = HideScript();
  if (::geteuid() == 0) {
    command << QStringLiteral("--mount");
    script += QStringLiteral("exec \"$@\"");
  } else {
    // Root of a namespace of its own to mount; the user again to run.
    command << QStringLiteral("--user") << QStringLiteral("--map-root-user") << QStringLiteral("--mount");
    script += QStringLiteral("exec unshare --user --map-user=%1 --map-group=%2 -- \"$@\"")
                  .arg(::geteuid())
                  .arg(::getegid());
  }
  command << QStringLiteral("--propagation") << QStringLiteral("private") << QStringLiteral("--")
          << QStringLiteral("/bin/sh") << QStringLiteral("-c") << script << QStringLiteral("sh");
  return command + BuildTrees() + QStringList{program} + arguments;
}

void TTreeGuard::Start(QProcess& process, const QString& program, const QStringList& arguments) const {
  const QStringList command = Command(program, arguments);
  process.start(command.first(), command.mid(1));
}

testing::AssertionResult TTreeGuard::Check(const QProcessEnvironment& env, const QString& folder) const {
  if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
    return testing::AssertionFailure() << "the build tree cannot be hidden: no unshare (util-linux)";
  QProcess look;
  look.setProcessEnvironment(env);
  look.setWorkingDirectory(folder);
  // What the programs see of each tree: nothing (an empty folder, or one
  // they may not open).
  Start(look, QStringLiteral("/bin/sh"),
        QStringList{QStringLiteral("-c"),
                    QStringLiteral("for d; do if ls -A \"$d\" 2>/dev/null | grep -q .; then echo \"$d\"; fi; done"),
                    QStringLiteral("sh")} +
            BuildTrees());
  if (!look.waitForFinished(WaitMs(10000))) {
    look.kill();
    look.waitForFinished();
    return testing::AssertionFailure() << "the look at the hidden trees did not end";
  }
  const QByteArray seen = look.readAllStandardOutput();
  const QByteArray said = look.readAllStandardError();
  if (look.exitStatus() != QProcess::NormalExit || look.exitCode() != 0)
    return testing::AssertionFailure() << "the build tree cannot be hidden (exit " << look.exitCode()
                                       << "): " << said.toStdString();
  if (!seen.isEmpty())
    return testing::AssertionFailure() << "the guard leaves in reach: " << seen.toStdString() << said.toStdString();
  return testing::AssertionSuccess();
}

QStringList TreeMentions(const QString& root, const QStringList& others) {
  QSet<QByteArray> sources;
  if (SanitizedBuild())
    for (const QString& source : BuildSources()) sources.insert(QFile::encodeName(source));
  QStringList found;
  QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    const QByteArray bytes = ReadBytes(file);
    const bool program = bytes.startsWith("\x7f" "ELF");
    for (const QString& tree : BuildTrees() + others) {
      const QByteArray utf8 = QFile::encodeName(tree);
      for (qsizetype at = bytes.indexOf(utf8); at >= 0; at = bytes.indexOf(utf8, at + 1)) {
        const qsizetype after = at + utf8.size();
        if (after < bytes.size() && PathCharacter(bytes[after])) continue;  // another folder
        const QByteArray text = StringAround(bytes, at);
        if (program && SanitizerRecord(text, sources) && !others.contains(tree)) continue;
        found << file + QStringLiteral(": ") + QString::fromUtf8(text.left(200));
      }
      if (bytes.contains(Utf16(tree))) found << file + QStringLiteral(": (UTF-16) ") + tree;
    }
  }
  found.removeDuplicates();  // the build tree lies in the source tree
  return found;
}

}  // namespace qxtest
