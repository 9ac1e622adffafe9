#include "lmxlib/command.h"

#include "lmxlib/cli.h"

namespace lmxlib {

const std::vector<Command>& Commands() {
  static const std::vector<Command> table = {
      {"build", "SRC -o FILE [--kind KIND]", "write an effect (.LMI), organization (.ORG) or texture (.LMT) from its source", RunBuild},
      {"dump", "FILE [--json | --source] [--kind KIND]", "print any library file as text or JSON, and where a damaged one stops", RunDump},
      {"check", "DIR", "validate an installation directory and list every problem", RunCheck},
      {"preview", "EFFECT -o FILE.gif|FILE.png [options]",
       "render an effect's preview through the engine into an animated GIF or a strip of frames", RunPreview},
      {"icon", "PICTURE -o EFFECTS/NAME.BMP", "write an effect's icon as the FX page draws it from a PNG or BMP picture", RunIcon},
      {"org", "add|remove|list ORG ...", "list an organization, or add an effect to a group or remove it", RunOrg},
      {"kdenlive", "EFFECTS -o DIR [--service NAME] [--yaml DIR]",
       "write a Kdenlive composition per effect and MLT's descriptions of the transition", RunKdenlive},
      {"help", "build SRC -o FILE.HLP | dump FILE.HLP", "write the help file from its topic sources, or list one", RunHelp},
  };
  return table;
}

const Command* FindCommand(const std::string& name) {
  for (const Command& c : Commands())
    if (name == c.name) return &c;
  return nullptr;
}

namespace {

void PrintToolHelp(std::ostream& out) {
  out << "usage: lmxlib COMMAND [ARGUMENTS]\n"
         "       lmxlib COMMAND --help    (the command's options)\n"
         "       lmxlib --version\n\ncommands:\n";
  for (const Command& c : Commands()) out << "  lmxlib " << c.name << " " << c.usage << "\n      " << c.summary << "\n";
  out << "\nExit status: 0 success, 1 findings (a source fault, a damaged file, a failed check or write),\n"
         "2 wrong arguments.\n";
}

}  // namespace

int RunTool(const Args& argv, std::ostream& out, std::ostream& err) {
  const std::string first = argv.size() >= 2 ? argv[1] : "";
  const Command* command = FindCommand(first);
  if (!command && (first == "--help" || first == "-h" || first == "help")) {
    PrintToolHelp(out);
    return kExitOk;
  }
  if (!command && first == "--version") {
    PrintVersion(out);
    return kExitOk;
  }
  if (!command) {
    if (!first.empty()) err << "lmxlib: unknown command \"" << first << "\"\n";
    PrintToolHelp(err);
    return kExitUsage;
  }
  return command->run(Args(argv.begin() + 2, argv.end()), out, err);
}

}  // namespace lmxlib
