#pragma once
// ovpatch-cli make: writes a patch from an original and a patched FS2004 folder.
#include <ostream>

#include "app/cli_options.h"

// Drafts the patch from make's options and writes it into --out (default: the current folder).
// Returns 0 when written (a summary on `out`); 3 when changes cannot be expressed (each on `out`)
// or the two folders do not differ (said on `out`), nothing written; 2 when an option's folder or
// file cannot be used; 1 when writing failed (what was written is removed again). Errors go to
// `err`.
int RunMakeCommand(const CliOptions& options, std::ostream& out, std::ostream& err);
