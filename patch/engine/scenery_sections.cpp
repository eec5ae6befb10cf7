#include "patch/engine/scenery_sections.h"

std::string SceneryConfigPath(const PatchContext& context) {
  return context.m_strFsPath + "\\SCENERY.CFG";
}

int AreaNumberOfSection(const std::string& sectionName) {
  static const char kPrefix[] = "AREA.";
  if (sectionName.size() != 8) return 0;
  for (int i = 0; i < 5; ++i) {
    char c = sectionName[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != kPrefix[i]) return 0;
  }
  int number = 0;
  for (int i = 5; i < 8; ++i) {
    const char c = sectionName[i];
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return number <= kHighestAreaNumber ? number : 0;
}
