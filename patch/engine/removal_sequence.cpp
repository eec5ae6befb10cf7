#include "patch/engine/removal_sequence.h"

#include "patch/engine/scenery_files.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"

void RemovePatch(PatchContext& context, PatchView& view) {
  // Each step runs whatever the one before did; nothing is undone.
  RestoreFiles(context, view);
  RemoveFiles(context, view);
  RenameBack(context, view);
}

void RestoreFiles(PatchContext& context, PatchView& view) {
  // The backup goes back into the form the FS2004 file has now.
  CopyListedSceneryFiles(
      context, view, "BAK.OV", "Restoring file %d",
      [&](const std::string& line, const std::string& name, const std::string& form) {
        return std::optional<PlannedCopy>(PlannedCopy{
            ScenerySubPath(context.m_strAppDir, ExtractColumn(line, kSecondColumn), "BGL"),
            ScenerySubPath(context.m_strFsPath, name, form)});
      });
}

void RemoveFiles(PatchContext& context, PatchView& /*view*/) {
  ForEachListRecord("REM.OV", ListLayout::Column, [&](const std::string& line) {
    const std::string name = ExtractColumn(line, kFirstColumn);
    for (const char* extension : {"BGL", "XXX"}) {
      const std::string path = ScenerySubPath(context.m_strFsPath, name, extension);
      if (platform::PathExists(path)) platform::RemoveFile(path);
    }
  });
}

void RenameBack(PatchContext& context, PatchView& /*view*/) {
  RenameListedFiles(context, RenameDirection::Back);
}
