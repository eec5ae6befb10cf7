#include <cstdio>

#include "patch/engine/scenery_library.h"
#include "patch/engine/scenery_sections.h"
#include "platform/files.h"

int AppendSceneryArea(PatchContext& context, PatchView& view, int32_t areaNumber, int32_t layer,
                      std::string local, std::string title, bool active) {
  // Only numbers that name a table slot can be written.
  if (areaNumber < 1 || areaNumber > kHighestAreaNumber) return -1;

  FILE* file = platform::OpenStream(SceneryConfigPath(context), "a");
  if (!file) {
    view.ShowStopMessage(
        "Error opening SCENERY.CFG file.\n\nArea you running FS2004 ?\n\nCannot complete "
        "configuration.",
        "Warning");
    return -1;
  }
  std::fprintf(file, "\n[Area.%03d]\n", static_cast<int>(areaNumber));
  std::fprintf(file, "Title=%s\n", title.c_str());
  std::fprintf(file, "Local=%s\n", local.c_str());
  std::fprintf(file, "Layer=%d\n", static_cast<int>(layer));
  std::fprintf(file, active ? "Active=TRUE\n" : "Active=FALSE\n");
  std::fprintf(file, "Required=FALSE\n");
  std::fprintf(file, "Remote=\n");

  g_sceneryAreaTable[areaNumber] = SceneryArea{areaNumber, layer, std::move(local), std::move(title)};
  g_sceneryAreaSectionExists[areaNumber] = true;
  std::fclose(file);
  return 0;
}
