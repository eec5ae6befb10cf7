#include "app/cli_options.h"

#include "app/cli_host.h"
#include "ovpatch_version.h"
#include "platform/text.h"

namespace {

struct OptionSlot {
  const char* name;
  std::optional<std::string> CliOptions::*member;
  const char* value;     // what the option needs, in words
  bool forMake = false;  // an option of make, and of no other command
};

constexpr OptionSlot kOptions[] = {
    {"--patch-dir", &CliOptions::patchDir, "a folder"},
    {"--fs-path", &CliOptions::fsPath, "a folder"},
    {"--install-path", &CliOptions::installPath, "a folder"},
    {"--original", &CliOptions::original, "a folder", true},
    {"--patched", &CliOptions::patched, "a folder", true},
    {"--product", &CliOptions::product, "a folder", true},
    {"--title", &CliOptions::title, "a text", true},
    {"--identify", &CliOptions::identify, "a file", true},
    {"--out", &CliOptions::out, "a folder", true},
};

// The options given that `command` does not take, or make's missing ones; "" when all is well.
std::string OptionsMisfit(const CliOptions& options) {
  const bool make = options.command == CliCommand::Make;
  for (const OptionSlot& slot : kOptions) {
    if (options.*(slot.member) && slot.forMake != make)
      return std::string(slot.name) + (make ? " is not an option of make" : " belongs to make");
  }
  if (make && !(options.original && options.patched && options.product && options.title))
    return "make needs --original, --patched, --product and --title";
  return "";
}

std::optional<CliCommand> CommandNamed(const std::string& word) {
  if (word == "status") return CliCommand::Status;
  if (word == "apply") return CliCommand::Apply;
  if (word == "remove") return CliCommand::Remove;
  if (word == "verify") return CliCommand::Verify;
  if (word == "make") return CliCommand::Make;
  return std::nullopt;
}

// The arguments, each taken once, in order.
class ArgumentCursor {
public:
  explicit ArgumentCursor(const std::vector<std::string>& arguments) : arguments_(arguments) {}
  // The next argument, or nullopt when none is left.
  std::optional<std::string> Take() {
    if (next_ == arguments_.size()) return std::nullopt;
    return arguments_[next_++];
  }

private:
  const std::vector<std::string>& arguments_;
  size_t next_ = 0;
};

// Takes the option `argument` ("--name=VALUE", or "--name" and the next argument as its value)
// into `options`; the usage error, or "" when all is well.
std::string TakeOption(const std::string& argument, ArgumentCursor& cursor, CliOptions& options) {
  const size_t equals = argument.find('=');
  const std::string name = argument.substr(0, equals);
  const OptionSlot* slot = nullptr;
  for (const OptionSlot& candidate : kOptions)
    if (name == candidate.name) slot = &candidate;
  if (slot == nullptr) return "unknown option " + name;
  const std::optional<std::string> value =
      equals != std::string::npos ? argument.substr(equals + 1) : cursor.Take();
  if (!value || value->empty()) return name + " needs " + slot->value;
  std::optional<std::string>& member = options.*(slot->member);
  if (member) return name + " given twice";
  const platform::CommandLineText text = platform::TextFromCommandLine(*value);
  if (!text.text)
    return name + ": the character \"" + text.unheld + "\" has no place in code page " +
           std::to_string(platform::TextCodePage()) +
           ", in which the program holds its text (see --help)";
  member = text.text;
  return "";
}

// Takes the command `argument` ("plan" with the next argument) into `command`, which holds the one
// given before if any; the usage error, or "" when all is well.
std::string TakeCommand(const std::string& argument, ArgumentCursor& cursor,
                        std::optional<CliCommand>& command) {
  std::optional<CliCommand> named = CommandNamed(argument);
  if (argument == "plan") {
    const std::string operation = cursor.Take().value_or("");
    if (operation == "apply")
      named = CliCommand::PlanApply;
    else if (operation == "remove")
      named = CliCommand::PlanRemove;
    else
      return "plan needs apply or remove";
  }
  if (!named) return "unknown command " + argument;
  if (command) return "more than one command";
  command = named;
  return "";
}

}  // namespace

