#pragma once
// Entries from Qt into our code. An exception must never unwind through Qt's
// event loop (it would end the program): every slot, timer and queued call
// runs inside GuardedCall, and one that escapes goes to the exception sink
// (platform/rtl/ExceptionSink.h).
//
// This header is the only place that calls QObject::connect and
// QMetaObject::invokeMethod; a check of the test run rejects them elsewhere.

#include "platform/rtl/ExceptionSink.h"

#include <QMetaObject>
#include <QObject>

#include <concepts>
#include <functional>
#include <utility>

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
