#pragma once
// One instance at a time changes a patch folder and an FS2004 folder: start-up's writes, the
// install, the removal and the two folder changes each hold a ChangeLock while they run.
#include "patch/context/patch_context.h"
#include "patch/patch_view.h"
#include "platform/file_layers/disk_interface.h"
#include "platform/folder_lock.h"

// The locks of a context's program folder (m_strAppDir, where the backups and settings are) and of
// its FS2004 folder (m_strFsPath). The system releases them when the process ends, however it
// ends. While one ChangeLock of this process holds them, every other one taken in this process is
// granted at once: the actions of one instance nest without refusing each other.
class ChangeLock {
public:
  ChangeLock() = default;
  ~ChangeLock();
  ChangeLock(const ChangeLock&) = delete;
  ChangeLock& operator=(const ChangeLock&) = delete;

  // Takes both locks without waiting; a folder that cannot be locked (missing, not writable) is
  // left out. False when another instance holds either: nothing is held then. A disk that does
  // not change the host's files (a plan's) needs no lock: it is granted at once, and nothing is
  // added to any folder.
  bool TryTake(const PatchContext& context, const platform::Disk& disk = platform::HostDisk());

private:
  bool held_ = false;
  platform::FolderLock programFolder_;
  platform::FolderLock fsFolder_;
};

// Takes `lock`; when another instance holds it, shows the "Warning" that another install or
// removal is running and returns false: the caller then changes nothing.
bool LockForChange(ChangeLock& lock, const PatchContext& context, PatchView& view,
                   const platform::Disk& disk = platform::HostDisk());

// True when another instance holds the lock of the context's program folder or FS2004 folder;
// false while this process holds a ChangeLock. Looking never makes a taker fail.
bool ChangeUnderWay(const PatchContext& context);

// The status line of a dialog that starts while another instance is changing its folders.
inline constexpr const char* kChangeUnderWayStatus = "Another install or removal is running";
