#pragma once
// Entries from Qt into our code. An exception must never unwind through Qt's
// event loop (it would end the program): every slot, timer and queued call
// runs inside GuardedCall, and one that escapes goes to the exception sink.
// The application object installs the sink (it shows the error and the
// program goes on); without one the error is written to standard error.
//
// This header is the only place that calls QObject::connect and
// QMetaObject::invokeMethod; a check of the test run rejects them elsewhere.

#include <QMetaObject>
#include <QObject>

#include <concepts>
#include <functional>
#include <utility>

class TObject;

// Called from a catch block with the object the failing entry belonged to.
using TExceptionSink = void (*)(TObject* sender);

// Installs the sink (nullptr: standard error); returns the one before.
TExceptionSink SetExceptionSink(TExceptionSink sink) noexcept;

// From a catch block: hands the exception being handled to the sink. A sink
// that raises itself falls back to standard error.
void HandOverCurrentException(TObject* sender) noexcept;

// From a catch block: writes the exception being handled to standard error
// (what happens without a sink, or when the sink fails).
void ReportCurrentException() noexcept;

// Runs fn; an exception it raises goes to the sink.
void GuardedCall(TObject* sender, const std::function<void()>& fn) noexcept;

namespace rtl_detail {

// A slot that runs fn inside the guard. Its call operator takes only the
// leading signal arguments fn accepts, which is how Qt picks the count.
template <class Fn>
class TGuardedSlot {
 public:
  TGuardedSlot(TObject* sender, Fn fn) : sender_(sender), fn_(std::move(fn)) {}

  template <class... A>
    requires std::invocable<Fn&, A...>
  void operator()(A&&... args) noexcept {
    try {
      std::invoke(fn_, std::forward<A>(args)...);
    } catch (...) {
      HandOverCurrentException(sender_);
    }
  }

 private:
  TObject* sender_;
  Fn fn_;
};

}  // namespace rtl_detail

// Connects signal of source to fn, run inside the guard on behalf of
// sender. The connection ends with context (fn must not outlive it).
template <class Source, class Signal, class Fn>
QMetaObject::Connection GuardedConnect(TObject* sender, const Source* source, Signal signal,
                                       const QObject* context, Fn fn) {
  return QObject::connect(source, signal, context,
                          rtl_detail::TGuardedSlot<Fn>(sender, std::move(fn)));
}

// Runs fn later, from context's event loop, inside the guard (nothing runs
// when context is gone by then).
template <class Fn>
void GuardedPost(TObject* sender, QObject* context, Fn fn) {
  QMetaObject::invokeMethod(context, rtl_detail::TGuardedSlot<Fn>(sender, std::move(fn)),
                            Qt::QueuedConnection);
}
