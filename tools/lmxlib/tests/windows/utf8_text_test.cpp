// lmxlib.exe run as a Windows shell runs it, with its command line in UTF-16: texts and
// file names in any language reach it whole, and what it prints shows right in a console
// whatever the console's code page, while a file gets UTF-8.
#include <windows.h>

#include <gtest/gtest.h>

#include "../test_util.h"

namespace lmxlib::test {
namespace {

struct ToolRun {
  DWORD status = 99;
  std::string out;  // standard output and error, when they went to a file
};

// Runs lmxlib.exe (beside this test) with the arguments after its name; its output goes to
// a file, or, with toConsole, to this process's console.
ToolRun Tool(const std::wstring& args, bool toConsole = false) {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring line = L"\"" + fs::path(exe).parent_path().wstring() + L"\\lmxlib.exe\" " + args;
  const TempDir dir;
  const std::wstring outPath = dir.path().wstring() + L"\\out.txt";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!toConsole) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = out;
  }
  PROCESS_INFORMATION process = {};
  ToolRun run;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, !toConsole, 0, nullptr, nullptr, &startup, &process)) {
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 98);
    GetExitCodeProcess(process.hProcess, &run.status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(out);
  const std::vector<uint8_t> bytes = ReadBytes(dir / "out.txt");
  run.out.assign(bytes.begin(), bytes.end());
  return run;
}

// The console's text, row after row.
std::wstring Screen() {
  const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(console, &info)) return L"";
  std::wstring text(size_t(info.dwSize.X) * size_t(info.dwSize.Y), L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, text.data(), DWORD(text.size()), {0, 0}, &read);
  text.resize(read);
  return text;
}

TEST(Utf8Text, ArgumentsFileNamesAndConsoleOutput) {
  const TempDir dir;
  // Group names are Windows-1252 in the file; a file name may hold any character.
  const std::wstring org = L"\"" + dir.path().wstring() + L"\\Ωmega.ORG\"", group = L" \"Effets spéciaux €\" ";
  ToolRun r = Tool(L"org add " + org + group + L"FLY");
  ASSERT_EQ(r.status, 0u) << r.out;
  r = Tool(L"org list " + org);
  EXPECT_EQ(r.status, 0u) << r.out;
  EXPECT_EQ(r.out, "Effets spéciaux €\r\n  FLY\r\n") << "a file gets UTF-8";

  // A console of code page 850, which has "é" (at another place than UTF-8 or
  // Windows-1252) but no "€".
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleOutputCP(850);
  EXPECT_EQ(Tool(L"org list " + org, true).status, 0u);
  EXPECT_NE(Screen().find(L"Effets spéciaux €"), std::wstring::npos) << "the console shows the characters";
  FreeConsole();

  EXPECT_EQ(Tool(L"org remove " + org + group + L"FLY").status, 0u);
  EXPECT_EQ(Tool(L"org list " + org).out, "");
}

}  // namespace
}  // namespace lmxlib::test
