#pragma once
// Where an exception goes that must not travel further: one raised by an
// entry from Qt (platform/rtl/GuardedEntry.h), or one that a scope ending
// without a way to raise it has caught (platform/rtl/UpdateScope.h). The
// application object installs the sink (it shows the error and the program
// goes on); without one the error is written to standard error.

class TObject;

// Called from a catch block with the object the failing code belonged to.
using TExceptionSink = void (*)(TObject* sender);

// Installs the sink (nullptr: standard error); returns the one before.
TExceptionSink SetExceptionSink(TExceptionSink sink) noexcept;

// From a catch block: hands the exception being handled to the sink. A sink
// that raises itself falls back to standard error.
void HandOverCurrentException(TObject* sender) noexcept;

// From a catch block: writes the exception being handled to standard error
// (what happens without a sink, or when the sink fails).
void ReportCurrentException() noexcept;
