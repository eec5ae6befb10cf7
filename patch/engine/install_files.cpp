#include "patch/engine/copy_patch_file.h"
#include "patch/engine/copy_progress.h"
#include "patch/engine/install_sequence.h"
#include "patch/engine/scenery_file_form.h"
#include "patch/lists/list_files.h"

void InstallFiles(PatchContext& context, PatchView& view) {
  int copyNumber = 1;
  ForEachListRecord("INST.OV", ListLayout::Column, [&](const std::string& line) {
    const std::string name = ExtractColumn(line, 0);
    const std::string replacement = ExtractColumn(line, 80);
    const std::string target = ExtractColumn(line, 160);
    // The FS2004 file named first decides the form the replacement is written in.
    const auto form = CurrentSceneryForm(context.m_strFsPath, name);
    if (!form) return;
    const std::string source = ScenerySubPath(context.m_strAppDir, replacement, "BGL");
    const std::string destination = ScenerySubPath(context.m_strFsPath, target, *form);
    ShowCopyProgress(context, view, "Installing file %d", copyNumber++);
    CopyPatchFile(view, source, destination);
  });
}
