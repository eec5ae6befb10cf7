#include "patch/engine/scenery_library.h"
#include "patch/engine/scenery_sections.h"
#include "platform/text.h"

SceneryAreaTable g_sceneryAreaTable;
int32_t g_nHighestLayer = 0;
std::array<bool, kHighestAreaNumber + 1> g_sceneryAreaSectionExists{};

bool FindAreaByLocal(std::string local, int32_t& layer, int32_t& areaNumber) {
  const std::string wanted = platform::UpperCase(local);
  for (int n = 1; n <= kHighestAreaNumber; ++n) {
    const SceneryArea& area = g_sceneryAreaTable[n];
    if (platform::UpperCase(area.local) == wanted) {
      layer = area.layer;
      areaNumber = area.areaNumber;
      return true;
    }
  }
  return false;
}

int32_t FindFreeAreaNumber() {
  for (int n = 1; n <= kHighestAreaNumber; ++n)
    if (g_sceneryAreaTable[n].areaNumber == 0 && !g_sceneryAreaSectionExists[n]) return n;
  return 0;
}
