#pragma once
// Finding, remembering and choosing the folder of the product to be patched (TITLE.OV, PATH.OV).
#include <string>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"

// The search folders of PATH.OV (relative to the FS2004 folder), in file order; filled at start-up,
// or by the first change of the FS2004 folder when start-up stopped before reading it.
struct ProductSearchList {
  std::vector<std::string> entries;
  bool loaded = false;  // PATH.OV has been read in this run
};
extern ProductSearchList g_productSearchList;

// Reads PATH.OV into g_productSearchList. 0 when read; -1 (after a "Critical Error") when missing.
// Leaves the checkbox disabled.
int LoadProductSearchList(PatchContext& context, PatchView& view,
                          platform::Disk& disk = platform::HostDisk());

// Reads TITLE.OV and confirms the remembered folder, or searches g_productSearchList and remembers
// the folder found in TITLE.OV (unless another instance is changing the folders). 0 when a folder
// is confirmed (checkbox enabled); -1 after a message when not found or TITLE.OV is missing.
int LocateProduct(PatchContext& context, PatchView& view,
                  platform::Disk& disk = platform::HostDisk());

// Rewrites TITLE.OV from the three product fields. Always 0; leaves the checkbox disabled.
int SaveProductTitleFile(PatchContext& context, PatchView& view,
                         platform::Disk& disk = platform::HostDisk());

// "Change Install Path": lets the user pick the product folder, remembers it, locates again.
void ChangeProductPath(PatchContext& context, PatchView& view,
                       platform::Disk& disk = platform::HostDisk());
