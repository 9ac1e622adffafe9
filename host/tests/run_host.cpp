#include "run_host.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace lmx::host::test {
namespace {

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

std::string ProgramFolder() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string path = exe;
  return path.substr(0, path.find_last_of("\\/"));
}

::testing::AssertionResult Ended(const HostRun& run, unsigned long code, const std::string& text) {
  if (!run.finished) return ::testing::AssertionFailure() << "still running when ended\n" << run.output;
  if (run.exitCode != code) return ::testing::AssertionFailure() << "exit code " << run.exitCode << "\n" << run.output;
  if (run.output.find(text) == std::string::npos) {
    return ::testing::AssertionFailure() << "no \"" << text << "\" in\n" << run.output;
  }
  return ::testing::AssertionSuccess();
}

bool PlantModule(const lmx::test::TestInstall& install, const std::string& relative) {
  std::error_code ec;
  const std::filesystem::path name = std::filesystem::path(relative).filename();
  return std::filesystem::copy_file(std::filesystem::path(ProgramFolder()) / name, install.File(relative), ec);
}

HostRun RunProgram(const std::string& exe, const std::vector<std::string>& args, unsigned long timeoutMs,
                   const std::function<void(unsigned long)>& whileRunning) {
  HostRun run;
  // The host writes into a file rather than a pipe: Wine's helper processes that the host
  // starts (the desktop's explorer.exe) inherit its output handle and outlive it, and a
  // pipe would stay open, and its reader waiting, for as long as they live.
  char dir[MAX_PATH] = {}, file[MAX_PATH] = {};
  if (!GetTempPathA(MAX_PATH, dir) || !GetTempFileNameA(dir, "lmx", 0, file)) return run;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (output == INVALID_HANDLE_VALUE) return run;

  std::string line = Quote(ProgramFolder() + "\\" + exe);
  for (const std::string& a : args) line += " " + Quote(a);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process = {};
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    run.started = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
      if (whileRunning) whileRunning(process.dwProcessId);
      run.finished = WaitForSingleObject(process.hProcess, whileRunning ? 20 : timeoutMs) == WAIT_OBJECT_0;
    } while (!run.finished && std::chrono::steady_clock::now() < deadline);
    if (!run.finished) {
      TerminateProcess(process.hProcess, 99);
      WaitForSingleObject(process.hProcess, 5000);
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);
  }
  CloseHandle(output);
  std::ifstream in(file, std::ios::binary);
  run.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  in.close();
  DeleteFileA(file);
  return run;
}

}  // namespace lmx::host::test
