#pragma once
// One REN.OV record applied in either direction.
#include <string>

#include "patch/context/patch_context.h"

// Moves `from` to `to`: when `to` already exists the file `from` is deleted instead (the target
// name wins); when neither exists nothing happens. Does nothing when the two names are the same
// file (compared after resolving, without regard to case) or when either name is empty.
void ApplyRename(const std::string& from, const std::string& to);

// The two names of a REN.OV line, resolved: first the name before the patch, then the name while
// the patch is installed. Empty paths for a value that is missing from the line.
struct RenamePair {
  std::string original;
  std::string patched;
};
RenamePair ResolveRenameRecord(const PatchContext& context, const std::string& line);

// True when the two paths name the same file: equal after unifying the separators, merging
// repeated ones and upper-casing.
bool SameFileName(const std::string& a, const std::string& b);
