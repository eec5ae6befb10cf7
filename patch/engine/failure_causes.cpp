#include "patch/engine/failure_causes.h"

#include "patch/context/patch_folder.h"
#include "platform/held_files.h"

std::string SourceOpenFailureCause(platform::Disk& disk, const std::string& source) {
  if (platform::FileHeldByAnotherProgram(source)) return kInUseByAnotherProgramText;
  if (LiesInPatchFolder(source)) {
    if (!disk.PathExists(source)) return "The file is missing from the patch folder.";
    return "The file is in the patch folder, but it cannot be read.";
  }
  return "The source file appears to be missing from your FS2004 system.";
}

std::string DestinationFailureCause(platform::Disk& disk, const std::string& destination) {
  if (platform::FileHeldByAnotherProgram(destination)) return kInUseByAnotherProgramText;
  if (disk.IsReadOnlyFile(destination)) return "The file is read-only.";
  return "The OS may have the file locked.\n\nReboot your system and try running the Orvane SETUP "
         "again.";
}

std::string SceneryConfigOpenFailureCause(platform::Disk& disk, const std::string& path) {
  if (platform::FileHeldByAnotherProgram(path))
    return "SCENERY.CFG is in use by another program: FS2004 may be running. Close it, then try "
           "again.";
  if (disk.IsReadOnlyFile(path))
    return "SCENERY.CFG is read-only: clear its read-only attribute, then try again.";
  return "Area you running FS2004 ?";
}
