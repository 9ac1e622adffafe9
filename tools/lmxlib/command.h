// The subcommands of lmxlib. Each lives in its own file and is listed once in the table
// of main.cpp; a command writes its results to out and its complaints to err and
// returns the process's exit status.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "lmxlib/file_io.h"

namespace lmxlib {

using Args = std::vector<std::string>;

struct Command {
  const char* name;
  const char* usage;  // the arguments after the command's name
  const char* summary;
  int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFindings = 1;  // a damaged file, a failed check, a source error
inline constexpr int kExitUsage = 2;     // wrong arguments

int RunBuild(const Args& args, std::ostream& out, std::ostream& err);
int RunDump(const Args& args, std::ostream& out, std::ostream& err);
int RunCheck(const Args& args, std::ostream& out, std::ostream& err);
int RunPreview(const Args& args, std::ostream& out, std::ostream& err);
int RunHelp(const Args& args, std::ostream& out, std::ostream& err);
int RunIcon(const Args& args, std::ostream& out, std::ostream& err);
int RunKdenlive(const Args& args, std::ostream& out, std::ostream& err);
int RunOrg(const Args& args, std::ostream& out, std::ostream& err);

// The table main() dispatches on, and a lookup by name (nullptr when unknown).
const std::vector<Command>& Commands();
const Command* FindCommand(const std::string& name);
// Runs argv[1] with the rest; --help, -h and --version of the tool itself; usage for
// no or unknown commands.
int RunTool(const Args& argv, std::ostream& out, std::ostream& err);

}  // namespace lmxlib
