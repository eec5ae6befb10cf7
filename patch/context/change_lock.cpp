#include "patch/context/change_lock.h"

namespace {

// ChangeLocks of this process that hold their folders now.
int g_nChangeLocksHeld = 0;

constexpr const char* kChangeUnderWayText =
    "Another install or removal is running on this FS2004 folder.\n"
    "Please try again when it has finished.";

using platform::FolderLockPlace;
using platform::FolderLockResult;

// Takes `lock` of `folder` unless there is none; false only when another holder has it.
bool TakeUnlessBusy(platform::FolderLock& lock, const std::string& folder, FolderLockPlace place) {
  return folder.empty() || lock.TryTake(folder, place) != FolderLockResult::kBusy;
}

}  // namespace

ChangeLock::~ChangeLock() {
  if (held_) --g_nChangeLocksHeld;
}

bool ChangeLock::TryTake(const PatchContext& context, const platform::Disk& disk) {
  if (held_) return true;
  if (!disk.ChangesHostFiles()) {
    held_ = true;
    ++g_nChangeLocksHeld;
    return true;
  }
  // The locks of this process are already held: another open of them would refuse itself.
  if (g_nChangeLocksHeld == 0) {
    // Always the program folder first, so that of two instances after the same folders one gets
    // both, rather than each one of them.
    if (!TakeUnlessBusy(programFolder_, context.m_strAppDir, FolderLockPlace::kLockFile))
      return false;
    if (!TakeUnlessBusy(fsFolder_, context.m_strFsPath, FolderLockPlace::kNoFile)) {
      programFolder_.Release();
      return false;
    }
  }
  held_ = true;
  ++g_nChangeLocksHeld;
  return true;
}

bool LockForChange(ChangeLock& lock, const PatchContext& context, PatchView& view,
                   const platform::Disk& disk) {
  if (lock.TryTake(context, disk)) return true;
  view.ShowStopMessage(kChangeUnderWayText, "Warning");
  return false;
}

bool ChangeUnderWay(const PatchContext& context) {
  if (g_nChangeLocksHeld != 0) return false;
  return (!context.m_strAppDir.empty() &&
          platform::FolderLockTaken(context.m_strAppDir, FolderLockPlace::kLockFile)) ||
         (!context.m_strFsPath.empty() &&
          platform::FolderLockTaken(context.m_strFsPath, FolderLockPlace::kNoFile));
}
