#include "patch/context/patch_folder.h"

#include <optional>

#include "platform/files.h"
#include "platform/module.h"
#include "platform/strings.h"
#include "platform/text.h"

bool LiesInFolder(const std::string& path, const std::string& folder) {
  if (folder.empty()) return false;
  using platform::ComparablePath;
  using platform::TrailingSeparator;
  std::string prefix = ComparablePath(folder, TrailingSeparator::kDrop);
  if (prefix.back() != '\\') prefix += '\\';
  return ComparablePath(path, TrailingSeparator::kKeep).rfind(prefix, 0) == 0;
}

bool HoldsPatchLists(const std::string& folder) {
  const platform::FileOperationScope operation;  // one look at the folder for all the names
  for (const char* name : kPatchListFileNames)
    if (platform::PathExists(platform::JoinPath(folder, name))) return true;
  return false;
}

bool UsePatchBesideProgram(const PatchContext& context) {
  if (context.m_strAppDir.empty() || HoldsPatchLists(platform::CurrentFolder()) ||
      !HoldsPatchLists(context.m_strAppDir))
    return false;
  return platform::SetCurrentFolder(context.m_strAppDir);
}

std::string ProgramFolder() {
  constexpr size_t kAnyPathLength = 32768;
  const std::optional<std::string> ownName = platform::OwnFileName(kAnyPathLength);
  if (!ownName) return "";
  const size_t cut = platform::FindLastSeparator(*ownName);
  return cut == std::string::npos ? "" : ownName->substr(0, cut);
}

namespace {

// True when `path` lies in `patchFolder` and not in an FS2004 folder inside it: no folder between
// them holds SCENERY.CFG.
bool LiesInPatchFolderItself(const std::string& path, const std::string& patchFolder) {
  if (!LiesInFolder(path, patchFolder)) return false;
  std::string folder = path;
  for (;;) {
    const size_t cut = platform::FindLastSeparator(folder);
    if (cut == std::string::npos) return true;
    folder.resize(cut);
    if (!LiesInFolder(folder, patchFolder)) return true;
    if (platform::PathExists(platform::JoinPath(folder, "SCENERY.CFG"))) return false;
  }
}

}  // namespace

bool LiesInPatchFolder(const std::string& path) {
  return LiesInPatchFolderItself(path, ProgramFolder()) ||
         LiesInPatchFolderItself(path, platform::CurrentFolder());
}
