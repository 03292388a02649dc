#pragma once
// One batch of changes held open for a scope: the one idiom for
// BeginUpdate/EndUpdate pairs, nesting counters and "busy" flags.
//
//   TUpdateScope batch(*list);   // list.BeginUpdate()
//   ... changes ...
//   batch.Close();               // list.EndUpdate(); what it raises propagates
//
// Ending a batch reports the change, and a change handler may raise, so the
// normal way out is Close(). The destructor only ends a batch still open:
// - left by an exception: EndUpdate runs and an error it raises is dropped,
//   the one already on its way out is the one the caller gets;
// - left normally without Close(): EndUpdate runs and an error it raises goes
//   to the exception sink (a destructor cannot raise; std::terminate must
//   not be the answer either).
// The destructor is noexcept and never calls std::terminate.
//
// TUpdateScope<int> counts a nesting depth (++ now, -- at the end) and
// TUpdateScope<bool> raises a flag (true now, its old value back at the end);
// neither can fail, so Close() is optional for them.

#include "platform/rtl/ExceptionSink.h"

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

template <class T>
class [[nodiscard]] TUpdateScope {
 public:
  explicit TUpdateScope(T& target) : target_(&target), exceptions_(std::uncaught_exceptions()) {
    target.BeginUpdate();
  }
  ~TUpdateScope() noexcept {
    if (target_ == nullptr) return;
    const bool unwinding = std::uncaught_exceptions() > exceptions_;
    try {
      std::exchange(target_, nullptr)->EndUpdate();
    } catch (...) {
      if (!unwinding) HandOverCurrentException(nullptr);
    }
  }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

  // Ends the batch now; EndUpdate's error propagates. Later calls do nothing.
  void Close() {
    if (target_ != nullptr) std::exchange(target_, nullptr)->EndUpdate();
  }

 private:
  T* target_;
  int exceptions_;  // in flight when the scope began
};

template <>
class [[nodiscard]] TUpdateScope<int> {
 public:
  explicit TUpdateScope(int& depth) noexcept : depth_(&depth) { ++depth; }
  ~TUpdateScope() noexcept { Close(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

  void Close() noexcept {
    if (depth_ != nullptr) --*std::exchange(depth_, nullptr);
  }

 private:
  int* depth_;
};

template <>
class [[nodiscard]] TUpdateScope<bool> {
 public:
  explicit TUpdateScope(bool& flag) noexcept : flag_(&flag), old_(flag) { flag = true; }
  ~TUpdateScope() noexcept { Close(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

  void Close() noexcept {
    if (flag_ != nullptr) *std::exchange(flag_, nullptr) = old_;
  }

 private:
  bool* flag_;
  bool old_;
};

// Runs fn inside one batch of target and closes it; returns what fn returns.
template <class T, class Fn>
std::invoke_result_t<Fn&> InUpdate(T& target, Fn&& fn) {
  TUpdateScope<T> batch(target);
  if constexpr (std::is_void_v<std::invoke_result_t<Fn&>>) {
    fn();
    batch.Close();
  } else {
    auto result = fn();
    batch.Close();
    return result;
  }
}
