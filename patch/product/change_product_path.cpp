#include "patch/context/settings.h"
#include "patch/product/product_files.h"
#include "patch/product/product_locator.h"
#include "platform/files.h"

void ChangeProductPath(PatchContext& context, PatchView& view) {
  std::optional<std::string> chosen =
      view.BrowseForFolder("Select " + context.m_strProductTitle + " Folder Location");
  // A selection without a file-system path is treated as a cancel: it would name the drive root.
  if (!chosen || chosen->empty()) return;

  // When start-up stopped before TITLE.OV was read, keep its title and check file rather than
  // overwriting them with empty lines.
  if (!context.m_bTitleFileRead) {
    TitleFileLines lines;
    if (ReadTitleFile(lines)) {
      context.m_strProductTitle = lines.title;
      context.m_strProductCheckFile = lines.checkFile;
    }
  }

  context.m_strProductFolder = *chosen + "\\";
  SaveProductTitleFile(context, view);
  view.EnableApplyCheckbox(true);
  if (LocateProduct(context, view) == 0) SyncApplyCheckbox(context, view);
}
