#pragma once
// One run of ovpatch-cli: the main dialog on the headless backend, driven by the options.
#include <ostream>

#include "app/cli_options.h"

inline constexpr int kCliDone = 0;
inline constexpr int kCliCouldNotRun = 1;
inline constexpr int kCliUsageError = 2;
inline constexpr int kCliRanWithMessages = 3;

// make goes to RunMakeCommand (app/cli_make.h). Every other command: sets up the patch folder,
// runs the application with a script made from `options` and returns the exit status:
// kCliCouldNotRun when apply or remove was refused, else kCliRanWithMessages when any message box
// was shown, else kCliDone. Status-line changes and the status fields go to `out`,
// message boxes to `err`.
int RunCliSession(const CliOptions& options, std::ostream& out, std::ostream& err);

// A message box as "CAPTION: text"; a line break inside the text starts a new line indented by two
// spaces.
std::string MessageBoxLine(const std::string& caption, const std::string& text);
