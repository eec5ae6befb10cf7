#include <climits>

#include "patch/engine/scenery_library.h"
#include "platform/files.h"

namespace {

constexpr const char* kGateFile = "CREATE.OV";
constexpr const char* kExcludeLocal = "SCENERY\\OV_EXCLUDES";
constexpr const char* kExcludeTitle = "Orvane - Exclude Files For Addon Patches";

}  // namespace

void RegisterExcludeArea(PatchContext& context, PatchView& view) {
  if (!platform::PathExists(kGateFile)) return;

  LoadSceneryAreas(context);
  int32_t layer = 0;
  int32_t areaNumber = 0;
  // A present area is left exactly as it is, active or not.
  if (FindAreaByLocal(kExcludeLocal, layer, areaNumber)) return;

  const int32_t freeNumber = FindFreeAreaNumber();
  if (freeNumber == 0) {
    view.ShowStopMessage(
        "The Orvane exclusion area could not be added to SCENERY.CFG: the scenery library "
        "already uses every area number from 1 to 998, so there is no free number for it.\n\n"
        "The patch is installed without it.",
        "Warning");
    return;
  }
  const int32_t newLayer = g_nHighestLayer == INT_MAX ? INT_MAX : g_nHighestLayer + 1;
  AppendSceneryArea(context, view, freeNumber, newLayer, kExcludeLocal, kExcludeTitle, true);
}
