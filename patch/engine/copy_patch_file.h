#pragma once
// The engine's one file copy.
#include <string>

#include "patch/patch_view.h"

// Copies `source` to `destination` byte for byte in 1000-byte chunks, through a new file beside the
// destination that replaces it only when complete and flushed to the disk. 0 on success; -1 after
// any failure (reported with a "Warning" message), with the destination unchanged.
int CopyPatchFile(PatchView& view, std::string source, std::string destination);
