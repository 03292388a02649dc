#pragma once
// Whether this program owns the active window.

// True when the active window belongs to this program and the caller is the
// thread that runs its windows; false without an active window.
bool ForegroundWindowIsOurs();
