#include "patch/engine/removal_sequence.h"
#include "patch/engine/rename_record.h"
#include "patch/lists/list_files.h"

void RenameBack(PatchContext& context, PatchView& /*view*/) {
  ForEachListRecord("REN.OV", ListLayout::Column, [&](const std::string& line) {
    const RenamePair names = ResolveRenameRecord(context, line);
    ApplyRename(names.patched, names.original);
  });
}
