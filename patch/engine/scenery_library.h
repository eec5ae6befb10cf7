#pragma once
// Registration of the exclusion area in FS2004's SCENERY.CFG: the program-wide table of its
// [Area.NNN] sections, read through the profile services; a new section is appended by writing the
// whole file anew, which replaces the old one only when complete.
#include <array>
#include <cstdint>
#include <string>

#include "patch/context/patch_context.h"
#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"

// One [Area.NNN] section as held in memory; areaNumber 0 marks an empty slot.
struct SceneryArea {
  int32_t areaNumber = 0;
  int32_t layer = 0;
  std::string local;
  std::string title;
};

inline constexpr int kHighestAreaNumber = 998;

// The Local value that names the exclusion area.
inline constexpr const char* kExcludeAreaLocal = "SCENERY\\OV_EXCLUDES";

// Slots 1 to 998 mirror Area.001 to Area.998 of the last SCENERY.CFG loaded; slot 0 is unused.
using SceneryAreaTable = std::array<SceneryArea, kHighestAreaNumber + 1>;
extern SceneryAreaTable g_sceneryAreaTable;
// The highest Layer seen in any SCENERY.CFG loaded in this run (0 at start); never lowered.
extern int32_t g_nHighestLayer;

// Adds the exclusion area to SCENERY.CFG on `disk` (AppendSceneryArea, one layer above the highest)
// when CREATE.OV exists in the current folder and no area has its Local value yet; when every area
// number is taken, a "Warning" says that the patch is installed without it. `appendedArea`, when
// given, receives the number of the area appended (left as it is when none was).
void RegisterExcludeArea(PatchContext& context, PatchView& view,
                         platform::Disk& disk = platform::HostDisk(),
                         int32_t* appendedArea = nullptr);

// Fills slots 1 to 998 from SCENERY.CFG in m_strFsPath and raises g_nHighestLayer.
void LoadSceneryAreas(PatchContext& context);

// True, with the area's layer and number, when a slot's Local equals `local` without regard to
// case.
bool FindAreaByLocal(std::string local, int32_t& layer, int32_t& areaNumber);

// The lowest free area number from 1 to 998, or 0 when none is free.
int32_t FindFreeAreaNumber();

// Appends one [Area.NNN] section to SCENERY.CFG on `disk`, only once a dated copy of the file
// (BackupSceneryConfig) is on the disk, and records it in its slot; the whole file is written anew
// and replaces the old one only when complete. A missing SCENERY.CFG is created holding the area
// alone. 0 on success. -1 with SCENERY.CFG unchanged: after a "Warning" message when the dated
// copy cannot be made or the file cannot be read, written or replaced; at once, with no message
// and no copy, when `areaNumber` names no slot (1 to kHighestAreaNumber).
int AppendSceneryArea(PatchContext& context, PatchView& view, int32_t areaNumber, int32_t layer,
                      std::string local, std::string title, bool active,
                      platform::Disk& disk = platform::HostDisk());

// How many dated copies of SCENERY.CFG are kept.
inline constexpr int kSceneryBackupsKept = 3;

// Copies SCENERY.CFG of m_strFsPath beside it as "SCENERY.yyyymmdd-hhmmss.CFG" (local time), then
// deletes all but the newest kSceneryBackupsKept such copies. Nothing happens when SCENERY.CFG is
// not a file; a failed copy is reported as every copy is, and no old copy is deleted then. Returns
// the copy's path, or "" when none was made.
std::string BackupSceneryConfig(const PatchContext& context, PatchView& view,
                                platform::Disk& disk = platform::HostDisk());

// True for the name of such a copy, in any letter case.
bool IsSceneryBackupName(const std::string& name);
