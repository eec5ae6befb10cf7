#include "patch/context/settings.h"
#include "platform/files.h"

namespace {

constexpr const char* kMissingFsPathText =
    "The 'FS2004 Installation Path' cannot be located in the registry.  Please select "
    "\n\n"
    "the 'Change Patch' button and select the folder containing FS9.EXE."
    "\n\n";

}  // namespace

bool CheckSceneryConfig(PatchContext& context, PatchView& view) {
  if (platform::PathExists(context.m_strFsPath + "\\SCENERY.CFG")) return true;
  view.ShowStopMessage(kMissingFsPathText, "Path Cannot Continue !");
  view.EnableApplyCheckbox(false);
  return false;
}
