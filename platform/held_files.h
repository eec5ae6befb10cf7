#pragma once
// Files that another program holds for a moment (a virus scanner, an indexer, FS2004 itself): the
// host's file calls wait a little for them before they fail, and the logic can ask whether a file
// is held so that its messages name that cause. On Windows a file is held when another program's
// open denies sharing (ERROR_SHARING_VIOLATION) or locks a range of it (ERROR_LOCK_VIOLATION); on
// Linux when another process holds an fcntl lock on it, as Wine does for the locks of Windows
// programs.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// How long a file call waits in all for a held file before it fails, and the pause between tries.
inline constexpr unsigned kHeldFileWaitMilliseconds = 2000;
inline constexpr unsigned kHeldFileRetryMilliseconds = 50;

// True when another program holds the existing file `path` now (see above), so that this program
// could not open it for writing, replace or delete it. False for a missing file or a folder.
// Waits for nothing.
bool FileHeldByAnotherProgram(const std::string& path);

// The files of `paths` that another program holds now, each as FileHeldByAnotherProgram answers;
// the host may ask fewer questions than one per file. Waits for nothing.
std::vector<std::string> FilesHeldNow(const std::vector<std::string>& paths);

// While one lives, the host's file calls ask whether their files are held with fewer questions,
// from one look at the locks of every program taken when it began (Linux; elsewhere it changes
// nothing): for a run of changes made together, such as a batch's replacements. A lock taken
// while it lives may be seen only by the next one.
class HeldFilesAskedTogether {
public:
  HeldFilesAskedTogether();
  ~HeldFilesAskedTogether();
  HeldFilesAskedTogether(const HeldFilesAskedTogether&) = delete;
  HeldFilesAskedTogether& operator=(const HeldFilesAskedTogether&) = delete;

private:
  struct List;
  std::unique_ptr<List> list_;
};

// The files of `paths` that are still held by another program after waiting up to
// kHeldFileWaitMilliseconds in all for them to be released; empty when none is held.
std::vector<std::string> FilesStillHeld(const std::vector<std::string>& paths);

// Calls `attempt` (true on success) once; while it fails and `failedAsHeld()` says the failure was
// a held file, calls it again after short pauses for up to kHeldFileWaitMilliseconds. The result
// of the last attempt. A first attempt that succeeds costs nothing more.
bool RetryWhileHeld(const std::function<bool()>& attempt,
                    const std::function<bool()>& failedAsHeld);

// Returns at once when `held()` is false; otherwise asks again after short pauses for up to
// kHeldFileWaitMilliseconds. True when it ended released.
bool WaitUntilReleased(const std::function<bool()>& held);

}  // namespace platform
