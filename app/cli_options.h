#pragma once
// The command line of ovpatch-cli: [--patch-dir DIR] [--fs-path DIR] [--install-path DIR]
// status|apply|remove|plan apply|plan remove|verify; or make --original DIR --patched DIR
// --product FOLDER --title TEXT [--identify FILE] [--out DIR]; or --help (also -h, and /? on
// Windows), or --version.
#include <optional>
#include <string>
#include <vector>

enum class CliCommand { Status, Apply, Remove, PlanApply, PlanRemove, Verify, Make };

struct CliOptions {
  std::optional<std::string> patchDir;
  std::optional<std::string> fsPath;
  std::optional<std::string> installPath;
  // make's options
  std::optional<std::string> original;
  std::optional<std::string> patched;
  std::optional<std::string> product;
  std::optional<std::string> title;
  std::optional<std::string> identify;
  std::optional<std::string> out;
  CliCommand command = CliCommand::Status;
  bool help = false;
  bool version = false;
};

struct CliParse {
  CliOptions options;
  std::string error;  // empty when the arguments are valid
};

// Options may come before or after the command, as "--name VALUE" or "--name=VALUE"; each at most
// once, with a non-empty value. Exactly one command unless --help or --version is given; "plan" is
// followed directly by "apply" or "remove". make takes only its own options and needs all but
// --identify and --out; the other commands take none of them.
CliParse ParseCliArguments(const std::vector<std::string>& arguments);

// The --version text: the program's name and the version that OVPatch.exe's version record carries.
std::string CliVersionText();

// The --help text: what the program does, the options, the folders and text as this host's users
// meet them, the output and the exit status.
std::string CliHelpText();
