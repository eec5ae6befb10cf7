// ovpatch-cli: the patch dialog driven from the command line (see --help).
#include <iostream>
#include <string>
#include <vector>

#include "app/cli_options.h"
#include "app/cli_session.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const CliParse parse = ParseCliArguments(arguments);
  if (!parse.error.empty()) {
    std::cerr << "ovpatch-cli: " << parse.error << "\n"
              << "Try 'ovpatch-cli --help' for more information.\n";
    return kCliUsageError;
  }
  if (parse.options.help) {
    std::cout << CliHelpText();
    return kCliDone;
  }
  if (parse.options.version) {
    std::cout << CliVersionText();
    return kCliDone;
  }
  return RunCliSession(parse.options, std::cout, std::cerr);
}
