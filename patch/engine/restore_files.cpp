#include "patch/engine/copy_patch_file.h"
#include "patch/engine/copy_progress.h"
#include "patch/engine/removal_sequence.h"
#include "patch/engine/scenery_file_form.h"
#include "patch/lists/list_files.h"

void RestoreFiles(PatchContext& context, PatchView& view) {
  int copyNumber = 1;
  ForEachListRecord("BAK.OV", ListLayout::Column, [&](const std::string& line) {
    const std::string name = ExtractColumn(line, 0);
    const std::string backupName = ExtractColumn(line, 80);
    // The backup goes back into the form the FS2004 file has now.
    const auto form = CurrentSceneryForm(context.m_strFsPath, name);
    if (!form) return;
    const std::string source = ScenerySubPath(context.m_strAppDir, backupName, "BGL");
    const std::string destination = ScenerySubPath(context.m_strFsPath, name, *form);
    ShowCopyProgress(context, view, "Restoring file %d", copyNumber++);
    CopyPatchFile(view, source, destination);
  });
}