CliParse ParseCliArguments(const std::vector<std::string>& arguments) {
  CliParse result;
  std::optional<CliCommand> command;
  ArgumentCursor cursor(arguments);
  while (const std::optional<std::string> argument = cursor.Take()) {
    std::string error;
    if (AsksForHelp(*argument))
      result.options.help = true;
    else if (*argument == "--version")
      result.options.version = true;
    else if (argument->rfind("--", 0) == 0)
      error = TakeOption(*argument, cursor, result.options);
    else
      error = TakeCommand(*argument, cursor, command);
    if (!error.empty()) return {{}, error};
  }
  if (!command) {
    if (result.options.help || result.options.version) return result;
    return {{}, "no command given (status, apply, remove, plan, verify or make)"};
  }
  result.options.command = *command;
  if (std::string misfit = OptionsMisfit(result.options); !misfit.empty()) return {{}, misfit};
  return result;
}

std::string CliVersionText() { return std::string("ovpatch-cli ") + OVPATCH_VERSION_TEXT + "\n"; }

std::string CliHelpText() {
  return std::string(
             R"(Usage: ovpatch-cli [--patch-dir DIR] [--fs-path DIR] [--install-path DIR] COMMAND
       ovpatch-cli make --original DIR --patched DIR --product FOLDER --title TEXT
                        [--identify FILE] [--out DIR]
       ovpatch-cli --help | --version

Runs the patch dialog without a window: start-up exactly as the dialog's, then
"Change FS2004 Path" with --fs-path as the picked folder, "Change Install Path"
with --install-path, then the command.

Commands:
  status   print the dialog's fields
  apply    click "Apply Patch" so that it ends ticked: the patch is installed
           (a box already ticked is first cleared without running anything)
  remove   click "Apply Patch" so that it ends clear: the patch is removed
  plan apply, plan remove
           the install or removal as it would run, changing nothing on disk: one
           line per change, then the problems it foresees (the messages it would
           show, changes that would fail, too little free space), then the list
           file lines that look like mistakes
  verify   check the disk against the patch in the state OVPATCH.INI records:
           one line per check that fails, then a summary
  make     for patch authors: compares two FS2004 folders, --original with the
           product as it ships and --patched, a copy changed until it works, and
           writes the patch that turns the one into the other into --out (a new
           or empty folder; default: the current folder): the list files and the
           replacement files. --product is the product's folder relative to both,
           --title and --identify (a file of the product folder; default: one
           that both hold) go into TITLE.OV. Changes the lists cannot make are
           listed, each with what to do instead, and nothing is written

Every install and removal is recorded in OVPATCH.LOG in the patch folder.
SCENERY.CFG is copied to SCENERY.yyyymmdd-hhmmss.CFG beside it before it is
changed; the three newest copies are kept.

Options:
  --patch-dir DIR     folder of the patch: the list files (TITLE.OV, PATH.OV, ...),
                      the replacement files, the backups and OVPATCH.INI
                      (default: the current folder)
  --fs-path DIR       the FS2004 folder to pick; it is remembered in OVPATCH.INI
  --install-path DIR  the product folder to pick; it is remembered in TITLE.OV
  --original, --patched, --product, --title, --identify, --out
                      make's options (see make above); no other command takes them
)") + CliHelpSwitchesLine() +
         R"(  --version           the program's version
A folder's name may not hold a line break or another control character.

)" + CliHostHelp() +
         R"(
Output:
  stdout  every change of the status line, one line each; for status the fields
          "FS2004 Installation Path: ...", "Product To Be Patched: ...",
          "Product Install Path: ...", "Apply Patch: ticked|clear, enabled|disabled"
          and "Status: ..."
  stderr  every message box as "CAPTION: text"; a line break inside the text
          starts a new line indented by two spaces

Exit status:
  0  done
  1  the operation could not run: "Apply Patch" is disabled, the FS2004
     folder has no SCENERY.CFG, or a cause that would leave it half done was
     found first (a message above says why; nothing changed); make: the patch
     could not be written (nothing of it is left)
  2  usage error, a folder option that cannot be kept included, or the patch
     folder holds none of the list files; make: also a folder or file of its
     options that cannot be used
  3  a message box was shown (at start-up, by a folder option or during the
     operation: something failed); plan: a problem is foreseen; verify: a
     check failed; make: changes the lists cannot make or none to make (the two
     folders do not differ), nothing written
)";
}
