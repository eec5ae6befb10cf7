#include "patch/lists/list_files.h"

std::string ResolvePatchPath(const PatchContext& context, const std::string& field) {
  if (field.compare(0, 4, "PATH") == 0) {
    // "PATH" and one separator character are replaced by the product folder, which ends with a
    // backslash; "PATH" alone names that folder itself.
    if (field.size() <= 5) return context.m_strProductPath;
    return context.m_strProductPath + field.substr(5);
  }
  return context.m_strFsPath + "\\" + field;
}
