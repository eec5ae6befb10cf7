#include "patch/engine/install_sequence.h"

#include "patch/engine/scenery_files.h"
#include "patch/engine/scenery_library.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"
#include "platform/strings.h"

void InstallPatch(PatchContext& context, PatchView& view) {
  // Each step runs whatever the one before did; nothing is undone.
  CreateFolders(context, view);
  RegisterExcludeArea(context, view);
  RenameForward(context, view);
  BackupFiles(context, view);
  InstallFiles(context, view);
}

void CreateFolders(PatchContext& context, PatchView& /*view*/) {
  ForEachListRecord("CREATE.OV", ListLayout::Word, [&](const std::string& folder) {
    const std::string path = platform::JoinPath(context.m_strFsPath, folder);
    // One level only: a folder whose parent is missing is simply not made.
    if (!platform::PathExists(path)) platform::CreateFolder(path);
  });
}

void RenameForward(PatchContext& context, PatchView& /*view*/) {
  RenameListedFiles(context, RenameDirection::Forward);
}

void BackupFiles(PatchContext& context, PatchView& view) {
  CopyListedSceneryFiles(
      context, view, "BAK.OV", "Backing up file %d",
      [&](const std::string& line, const std::string& name,
          const std::string& form) -> std::optional<PlannedCopy> {
        // The backup comes from the form that install and restore write, so that a removal puts
        // back exactly the content that the install replaced.
        PlannedCopy copy{
            ScenerySubPath(context.m_strFsPath, name, form),
            ScenerySubPath(context.m_strAppDir, ExtractColumn(line, kSecondColumn), "BGL")};
        // The first backup ever taken is kept through any number of installs.
        if (platform::PathExists(copy.destination)) return std::nullopt;
        return copy;
      });
}

void InstallFiles(PatchContext& context, PatchView& view) {
  // The FS2004 file named first decides the form the replacement is written in.
  CopyListedSceneryFiles(
      context, view, "INST.OV", "Installing file %d",
      [&](const std::string& line, const std::string& /*name*/, const std::string& form) {
        return std::optional<PlannedCopy>(PlannedCopy{
            ScenerySubPath(context.m_strAppDir, ExtractColumn(line, kSecondColumn), "BGL"),
            ScenerySubPath(context.m_strFsPath, ExtractColumn(line, kThirdColumn), form)});
      });
}
