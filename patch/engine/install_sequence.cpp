#include "patch/engine/install_sequence.h"

#include "patch/engine/scenery_files.h"
#include "patch/engine/scenery_library.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/whole_file.h"

void InstallPatch(PatchContext& context, PatchView& view) {
  // Each step runs whatever the one before did; nothing is undone.
  CreateFolders(context, view);
  RegisterExcludeArea(context, view);
  RenameForward(context, view);
  BackupFiles(context, view);
  InstallFiles(context, view);
}

void CreateFolders(PatchContext& context, PatchView& view) {
  ForEachListRecord("CREATE.OV", ListLayout::Word, [&](const std::string& folder, int lineNumber) {
    const std::string path = platform::JoinPath(context.m_strFsPath, folder);
    if (!NameStaysInside(view, "CREATE.OV", lineNumber, folder, path)) return;
    // One level only: a folder whose parent is missing is simply not made.
    if (!platform::PathExists(path)) platform::CreateFolder(path);
  });
}

void RenameForward(PatchContext& context, PatchView& view) {
  RenameListedFiles(context, view, RenameDirection::Forward);
}

void BackupFiles(PatchContext& context, PatchView& view) {
  const PairedFiles replacements = ListedReplacements(context);
  std::vector<std::string> patchedWithoutBackup;
  CopyListedSceneryFiles(
      context, view, "BAK.OV", "Backing up file %d",
      [&](const std::string& line, int lineNumber, const std::string& name,
          const std::string& form) -> std::optional<PlannedCopy> {
        // The backup comes from the form that install and restore write, so that a removal puts
        // back exactly the content that the install replaced.
        const std::string backupName = ExtractColumn(line, kSecondColumn);
        if (!SceneryNameStaysInside(view, "BAK.OV", lineNumber, context.m_strAppDir, backupName,
                                    "BGL"))
          return std::nullopt;
        PlannedCopy copy{ScenerySubPath(context.m_strFsPath, name, form),
                         ScenerySubPath(context.m_strAppDir, backupName, "BGL")};
        // A file that already is its replacement is never taken for the original.
        const PairedFile* replacement =
            replacements.Find(platform::JoinPath(context.m_strFsPath, name));
        if (replacement && platform::SameFileBytes(copy.source, replacement->patchFile)) {
          if (!platform::PathExists(copy.destination)) patchedWithoutBackup.push_back(copy.source);
          return std::nullopt;
        }
        // A backup that still holds the file is kept; one that differs is stale (the product has
        // changed since) and is taken again.
        if (platform::SameFileBytes(copy.source, copy.destination)) return std::nullopt;
        return copy;
      });
  WarnAboutFiles(view,
                 "These files are patched already, but the patch folder holds no backup of their "
                 "originals:",
                 patchedWithoutBackup,
                 "Removing the patch cannot bring the originals back. Keep the patch folder that "
                 "installed the patch, with its backups.");
}

void InstallFiles(PatchContext& context, PatchView& view) {
  const PairedFiles backups = ListedBackups(context);
  std::vector<std::string> notInstalled;
  // The FS2004 file named first decides the form the replacement is written in.
  CopyListedSceneryFiles(
      context, view, "INST.OV", "Installing file %d",
      [&](const std::string& line, int lineNumber, const std::string& /*name*/,
          const std::string& form) -> std::optional<PlannedCopy> {
        const std::string replacement = ExtractColumn(line, kSecondColumn);
        const std::string target = ExtractColumn(line, kThirdColumn);
        if (!SceneryNameStaysInside(view, "INST.OV", lineNumber, context.m_strAppDir, replacement,
                                    "BGL") ||
            !SceneryNameStaysInside(view, "INST.OV", lineNumber, context.m_strFsPath, target, form))
          return std::nullopt;
        PlannedCopy copy{ScenerySubPath(context.m_strAppDir, replacement, "BGL"),
                         ScenerySubPath(context.m_strFsPath, target, form)};
        // A file BAK.OV names is overwritten only while its backup holds it (or it is the
        // replacement already), so that the removal can always put it back.
        const PairedFile* backup =
            backups.Find(platform::JoinPath(context.m_strFsPath, target));
        if (backup && platform::PathExists(copy.destination) &&
            !platform::SameFileBytes(copy.destination, backup->patchFile) &&
            !platform::SameFileBytes(copy.destination, copy.source)) {
          notInstalled.push_back(copy.destination);
          return std::nullopt;
        }
        return copy;
      });
  WarnAboutFiles(view,
                 "These files were not replaced, because no backup of them could be made in the "
                 "patch folder:",
                 notInstalled, "They have been left as they were.");
}
