#pragma once
// Start only what can finish: before the first change of an install or removal, the causes that
// would stop it part-way and leave FS2004 half patched, each told as one sentence to the user. The
// controller refuses the run when there is any; the plan foresees them with the same words.
#include <cstdint>
#include <string>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/context/patch_folder.h"
#include "patch/lists/list_files.h"
#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"


// What a run would write and change, as its plan foresees it.
struct RunFootprint {
  struct Write {
    std::string path;    // the file as it ends (a copy's destination, a rewritten file)
    uint64_t bytes = 0;  // its size when written
  };
  std::vector<Write> writes;
  // Existing files the run reads, replaces, renames or deletes.
  std::vector<std::string> files;
};

// The causes that would leave the install (`install`) or removal half done, in this order; empty
// when none:
// - the patch folder m_strAppDir does not accept the files the run writes there (backups on an
//   install, OVPATCH.INI, OVPATCH.LOG, OVPATCH.REC where it exists): a new file cannot be made
//   there, or one of them is read-only or a folder;
// - FS2004 is running from m_strFsPath (its FS9.EXE);
// - a file of the footprint or one the list files name, or the settings, log or SCENERY.CFG, is
//   still held by another program after the short wait for it (platform/held_files.h);
// - a disk the run writes to has fewer free bytes than the run's files take in its allocation
//   units (the folders on one disk counted together).
// The files and the list files are asked about on `disk`; other programs, free space and allocation
// units are the host's. On a disk that changes the host's files, whether the patch folder takes
// new files is found out by making one and removing it again (the run's own check, which sees a
// full disk too); otherwise (a plan) by what the system tells of the folder, and nothing is written.
// `lists` are the list files as the run reads them.
std::vector<std::string> FindRunObstacles(const PatchContext& context, bool install,
                                          const PatchLists& lists, const RunFootprint& footprint,
                                          platform::Disk& disk);

// The text of the one "Warning" that refuses the run: the operation not started, nothing changed,
// each cause on a paragraph of its own.
std::string RunObstaclesText(const std::vector<std::string>& obstacles, bool install);

// True when `obstacles` is empty. Otherwise shows RunObstaclesText as one "Warning" and returns
// false: the caller starts nothing.
bool ShowRunObstacles(PatchView& view, const std::vector<std::string>& obstacles, bool install);
