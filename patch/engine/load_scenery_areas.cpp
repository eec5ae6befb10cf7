#include <climits>
#include <cstdio>

#include "patch/engine/scenery_library.h"
#include "patch/engine/scenery_sections.h"
#include "platform/profile.h"

namespace {

constexpr const char* kMissing = "undefined";
constexpr size_t kValueBufferSize = 998;

// atoi's rules (leading blanks, one sign, digits up to the first non-digit, 0 without digits), but
// a value beyond the 32-bit range is held at its limit instead of being undefined.
int32_t LayerValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int32_t>(value);
}

std::string ReadAreaKey(const char* section, const char* key, const platform::ProfileSnapshot& file) {
  return file.ReadString(section, key, kMissing, kValueBufferSize);
}

}  // namespace

void LoadSceneryAreas(PatchContext& context) {
  // One reading of the file for the ~3000 keys asked below.
  const platform::ProfileSnapshot file(SceneryConfigPath(context));

  g_sceneryAreaSectionExists.fill(false);
  for (const std::string& name : file.SectionNames())
    if (const int n = AreaNumberOfSection(name); n > 0) g_sceneryAreaSectionExists[n] = true;

  for (int n = 1; n <= kHighestAreaNumber; ++n) {
    char section[16];
    std::snprintf(section, sizeof section, "Area.%03d", n);
    SceneryArea& area = g_sceneryAreaTable[n];

    const std::string layer = ReadAreaKey(section, "Layer", file);
    if (layer == kMissing) {
      area = SceneryArea{};
      continue;
    }
    area.areaNumber = n;
    area.layer = LayerValue(layer);
    if (area.layer > g_nHighestLayer) g_nHighestLayer = area.layer;

    area.local = ReadAreaKey(section, "Local", file);
    if (area.local == kMissing) area.local.clear();
    area.title = ReadAreaKey(section, "Title", file);
    if (area.title == kMissing) area.title.clear();
  }
}
