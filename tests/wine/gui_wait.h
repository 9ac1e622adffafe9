// Waiting for windows of this process from a test: conditions polled against a
// deadline, and modal calls run on a thread of their own so that the test thread stays
// free to drive them.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>

namespace lmx::test {

inline constexpr int kGuiDeadlineMs = 10000;

// Polls cond until it holds or the deadline passes; returns whether it held.
inline bool WaitUntil(const std::function<bool()>& cond, int deadlineMs = kGuiDeadlineMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(5);
  }
  return true;
}

struct WindowSearch {
  const char* title;
  HWND found;
};

inline BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  if (std::string(text) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible top-level window of this process with exactly this title, or null.
inline HWND FindOwnWindow(const char* title) {
  WindowSearch search{title, nullptr};
  EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Waits for the window; null when it did not appear in time.
inline HWND WaitForOwnWindow(const char* title, int deadlineMs = kGuiDeadlineMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindOwnWindow(title)) != nullptr; }, deadlineMs);
  return found;
}

inline std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// Runs a modal call on a thread of its own; the future gives its result.
template <class Fn>
auto RunModal(Fn fn) -> std::future<decltype(fn())> {
  return std::async(std::launch::async, std::move(fn));
}

}  // namespace lmx::test
