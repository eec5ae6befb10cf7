#include "app/cli_host.h"

bool AsksForHelp(const std::string& argument) {
  return argument == "--help" || argument == "-h" || argument == "/?";
}

const char* CliHelpSwitchesLine() { return "  /?, -h, --help      this text\n"; }

const char* CliHostHelp() {
  return R"(Folders: a relative folder is taken from the current folder.
)";
}
