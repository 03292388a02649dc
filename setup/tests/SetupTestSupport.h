#pragma once
// What the setup's desktop roads share.
#include <QString>

// The tests' setup.exe ("velmio -b" of the tests' copy of the script),
// built once for every test process that needs it and again when the
// program or anything it installs changed; empty with error set when the
// build failed.
QString TestSetupExe(QString& error);
