#include "patch/engine/copy_patch_file.h"
#include "patch/engine/copy_progress.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/scenery_file_form.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"

void BackupFiles(PatchContext& context, PatchView& view) {
  int copyNumber = 1;
  ForEachListRecord("BAK.OV", ListLayout::Column, [&](const std::string& line) {
    const std::string name = ExtractColumn(line, 0);
    const std::string backupName = ExtractColumn(line, 80);
    // The backup comes from the form that install and restore write, so that a removal puts
    // back exactly the content that the install replaced.
    const auto form = CurrentSceneryForm(context.m_strFsPath, name);
    if (!form) return;
    const std::string source = ScenerySubPath(context.m_strFsPath, name, *form);
    const std::string backup = ScenerySubPath(context.m_strAppDir, backupName, "BGL");
    // The first backup ever taken is kept through any number of installs.
    if (platform::PathExists(backup)) return;
    ShowCopyProgress(context, view, "Backing up file %d", copyNumber++);
    CopyPatchFile(view, source, backup);
  });
}
