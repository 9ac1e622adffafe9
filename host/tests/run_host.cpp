#include "run_host.h"

#include <windows.h>

#include <thread>

namespace lmx::host::test {
namespace {

struct Handle {
  HANDLE h = nullptr;
  Handle() = default;
  explicit Handle(HANDLE handle) : h(handle) {}
  ~Handle() {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
};

std::string HostPath() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string path = exe;
  return path.substr(0, path.find_last_of("\\/") + 1) + "lmxhost.exe";
}

std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string q = "\"";
  for (char c : arg) {
    if (c == '"') q += '\\';
    q += c;
  }
  return q + "\"";
}

}  // namespace

HostRun RunHost(const std::vector<std::string>& args, unsigned long timeoutMs) {
  HostRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  Handle read, write;
  if (!CreatePipe(&read.h, &write.h, &inherit, 0)) return run;
  SetHandleInformation(read.h, HANDLE_FLAG_INHERIT, 0);

  std::string line = Quote(HostPath());
  for (const std::string& a : args) line += " " + Quote(a);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = write.h;
  startup.hStdError = write.h;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    return run;
  }
  Handle processHandle(process.hProcess), threadHandle(process.hThread);
  CloseHandle(write.h);
  write.h = nullptr;
  run.started = true;

  // The reader drains the pipe so that the child never blocks on a full one.
  std::thread reader([&] {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read.h, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
  });
  run.finished = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
  if (!run.finished) {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 5000);
  }
  reader.join();
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  return run;
}

}  // namespace lmx::host::test
