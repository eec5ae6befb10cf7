// Time per run of RegisterExcludeArea on a scenery library of 1000 areas: once when the exclusion
// area must be appended, once when it is already there. The file is left alone for a moment before
// each run, as SCENERY.CFG is in real use: a file changed only just before it is read costs more.
#include <algorithm>
#include <chrono>
#include <thread>

#include "bench_support.h"
#include "patch/context/patch_context.h"
#include "patch/engine/scenery_library.h"
#include "platform/files.h"

namespace {

constexpr int kRuns = 20;

// 1000 areas numbered 1 to 1001 with Area.500 left out, so that an append has a free number.
std::string SceneryConfig() {
  std::string text = "[General]\nTitle=FS9 World Scenery\n";
  char section[256];
  for (int n = 1; n <= 1001; ++n) {
    if (n == 500) continue;
    std::snprintf(section, sizeof section,
                  "\n[Area.%03d]\nTitle=Area number %d\nLocal=Addon Scenery\\Area%d\nLayer=%d\n"
                  "Active=TRUE\nRequired=FALSE\n",
                  n, n, n, n);
    text += section;
  }
  return text;
}

void WriteText(const std::string& path, const std::string& text) {
  FILE* file = platform::OpenStream(path, "w");
  std::fputs(text.c_str(), file);
  std::fclose(file);
}

}  // namespace

int main() {
  bench::ScratchFolder folder("ovpatch-scenery-bench");
  platform::SetCurrentFolder(folder.path());
  WriteText(folder / "CREATE.OV", "Scenery\\OV_EXCLUDES\n");

  PatchContext context;
  context.m_strFsPath = folder.path();
  bench::SilentView view;
  const std::string cfg = folder / "SCENERY.CFG";
  const std::string original = SceneryConfig();

  double bestAppend = 1e9, totalAppend = 0;
  for (int run = 0; run < kRuns; ++run) {
    WriteText(cfg, original);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    const double seconds = bench::Seconds([&] { RegisterExcludeArea(context, view); });
    bestAppend = std::min(bestAppend, seconds);
    totalAppend += seconds;
  }
  double bestFound = 1e9, totalFound = 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  for (int run = 0; run < kRuns; ++run) {
    const double seconds = bench::Seconds([&] { RegisterExcludeArea(context, view); });
    bestFound = std::min(bestFound, seconds);
    totalFound += seconds;
  }
  std::printf("RegisterExcludeArea, 1000 areas, area absent (load + append): %.2f ms best, %.2f ms mean\n",
              bestAppend * 1e3, totalAppend * 1e3 / kRuns);
  std::printf("RegisterExcludeArea, 1000 areas, area present (load + lookup): %.2f ms best, %.2f ms mean\n",
              bestFound * 1e3, totalFound * 1e3 / kRuns);
  return view.messages == 0 ? 0 : 1;
}
