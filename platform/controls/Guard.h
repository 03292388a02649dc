#pragma once
// The one guard between Qt and our code. Every entry from Qt (event, slot,
// timer, modal loop, queued call) runs inside Guard, GuardedConnect or
// GuardedPost (platform/rtl/GuardedEntry.h), so no exception ever unwinds
// through Qt: one that escapes goes to Application->HandleException (or,
// without an application object, to standard error) and the program goes on.

#include "platform/rtl/GuardedEntry.h"

#include <functional>

class TObject;

// Runs fn; an exception it raises is handed to the application's handler.
void Guard(TObject* sender, const std::function<void()>& fn) noexcept;

// Hands the exception being handled (call from a catch block) to the
// application's handler. The application object installs it as the
// exception sink.
void HandleCurrentException(TObject* sender) noexcept;
