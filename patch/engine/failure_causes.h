#pragma once
// The cause of a failed file step as the user is told it, where the program can know it: a file
// held by another program, a read-only file, a file missing from the patch folder rather than from
// the FS2004 folder. Each gives the text that follows "Error opening file <path>\n\n". The file
// is asked about on the disk the step ran on; whether another program holds it, of the host.
#include <string>

#include "platform/file_layers/disk_interface.h"

// The words for a file held by another program.
inline constexpr const char* kInUseByAnotherProgramText =
    "It is in use by another program (FS2004, a virus scanner or an indexer may hold it). Close "
    "that program, then try again.";

// Why `source` could not be opened for reading: held by another program; missing from the patch
// folder (a replacement or a backup); otherwise, as for a file of the FS2004 folder, "The source
// file appears to be missing from your FS2004 system."
std::string SourceOpenFailureCause(platform::Disk& disk, const std::string& source);

// Why `destination` could not be written or put in place: held by another program; read-only;
// otherwise "The OS may have the file locked. ..." with the advice to reboot.
std::string DestinationFailureCause(platform::Disk& disk, const std::string& destination);

// Why SCENERY.CFG at `path` could not be opened to be written: held by another program (FS2004
// rewrites it), read-only, or else the question whether FS2004 is running.
std::string SceneryConfigOpenFailureCause(platform::Disk& disk, const std::string& path);
