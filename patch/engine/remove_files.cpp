#include "patch/engine/removal_sequence.h"
#include "patch/engine/scenery_file_form.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"

void RemoveFiles(PatchContext& context, PatchView& /*view*/) {
  ForEachListRecord("REM.OV", ListLayout::Column, [&](const std::string& line) {
    const std::string name = ExtractColumn(line, 0);
    for (const char* extension : {"BGL", "XXX"}) {
      const std::string path = ScenerySubPath(context.m_strFsPath, name, extension);
      if (platform::PathExists(path)) platform::RemoveFile(path);
    }
  });
}
