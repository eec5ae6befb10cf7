#include "patch/engine/scenery_library.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "patch/context/settings.h"
#include "patch/engine/copy_patch_file.h"
#include "patch/engine/failure_causes.h"
#include "patch/lists/list_catalogue.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/strings.h"
#include "platform/text.h"
#include "platform/file_layers/whole_file.h"

SceneryAreaTable g_sceneryAreaTable;
int32_t g_nHighestLayer = 0;

namespace {

constexpr const char* kExcludeTitle = "Orvane - Exclude Files For Addon Patches";

// Which Area.001 to Area.998 sections SCENERY.CFG holds at all, with or without a Layer key. A
// section without Layer leaves its table slot empty, yet its number must not be handed out again:
// the profile reader would only ever see the first of two sections of one name.
std::array<bool, kHighestAreaNumber + 1> g_sceneryAreaSectionExists{};

// The number N of a section name "Area.NNN" (three digits, any letter case) from 1 to 998; 0 for
// any other name.
int AreaNumberOfSection(const std::string& sectionName) {
  static const char kPrefix[] = "AREA.";
  if (sectionName.size() != 8) return 0;
  for (int i = 0; i < 5; ++i)
    if (platform::AsciiUpper(sectionName[i]) != kPrefix[i]) return 0;
  int number = 0;
  for (int i = 5; i < 8; ++i) {
    const char c = sectionName[i];
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return number <= kHighestAreaNumber ? number : 0;
}

std::string ReadAreaKey(const char* section, const char* key, const platform::ProfileSnapshot& file) {
  return file.ReadString(section, key, kProfileMissing, kProfileBufferSize);
}

}  // namespace

void RegisterExcludeArea(PatchContext& context, PatchView& view, platform::Disk& disk,
                         int32_t* appendedArea) {
  if (!disk.PathExists(kCreateListFile.name)) return;

  LoadSceneryAreas(context);
  int32_t layer = 0;
  int32_t areaNumber = 0;
  // A present area is left exactly as it is, active or not.
  if (FindAreaByLocal(kExcludeAreaLocal, layer, areaNumber)) return;

  const int32_t freeNumber = FindFreeAreaNumber();
  if (freeNumber == 0) {
    view.ShowStopMessage(
        "The Orvane exclusion area could not be added to SCENERY.CFG: the scenery library "
        "already uses every area number from 1 to 998, so there is no free number for it.\n\n"
        "The patch is installed without it.",
        "Warning");
    return;
  }
  const int32_t newLayer = g_nHighestLayer == INT_MAX ? INT_MAX : g_nHighestLayer + 1;
  if (AppendSceneryArea(context, view, freeNumber, newLayer, kExcludeAreaLocal, kExcludeTitle,
                        true, disk) == 0 &&
      appendedArea)
    *appendedArea = freeNumber;
}

void LoadSceneryAreas(PatchContext& context) {
  // One reading of the file for the ~3000 keys asked below.
  const platform::ProfileSnapshot file(SceneryConfigPath(context));

  g_sceneryAreaSectionExists.fill(false);
  for (const std::string& name : file.SectionNames())
    if (const int n = AreaNumberOfSection(name); n > 0) g_sceneryAreaSectionExists[n] = true;

  for (int n = 1; n <= kHighestAreaNumber; ++n) {
    char section[16];
    std::snprintf(section, sizeof section, "Area.%03d", n);
    SceneryArea& area = g_sceneryAreaTable[n];

    const std::string layer = ReadAreaKey(section, "Layer", file);
    if (layer == kProfileMissing) {
      area = SceneryArea{};
      continue;
    }
    area.areaNumber = n;
    area.layer = platform::ParseClampedDecimal(layer);
    if (area.layer > g_nHighestLayer) g_nHighestLayer = area.layer;

    area.local = ReadAreaKey(section, "Local", file);
    if (area.local == kProfileMissing) area.local.clear();
    area.title = ReadAreaKey(section, "Title", file);
    if (area.title == kProfileMissing) area.title.clear();
  }
}

bool FindAreaByLocal(std::string local, int32_t& layer, int32_t& areaNumber) {
  const std::string wanted = platform::UpperCase(local);
  for (int n = 1; n <= kHighestAreaNumber; ++n) {
    const SceneryArea& area = g_sceneryAreaTable[n];
    if (platform::UpperCase(area.local) == wanted) {
      layer = area.layer;
      areaNumber = area.areaNumber;
      return true;
    }
  }
  return false;
}

int32_t FindFreeAreaNumber() {
  for (int n = 1; n <= kHighestAreaNumber; ++n)
    if (g_sceneryAreaTable[n].areaNumber == 0 && !g_sceneryAreaSectionExists[n]) return n;
  return 0;
}

int AppendSceneryArea(PatchContext& context, PatchView& view, int32_t areaNumber, int32_t layer,
                      std::string local, std::string title, bool active, platform::Disk& disk) {
  // Only numbers that name a table slot can be written.
  if (areaNumber < 1 || areaNumber > kHighestAreaNumber) return -1;

  char header[32];
  std::snprintf(header, sizeof header, "\n[Area.%03d]\n", static_cast<int>(areaNumber));
  const std::string section = header + ("Title=" + title + "\n") + ("Local=" + local + "\n") +
                              "Layer=" + std::to_string(layer) + "\n" +
                              (active ? "Active=TRUE\n" : "Active=FALSE\n") + "Required=FALSE\n" +
                              "Remote=\n";
  const std::string path = SceneryConfigPath(context);
  // No change without its dated copy: the user must always be able to go back.
  if (disk.IsFolder(path) || !disk.PathExists(path)) {
    // Nothing to copy: a missing file is created with the area alone; a folder fails below.
  } else if (BackupSceneryConfig(context, view, disk).empty()) {
    view.ShowStopMessage(
        "The Orvane exclusion area was not added to SCENERY.CFG, because no dated copy of the file "
        "could be made beside it first.\n\nSCENERY.CFG has been left as it was.",
        "Warning");
    return -1;
  }
  char appended[48];
  std::snprintf(appended, sizeof appended, "area Area.%03d (layer %d)",
                static_cast<int>(areaNumber), static_cast<int>(layer));
  // Written as a whole: a failure part-way leaves SCENERY.CFG exactly as it was.
  switch (disk.AppendText(path, section, appended)) {
    case platform::WriteOutcome::Done:
      break;
    case platform::WriteOutcome::WriteFailed:
      view.ShowStopMessage(
          "Error writing SCENERY.CFG file.\n\nThe disk may be full. SCENERY.CFG has been left as "
          "it was.\n\nCannot complete configuration.",
          "Warning");
      return -1;
    default:
      view.ShowStopMessage("Error opening SCENERY.CFG file.\n\n" +
                               SceneryConfigOpenFailureCause(disk, path) +
                               "\n\nCannot complete configuration.",
                           "Warning");
      return -1;
  }
  g_sceneryAreaTable[areaNumber] =
      SceneryArea{areaNumber, layer, std::move(local), std::move(title)};
  g_sceneryAreaSectionExists[areaNumber] = true;
  return 0;
}

namespace {

constexpr const char* kBackupStampFormat = "%Y%m%d-%H%M%S";
constexpr size_t kBackupStampLength = 15;  // yyyymmdd-hhmmss

}  // namespace

bool IsSceneryBackupName(const std::string& name) {
  const std::string upper = platform::UpperCase(name);
  const std::string prefix = "SCENERY.";
  const std::string suffix = ".CFG";
  if (upper.size() != prefix.size() + kBackupStampLength + suffix.size()) return false;
  if (upper.compare(0, prefix.size(), prefix) != 0) return false;
  if (upper.compare(upper.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
  const std::string stamp = upper.substr(prefix.size(), kBackupStampLength);
  for (size_t i = 0; i < stamp.size(); ++i) {
    const bool digit = stamp[i] >= '0' && stamp[i] <= '9';
    if (i == 8 ? stamp[i] != '-' : !digit) return false;
  }
  return true;
}

std::string BackupSceneryConfig(const PatchContext& context, PatchView& view,
                                platform::Disk& disk) {
  const std::string config = SceneryConfigPath(context);
  if (!disk.PathExists(config) || disk.IsFolder(config)) return "";
  const std::string copy = platform::JoinPath(
      context.m_strFsPath, "SCENERY." + platform::LocalTimeText(kBackupStampFormat) + ".CFG");
  if (CopyPatchFile(view, disk, config, copy) != 0) return "";

  // The stamps sort by time: the first names are the oldest.
  std::vector<std::string> backups = disk.FolderEntryNames(context.m_strFsPath);
  std::erase_if(backups, [](const std::string& name) { return !IsSceneryBackupName(name); });
  std::sort(backups.begin(), backups.end(), [](const std::string& a, const std::string& b) {
    return platform::UpperCase(a) < platform::UpperCase(b);
  });
  const size_t surplus = backups.size() > static_cast<size_t>(kSceneryBackupsKept)
                             ? backups.size() - kSceneryBackupsKept
                             : 0;
  // An old copy that cannot be deleted only stays behind: the new one is made either way.
  for (size_t i = 0; i < surplus; ++i)
    disk.RemoveFile(platform::JoinPath(context.m_strFsPath, backups[i]));
  return copy;
}
