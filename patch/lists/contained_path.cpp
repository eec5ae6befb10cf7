#include "patch/lists/contained_path.h"

#include "platform/text.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "..", and names Windows trims to it or to nothing ("...", ". .", "  "): all are taken as climbing.
bool ClimbsUp(const std::string& component) {
  return !component.empty() && component != "." &&
         component.find_first_not_of(". ") == std::string::npos;
}

}  // namespace

bool StaysInside(const std::string& folder, const std::string& path) {
  if (path.compare(0, folder.size(), folder) != 0) return false;
  size_t i = folder.size();
  // The joining separator, unless the folder ends with one.
  if (!folder.empty() && !IsSeparator(folder.back())) {
    if (i >= path.size() || !IsSeparator(path[i])) return false;
    ++i;
  }
  // A further separator here means the name itself was absolute.
  if (i >= path.size() || IsSeparator(path[i])) return false;

  int depth = 0;
  std::string component;
  for (;; ++i) {
    if (i == path.size() || IsSeparator(path[i])) {
      if (component.find(':') != std::string::npos) return false;  // drive letter or stream name
      if (ClimbsUp(component)) {
        if (--depth < 0) return false;
      } else if (!component.empty() && component != ".") {
        ++depth;
      }
      component.clear();
      if (i == path.size()) break;
      continue;
    }
    // A double-byte character's trail byte may look like a separator; keep the pair together.
    if (platform::IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size())
      component += path[i++];
    component += path[i];
  }
  return depth > 0;
}
