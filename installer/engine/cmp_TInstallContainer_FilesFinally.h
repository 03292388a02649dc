#pragma once
// The try/finally of the install object model's file units: the closing
// steps run whether the body ends normally or by an exception; an exception
// of the closing steps replaces the body's, as a finally block's does.

#include <utility>

template <class Body, class Finally>
void IfTryFinally(Body&& body, Finally&& finally) {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    finally();
    throw;
  } finally();
}
