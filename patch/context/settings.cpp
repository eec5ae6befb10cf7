#include "patch/context/settings.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "patch/context/change_lock.h"
#include "platform/files.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace {

constexpr const char* kFsRegistryKey =
    "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0";
constexpr const char* kFsRegistryValue = "EXE Path";
// The buffers the registry value, the program's file name and the settings are read into: as
// large as the longest path the system accepts, and never smaller than these.
constexpr size_t kPathBufferSize = 999;
size_t PathBufferSize() { return std::max(kPathBufferSize, platform::LongestPathLength() + 1); }
size_t SettingBufferSize() {
  return std::max(kProfileBufferSize, platform::LongestPathLength() + 1);
}

constexpr const char* kAppPathErrorText =
    "Error obtaining application path !\n\nUnexpected results will occur.\nPlease exit now.\n";
constexpr const char* kMissingFsPathText =
    "The 'FS2004 Installation Path' cannot be located in the registry.  Please select "
    "\n\n"
    "the 'Change Patch' button and select the folder containing FS9.EXE."
    "\n\n";

std::string SettingsFilePath(const PatchContext& context) {
  return platform::JoinPath(context.m_strAppDir, kSettingsFileName);
}

std::string ReadSetting(platform::Disk& disk, const PatchContext& context, const char* key) {
  return disk.ReadSetting(kSettingsSection, key, kProfileMissing, SettingBufferSize(),
                          context.m_strIniFile);
}

bool WriteSetting(platform::Disk& disk, const PatchContext& context, const char* key,
                  const std::string& value) {
  return disk.WriteSetting(kSettingsSection, key, value, context.m_strIniFile);
}

}  // namespace

void ReadRegistryFsPath(PatchContext& context) {
  context.m_strFsPath = "";
  std::optional<std::string> value =
      platform::ReadMachineRegistryString(kFsRegistryKey, kFsRegistryValue, PathBufferSize());
  if (!value) return;
  // The value is a zero-terminated text in a fixed buffer: it ends at its first zero, and one
  // stored without a terminating zero ends at the buffer's end.
  std::string text = std::move(*value);
  size_t end = text.find('\0');
  if (end == std::string::npos) end = text.size();
  if (end > PathBufferSize()) end = PathBufferSize();
  text.resize(end);
  context.m_strFsPath = std::move(text);
}

void DeriveAppDir(PatchContext& context, PatchView& view) {
  std::optional<std::string> ownName = platform::OwnFileName(PathBufferSize());
  if (!ownName) {
    view.ShowStopMessage(kAppPathErrorText, "Warning");
    context.m_strAppDir = "";
  } else {
    // Cut before the last separator; a name without one is taken whole.
    size_t cut = platform::FindLastSeparator(*ownName);
    context.m_strAppDir = cut == std::string::npos ? *ownName : ownName->substr(0, cut);
  }
  context.m_strIniFile = SettingsFilePath(context);
}

void LoadSettings(PatchContext& context, PatchView& view, platform::Disk& disk) {
  std::string fsPath = ReadSetting(disk, context, kSettingsFsPathKey);
  // Even an empty value replaces the registry's folder.
  if (fsPath != kProfileMissing) context.m_strFsPath = fsPath;

  std::string status = ReadSetting(disk, context, kSettingsStatusKey);
  if (status != kProfileMissing) {
    context.m_nPatchStatus = platform::ParseClampedDecimal(status);
  } else {
    context.m_nPatchStatus = 0;
    // Not while another instance changes the folders: its own write of "Status" must stand.
    if (ChangeLock lock; lock.TryTake(context, disk))
      SaveSettingsStatus(context, view, false, disk);
  }
}

bool CheckSceneryConfig(PatchContext& context, PatchView& view, platform::Disk& disk) {
  if (disk.PathExists(SceneryConfigPath(context))) return true;
  view.ShowStopMessage(kMissingFsPathText, "Path Cannot Continue !");
  view.EnableApplyCheckbox(false);
  return false;
}

int SyncApplyCheckbox(PatchContext& context, PatchView& view) {
  context.m_bApplyPatch = context.m_nPatchStatus != 0 ? 1 : 0;
  view.RefreshControls();
  return 0;
}

std::string SceneryConfigPath(const PatchContext& context) {
  return platform::JoinPath(context.m_strFsPath, "SCENERY.CFG");
}

bool SaveSettingsStatus(const PatchContext& context, PatchView& view, bool installed,
                        platform::Disk& disk) {
  if (WriteSetting(disk, context, kSettingsStatusKey, installed ? "1" : "0")) return true;
  view.ShowStopMessage(std::string("The patch is ") + (installed ? "installed" : "removed") +
                           ", but this could not be saved in " + context.m_strIniFile +
                           ".\n\nThe next start will not know it. Please check that the file "
                           "can be written.",
                       "Warning");
  return false;
}

bool SaveSettingsFsPath(PatchContext& context, PatchView& view, const std::string& fsPath,
                        platform::Disk& disk) {
  context.m_strIniFile = SettingsFilePath(context);
  if (WriteSetting(disk, context, kSettingsFsPathKey, fsPath)) return true;
  view.ShowStopMessage("The chosen FS2004 folder could not be saved in " + context.m_strIniFile +
                           ".\n\nIt is used now, but will not be remembered for the next start.",
                       "Warning");
  return false;
}
