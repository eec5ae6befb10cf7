#pragma once
// Start-up of the context (the settings file read and written through the disk it is handed): FS2004 folder from the registry and the settings file, the program's own
// folder, the recorded patch state; the checks shared by start-up and the folder changes; and the
// writes of the settings file.
#include <string>

#include "patch/context/patch_context.h"
#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"

inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kSettingsFsPathKey = "Fs2004";
inline constexpr const char* kSettingsStatusKey = "Status";
inline constexpr const char* kSettingsFileName = "OVPATCH.INI";
// Default text of every profile read; a value equal to it counts as missing.
inline constexpr const char* kProfileMissing = "undefined";
// The buffer of every SCENERY.CFG read; settings are read in one at least as large.
inline constexpr size_t kProfileBufferSize = 998;

// m_strFsPath = the FS2004 registry value "EXE Path", or "" when it cannot be read.
void ReadRegistryFsPath(PatchContext& context);

// m_strAppDir = the program's folder (no trailing separator) and m_strIniFile beside it; shows a
// "Warning" when the program's file name cannot be obtained (m_strAppDir is then "").
void DeriveAppDir(PatchContext& context, PatchView& view);

// Overrides m_strFsPath with the settings key "Fs2004" when present; sets m_nPatchStatus from
// "Status", writing "Status" = "0" when the key is missing (unless another instance is changing
// the folders: see change_lock.h), with the "Warning" of SaveSettingsStatus when that write fails.
void LoadSettings(PatchContext& context, PatchView& view,
                  platform::Disk& disk = platform::HostDisk());

// True when SCENERY.CFG exists in m_strFsPath; otherwise shows why, disables the checkbox, false.
bool CheckSceneryConfig(PatchContext& context, PatchView& view,
                        platform::Disk& disk = platform::HostDisk());

// Ticks the checkbox from m_nPatchStatus and refreshes every control. Always 0.
int SyncApplyCheckbox(PatchContext& context, PatchView& view);

// "<m_strFsPath>\SCENERY.CFG".
std::string SceneryConfigPath(const PatchContext& context);

// Writes "Status" = "1" (installed) or "0" (removed) to the settings file. m_nPatchStatus keeps its
// start-up value. False after a "Warning" when it cannot be written.
bool SaveSettingsStatus(const PatchContext& context, PatchView& view, bool installed,
                        platform::Disk& disk = platform::HostDisk());

// Recomputes m_strIniFile beside m_strAppDir and writes `fsPath` as "Fs2004" there. False after a
// "Warning" when it cannot be written.
bool SaveSettingsFsPath(PatchContext& context, PatchView& view, const std::string& fsPath,
                        platform::Disk& disk = platform::HostDisk());
