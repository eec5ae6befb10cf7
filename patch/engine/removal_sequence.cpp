#include "patch/engine/removal_sequence.h"

#include "patch/engine/scenery_files.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/whole_file.h"

void RemovePatch(PatchContext& context, PatchView& view) {
  // Each step runs whatever the one before did; nothing is undone.
  RestoreFiles(context, view);
  RemoveFiles(context, view);
  RenameBack(context, view);
}

void RestoreFiles(PatchContext& context, PatchView& view) {
  const PairedFiles replacements = ListedReplacements(context);
  std::vector<std::string> changedSinceInstall;
  // The backup goes back into the form the FS2004 file has now.
  CopyListedSceneryFiles(
      context, view, "BAK.OV", "Restoring file %d",
      [&](const std::string& line, int lineNumber, const std::string& name,
          const std::string& form) -> std::optional<PlannedCopy> {
        const std::string backupName = ExtractColumn(line, kSecondColumn);
        if (!SceneryNameStaysInside(view, "BAK.OV", lineNumber, context.m_strAppDir, backupName,
                                    "BGL"))
          return std::nullopt;
        PlannedCopy copy{ScenerySubPath(context.m_strAppDir, backupName, "BGL"),
                         ScenerySubPath(context.m_strFsPath, name, form)};
        if (platform::SameFileBytes(copy.destination, copy.source)) return std::nullopt;
        // Only the replacement that was installed is taken out again; a file changed since then
        // (an update of the product) is kept. Without a backup it was never replaced at all.
        const PairedFile* replacement =
            replacements.Find(platform::JoinPath(context.m_strFsPath, name));
        if (replacement && platform::FileSize(replacement->patchFile) &&
            !platform::SameFileBytes(copy.destination, replacement->patchFile)) {
          if (platform::PathExists(copy.source)) changedSinceInstall.push_back(copy.destination);
          return std::nullopt;
        }
        return copy;
      });
  WarnAboutFiles(view,
                 "These files have changed since the patch was installed:", changedSinceInstall,
                 "They have been left as they are; their backups stay in the patch folder.");
}

void RemoveFiles(PatchContext& context, PatchView& view) {
  ForEachListRecord("REM.OV", ListLayout::Column, [&](const std::string& line, int lineNumber) {
    const std::string name = ExtractColumn(line, kFirstColumn);
    if (!SceneryNameStaysInside(view, "REM.OV", lineNumber, context.m_strFsPath, name, "BGL"))
      return;
    for (const char* extension : {"BGL", "XXX"}) {
      const std::string path = ScenerySubPath(context.m_strFsPath, name, extension);
      if (platform::PathExists(path)) platform::RemoveFile(path);
    }
  });
}

void RenameBack(PatchContext& context, PatchView& view) {
  RenameListedFiles(context, view, RenameDirection::Back);
}
