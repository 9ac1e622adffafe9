// The command line as every lmxlib command reads it: operands and options from one table
// per command, which also gives the command's --help text. Options take "--name VALUE"
// or "--name=VALUE"; "--" ends the options; -h and --help print the help to stdout.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lmxlib {

enum class Use { Optional, Required, Repeatable };

struct OptionInfo {
  const char* name;       // "--frames"
  const char* shortName;  // "-o", or nullptr
  const char* value;      // what follows it ("N"), or nullptr for a switch
  const char* help;
  Use use;
};

struct CommandInfo {
  const char* name;      // "build", or "org add" for a command under another
  const char* operands;  // "SRC", shown in the usage line
  const char* summary;
  size_t minOperands, maxOperands;
  std::vector<OptionInfo> options;
  const char* details;  // lines after the options in --help, or nullptr
};

struct ParsedArgs {
  std::vector<std::string> operands;
  std::vector<std::pair<std::string, std::string>> options;  // in order; the long name

  bool Has(const std::string& name) const;
  // The option's last value, or fallback when it is not given.
  std::string Get(const std::string& name, const std::string& fallback = "") const;
  std::vector<std::string> All(const std::string& name) const;
};

// Parses args after the command's name. Returns -1 to go on, or the exit status after
// printing the help (to out) or every usage fault (to err, each once).
int ParseCommandLine(const CommandInfo& info, const std::vector<std::string>& args, ParsedArgs* parsed,
                     std::ostream& out, std::ostream& err);
void PrintHelp(const CommandInfo& info, std::ostream& out);
std::string UsageLine(const CommandInfo& info);

// A whole number in [minimum, maximum]; false for anything else ("2.5", "7x", "").
bool ParseWhole(const std::string& text, long minimum, long maximum, long* value);

// True when lmxlib's standard error is a terminal (progress shows there unasked).
bool ErrorIsTerminal();

inline constexpr const char* kToolVersion = "1.1";

// The tool's version and the versions of the files it reads and writes.
void PrintVersion(std::ostream& out);

}  // namespace lmxlib
