#pragma once
// Helpers every suite may use. Each test runs with XDG_DATA_HOME,
// XDG_CONFIG_HOME, XDG_RUNTIME_DIR, XDG_CACHE_HOME and HOME pointing into a
// fresh temporary folder, removed when the test ends.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace qxtest {

// The temporary folder of the running test (ends without a delimiter).
QString TempRoot();

// A path inside the running test's temporary folder.
QString TempPath(const QString& relative);

// Writes bytes to a file, creating parent folders. Fails the test on error.
void WriteBytes(const QString& path, const QByteArray& bytes);

// Reads a whole file; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);

// The folder of a test suite's fixtures (tests/data beside its sources).
QString DataPath(const QString& relative);

// Runs a fuzz target's check (see FuzzCheck.h) over its kept inputs: every
// file of fuzz/corpus and fuzz/regressions beside the suite's tests folder.
// Each failure fails the test, naming the file; so does finding no input.
void ReplayFuzzInputs(const std::function<QString(const QByteArray&)>& check);

// Qt messages at warning level that the running test expects; matched as
// substrings. Cleared at the start of every test.
void ExpectQtWarning(const QString& fragment);

}  // namespace qxtest
