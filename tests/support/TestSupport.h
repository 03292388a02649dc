#pragma once
// Helpers every suite may use. Each test runs with XDG_DATA_HOME,
// XDG_CONFIG_HOME, XDG_RUNTIME_DIR, XDG_CACHE_HOME and HOME pointing into a
// fresh temporary folder, removed when the test ends.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

namespace qxtest {

// Waits. A test's waits for other processes are set for an idle machine;
// WaitMs scales one to the machine's load and keeps it inside the time the
// test has left before its CTest time-out (QX_TEST_LIMIT seconds, set by
// qx_test), so that a slow run fails with the test's own message.

// How much slower the machine runs now: its load average over its cores,
// from 1 to 4.
double LoadFactor();
// Milliseconds before the test's time-out, less the room its report and
// clean-up need; a day where no limit is set.
qint64 TimeLeftMs();
// A wait of idleMs on an idle machine, as long as this one needs it now.
int WaitMs(int idleMs);
// Polls a condition every pollUs microseconds until it holds (true) or
// WaitMs(idleMs) has passed (false).
bool WaitUntil(const std::function<bool()>& condition, int idleMs, int pollUs);

// The one list of reasons a test may skip for: a capability that a CI
// runner may lack. Every other test that cannot run fails. Each case that
// skips for one of these has a twin through a fault hook that runs
// everywhere. .ci/run fails on a skipped road test whose reason is not
// made here.
enum class TCapability { SmallTmpfsMount };
std::string SkipBecause(TCapability missing, const QString& detail);

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
