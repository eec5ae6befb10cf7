#include "patch/context/run_obstacles.h"

#include <map>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "patch/audit/operation_record.h"
#include "patch/context/patch_folder.h"
#include "patch/context/settings.h"
#include "patch/lists/list_files.h"
#include "platform/disk_space.h"
#include "platform/files.h"
#include "platform/held_files.h"
#include "platform/running_programs.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace {

constexpr const char* kFs2004ProgramName = "FS9.EXE";
constexpr const char* kFs2004RunningText = "FS2004 is running: close it, then try again.";
// What the change log and the install record grow by for each file of a run, at most.
constexpr uint64_t kRecordBytesPerFile = 256;

using platform::JoinPath;

std::string Joined(const std::vector<std::string>& parts, const std::string& separator,
                   const std::string& last) {
  std::string text;
  for (size_t i = 0; i < parts.size(); ++i)
    text += (i == 0 ? "" : i + 1 == parts.size() ? last : separator) + parts[i];
  return text;
}

// The files of its own the run writes in the patch folder, besides the backups.
std::vector<std::string> OwnFileNames(const PatchContext& context, platform::Disk& disk) {
  std::vector<std::string> names{kSettingsFileName, kChangeLogFileName};
  if (disk.PathExists(JoinPath(context.m_strAppDir, kInstallRecordFileName)))
    names.push_back(kInstallRecordFileName);
  return names;
}

void CheckPatchFolder(const PatchContext& context, bool install, const RunFootprint& footprint,
                      platform::Disk& disk, std::vector<std::string>& obstacles) {
  const std::string& folder = context.m_strAppDir;
  if (folder.empty()) return;  // start-up has said that the program's folder is unknown
  const std::vector<std::string> ownNames = OwnFileNames(context, disk);
  // A probe writes a file: a plan, which changes nothing, asks without one.
  const bool accepts = disk.ChangesHostFiles() ? platform::FolderAcceptsNewFiles(folder)
                                               : disk.FolderAcceptsChanges(folder);
  if (!accepts) {
    std::vector<std::string> what = ownNames;
    if (install) what.insert(what.begin(), "the backups");
    obstacles.push_back("The patch folder " + folder +
                        " does not accept new files (its disk may be read-only or full, or this "
                        "program may not write there), so " +
                        Joined(what, ", ", " and ") + " cannot be written there.");
    return;
  }
  std::vector<std::string> files;
  for (const std::string& name : ownNames) files.push_back(JoinPath(folder, name));
  for (const RunFootprint::Write& write : footprint.writes)
    if (LiesInFolder(write.path, folder)) files.push_back(write.path);
  for (const std::string& file : files) {
    const char* why = disk.IsFolder(file)         ? "a folder of that name is in the way"
                      : disk.IsReadOnlyFile(file) ? "it is read-only"
                                                  : nullptr;
    if (why) obstacles.push_back("The patch folder cannot take " + file + ": " + why + ".");
  }
}

// Every file the list files name, in each form the run may find it: REN.OV's names as written,
// scenery names as NAME.BGL and NAME.XXX, the patch folder's backups and replacements as NAME.BGL.
// A plan that could not read a file records no change of it, so these are asked as well. A
// removal with an install record decides from the record, not from the replacements: they are
// left out then.
std::vector<std::string> ListedFiles(const PatchContext& context, bool install,
                                     const PatchLists& lists, platform::Disk& disk) {
  const bool readsReplacements =
      install || !disk.PathExists(JoinPath(context.m_strAppDir, kInstallRecordFileName));
  std::vector<std::string> files;
  const auto add = [&](const ListName& name, std::initializer_list<const char*> extensions) {
    if (!name.inside || name.path.empty()) return;
    for (const char* extension : extensions) files.push_back(name.path + extension);
  };
  for (const ListRecord& record : lists.rename)
    for (const ListName& name : record.names) add(name, {""});
  for (const ListRecord& record : lists.remove) add(record.names[0], {".BGL", ".XXX"});
  for (const ListRecord& record : lists.backup) {
    add(record.names[0], {".BGL", ".XXX"});
    add(record.names[1], {".BGL"});
  }
  for (const ListRecord& record : lists.install) {
    if (readsReplacements) add(record.names[1], {".BGL"});
    add(record.names[2], {".BGL", ".XXX"});
  }
  return files;
}

void CheckHeldFiles(const PatchContext& context, bool install, const PatchLists& lists,
                    const RunFootprint& footprint, platform::Disk& disk,
                    std::vector<std::string>& obstacles) {
  std::vector<std::string> files = footprint.files;
  for (std::string& file : ListedFiles(context, install, lists, disk))
    files.push_back(std::move(file));
  for (const std::string& name : OwnFileNames(context, disk))
    files.push_back(JoinPath(context.m_strAppDir, name));
  if (install) files.push_back(SceneryConfigPath(context));
  // A file that is not there is held by no one: the host's probe says so without a question more.
  // Most repeats are spelled alike: those are passed over before the comparable form is made.
  std::unordered_set<std::string_view> spelled;
  std::unordered_set<std::string> seen;
  spelled.reserve(files.size());
  seen.reserve(files.size());
  std::vector<std::string> unique;
  for (const std::string& file : files)
    if (spelled.insert(file).second &&
        seen.insert(platform::ComparablePath(file, platform::TrailingSeparator::kDrop)).second)
      unique.push_back(file);
  const std::vector<std::string> held = platform::FilesStillHeld(unique);
  if (held.empty()) return;
  obstacles.push_back("These files are in use by another program:\n" + Joined(held, "\n", "\n") +
                      "\nClose that program, then try again.");
}

