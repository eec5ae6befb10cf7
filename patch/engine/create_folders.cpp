#include "patch/engine/install_sequence.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"

void CreateFolders(PatchContext& context, PatchView& /*view*/) {
  ForEachListRecord("CREATE.OV", ListLayout::Word, [&](const std::string& folder) {
    const std::string path = context.m_strFsPath + "\\" + folder;
    // One level only: a folder whose parent is missing is simply not made.
    if (!platform::PathExists(path)) platform::CreateFolder(path);
  });
}
