#include "patch/engine/install_sequence.h"
#include "patch/engine/rename_record.h"
#include "patch/lists/list_files.h"

void RenameForward(PatchContext& context, PatchView& /*view*/) {
  ForEachListRecord("REN.OV", ListLayout::Column, [&](const std::string& line) {
    const RenamePair names = ResolveRenameRecord(context, line);
    ApplyRename(names.original, names.patched);
  });
}
