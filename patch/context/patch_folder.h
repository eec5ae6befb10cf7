#pragma once
// The patch folder: the folder that holds the list files (TITLE.OV, PATH.OV and the five lists) and
// the program beside its replacement files, backups and settings. Start-up makes sure the two are
// one when the program was started from another folder.
#include <string>

#include "patch/context/patch_context.h"
#include "patch/lists/list_catalogue.h"

// The install record the patch folder keeps (patch/engine/install_record.h).
inline constexpr const char* kInstallRecordFileName = "OVPATCH.REC";

// True when `folder` holds at least one of kPatchListFileNames (the list catalogue's seven).
bool HoldsPatchLists(const std::string& folder);

// Start-up, after DeriveAppDir: when the current folder holds none of the list files and the
// program's own folder m_strAppDir does (a shortcut's "Start in", a file manager, a terminal
// elsewhere), m_strAppDir becomes the current folder, so that the lists are read beside the
// program. True when it did.
bool UsePatchBesideProgram(const PatchContext& context);

// The folder the program runs from (its own file's folder, as DeriveAppDir takes it); "" when
// unknown.
std::string ProgramFolder();

// True when `path` names something strictly inside `folder` (at any depth), compared as
// platform::ComparablePath spells them; false for an empty `folder`.
bool LiesInFolder(const std::string& path, const std::string& folder);

// True when `path` names something inside the patch folder: the program's own folder or the current
// folder, where the list files are read; not when it lies in an FS2004 folder (one holding
// SCENERY.CFG) inside that folder. Names compare without regard to case.
bool LiesInPatchFolder(const std::string& path);