// The folder that holds `path` and exists now: its parent, or the nearest one above it.
std::string ExistingFolderOf(platform::Disk& disk, const std::string& path) {
  std::string folder = path;
  for (;;) {
    const size_t cut = platform::FindLastSeparator(folder);
    if (cut == std::string::npos || cut == 0) return folder;
    folder.resize(cut);
    if (disk.IsFolder(folder)) return folder;
  }
}

// One disk the run writes to: the folders named for it, and what the run's files take there.
struct DiskNeed {
  std::vector<std::string> folders;
  std::string anyFolder;  // a folder on it, to ask the free space of
  uint64_t unit = 0;
  uint64_t bytes = 0;
};

class DiskNeeds {
public:
  DiskNeeds(const PatchContext& context, platform::Disk& disk) : context_(context), disk_(disk) {}

  // The disk of the file `path`, and the folder it is told by: the FS2004 or the patch folder when
  // it lies in one, else the folder that holds it.
  DiskNeed& DiskOf(const std::string& path) {
    const std::string* lyingIn = nullptr;
    for (const std::string* folder : {&context_.m_strFsPath, &context_.m_strAppDir})
      if (LiesInFolder(path, *folder)) lyingIn = folder;
    const std::string named = lyingIn ? *lyingIn : ExistingFolderOf(disk_, path);
    auto known = byFolder_.find(named);
    if (known == byFolder_.end()) {
      const std::optional<uint64_t> id = platform::DiskIdentity(named);
      const std::string key = id ? std::to_string(*id) : "folder " + named;
      DiskNeed& disk = byDisk_[key];
      if (disk.anyFolder.empty()) {
        disk.anyFolder = named;
        disk.unit = platform::AllocationUnit(named).value_or(0);
      }
      disk.folders.push_back(named);
      known = byFolder_.emplace(named, &disk).first;
    }
    return *known->second;
  }
  void Add(const std::string& path, uint64_t bytes) {
    DiskNeed& disk = DiskOf(path);
    disk.bytes += platform::RoundUpToUnits(bytes, disk.unit);
  }
  const std::map<std::string, DiskNeed>& Disks() const { return byDisk_; }

private:
  const PatchContext& context_;
  platform::Disk& disk_;
  std::map<std::string, DiskNeed> byDisk_;
  std::map<std::string, DiskNeed*> byFolder_;
};

void CheckFreeSpace(const PatchContext& context, bool install, const RunFootprint& footprint,
                    platform::Disk& disk, std::vector<std::string>& obstacles) {
  DiskNeeds needs(context, disk);
  for (const RunFootprint::Write& write : footprint.writes) needs.Add(write.path, write.bytes);
  if (!context.m_strAppDir.empty()) {
    // The settings are rewritten through a scratch file; the log and the record grow by a line or
    // so per file.
    const uint64_t perRun =
        kRecordBytesPerFile * (footprint.writes.size() + footprint.files.size() + 2);
    needs.Add(JoinPath(context.m_strAppDir, kSettingsFileName), 1);
    needs.Add(JoinPath(context.m_strAppDir, kChangeLogFileName), perRun);
    const std::string record = JoinPath(context.m_strAppDir, kInstallRecordFileName);
    if (const std::optional<uint64_t> size = disk.FileSize(record))
      needs.Add(record, *size + perRun);
  }
  for (const auto& [key, need] : needs.Disks()) {
    const std::optional<uint64_t> free = platform::FreeDiskSpace(need.anyFolder);
    if (!free || *free >= need.bytes) continue;
    const std::string units =
        need.unit == 0 ? ""
                       : " (" + std::to_string(need.bytes / need.unit) + " allocation units of " +
                             std::to_string(need.unit) + " bytes)";
    obstacles.push_back("Not enough free disk space for " + Joined(need.folders, ", ", " and ") +
                        ": the " + (install ? "install" : "removal") + " needs " +
                        std::to_string(need.bytes) + " bytes" + units + ", " +
                        std::to_string(*free) + " bytes are free.");
  }
}

}  // namespace

std::vector<std::string> FindRunObstacles(const PatchContext& context, bool install,
                                          const PatchLists& lists, const RunFootprint& footprint,
                                          platform::Disk& disk) {
  std::vector<std::string> obstacles;
  CheckPatchFolder(context, install, footprint, disk, obstacles);
  if (platform::ProgramFileRunning(JoinPath(context.m_strFsPath, kFs2004ProgramName)))
    obstacles.push_back(kFs2004RunningText);
  CheckHeldFiles(context, install, lists, footprint, disk, obstacles);
  CheckFreeSpace(context, install, footprint, disk, obstacles);
  return obstacles;
}

std::string RunObstaclesText(const std::vector<std::string>& obstacles, bool install) {
  return std::string("The patch cannot be ") + (install ? "installed" : "removed") +
         " now; nothing has been changed.\n\n" + Joined(obstacles, "\n\n", "\n\n");
}

bool ShowRunObstacles(PatchView& view, const std::vector<std::string>& obstacles, bool install) {
  if (obstacles.empty()) return true;
  view.ShowStopMessage(RunObstaclesText(obstacles, install), "Warning");
  return false;
}
