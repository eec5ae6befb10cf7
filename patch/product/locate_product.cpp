#include "patch/product/product_files.h"
#include "patch/product/product_locator.h"
#include "platform/files.h"

namespace {

constexpr const char* kNotFoundText =
    " product not found in expected paths.\nPatch cannot be applied.\n"
    "You can try locating the product to be patched manually.";

// Line 3 starting with these four capitals asks for the search.
bool IsSearchMarker(const std::string& folder) { return folder.compare(0, 4, "NONE") == 0; }

}  // namespace

int LocateProduct(PatchContext& context, PatchView& view) {
  view.EnableApplyCheckbox(false);
  TitleFileLines lines;
  if (!ReadTitleFile(lines)) {
    view.ShowStopMessage(kMissingDataFilesText, "Critical Error");
    return -1;
  }
  context.m_strProductTitle = lines.title;
  context.m_strProductCheckFile = lines.checkFile;
  context.m_strProductFolder = lines.folder;
  context.m_bTitleFileRead = true;

  if (!IsSearchMarker(context.m_strProductFolder)) {
    // A remembered folder counts only with its check file in it.
    context.m_strProductPath = context.m_strProductFolder;
    if (platform::PathExists(context.m_strProductPath + "\\" + context.m_strProductCheckFile)) {
      view.EnableApplyCheckbox(true);
      return 0;
    }
  } else {
    // The first search folder that exists wins and is remembered.
    for (const std::string& entry : g_productSearchList.entries) {
      context.m_strProductPath = context.m_strFsPath + "\\" + entry + "\\";
      if (platform::PathExists(context.m_strProductPath)) {
        context.m_strProductFolder = context.m_strProductPath;
        SaveProductTitleFile(context, view);
        view.EnableApplyCheckbox(true);
        return 0;
      }
    }
  }
  view.ShowStopMessage(context.m_strProductTitle + kNotFoundText, "Warning");
  return -1;
}
