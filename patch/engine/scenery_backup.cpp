#include "patch/engine/scenery_backup.h"

#include <algorithm>
#include <vector>

#include "patch/engine/copy_patch_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

constexpr const char* kStampFormat = "%Y%m%d-%H%M%S";
constexpr size_t kStampLength = 15;  // yyyymmdd-hhmmss

}  // namespace

bool IsSceneryBackupName(const std::string& name) {
  const std::string upper = platform::UpperCase(name);
  const std::string prefix = "SCENERY.";
  const std::string suffix = ".CFG";
  if (upper.size() != prefix.size() + kStampLength + suffix.size()) return false;
  if (upper.compare(0, prefix.size(), prefix) != 0) return false;
  if (upper.compare(upper.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
  const std::string stamp = upper.substr(prefix.size(), kStampLength);
  for (size_t i = 0; i < stamp.size(); ++i) {
    const bool digit = stamp[i] >= '0' && stamp[i] <= '9';
    if (i == 8 ? stamp[i] != '-' : !digit) return false;
  }
  return true;
}

std::string BackupSceneryConfig(const PatchContext& context, PatchView& view) {
  const std::string config = context.m_strFsPath + "\\SCENERY.CFG";
  if (!platform::PathExists(config) || platform::IsFolder(config)) return "";
  const std::string copy =
      context.m_strFsPath + "\\SCENERY." + platform::LocalTimeText(kStampFormat) + ".CFG";
  if (CopyPatchFile(view, config, copy) != 0) return "";

  // The stamps sort by time: the first names are the oldest.
  std::vector<std::string> backups = platform::FolderEntryNames(context.m_strFsPath);
  std::erase_if(backups, [](const std::string& name) { return !IsSceneryBackupName(name); });
  std::sort(backups.begin(), backups.end(), [](const std::string& a, const std::string& b) {
    return platform::UpperCase(a) < platform::UpperCase(b);
  });
  const size_t surplus =
      backups.size() > static_cast<size_t>(kSceneryBackupsKept) ? backups.size() - kSceneryBackupsKept : 0;
  for (size_t i = 0; i < surplus; ++i) platform::RemoveFile(context.m_strFsPath + "\\" + backups[i]);
  return copy;
}
