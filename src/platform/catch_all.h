// The boundary of every callback that Win32 or the host calls (window and dialog
// procedures, thread procedures, the exports): nothing may unwind into code that knows
// nothing of C++ exceptions.
#pragma once

namespace lmx::platform {

// body's result, or `fallback` when body throws.
template <class Result, class Body>
Result CatchAll(Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

}  // namespace lmx::platform
