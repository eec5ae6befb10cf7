#include "patch/engine/rename_record.h"

#include "patch/lists/list_files.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

// The path with "/" read as "\" and runs of separators merged, in upper case. Trail bytes of
// double-byte characters are copied untouched, so they are never taken for separators.
std::string ComparableName(const std::string& path) {
  std::string unified;
  unified.reserve(path.size());
  bool afterSeparator = false;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (platform::IsLeadByte(c) && i + 1 < path.size()) {
      unified += path[i];
      unified += path[++i];
      afterSeparator = false;
      continue;
    }
    const bool separator = c == '\\' || c == '/';
    if (separator && afterSeparator) continue;
    unified += separator ? '\\' : path[i];
    afterSeparator = separator;
  }
  return platform::UpperCase(unified);
}

}  // namespace

bool SameFileName(const std::string& a, const std::string& b) {
  return ComparableName(a) == ComparableName(b);
}

RenamePair ResolveRenameRecord(const PatchContext& context, const std::string& line) {
  const std::string first = ExtractColumn(line, 0);
  const std::string second = ExtractColumn(line, 80);
  RenamePair pair;
  if (!first.empty()) pair.original = ResolvePatchPath(context, first);
  if (!second.empty()) pair.patched = ResolvePatchPath(context, second);
  return pair;
}

void ApplyRename(const std::string& from, const std::string& to) {
  // A missing name would resolve to the FS2004 folder itself, which always exists: deleting or
  // moving against it could lose a file or the whole folder.
  if (from.empty() || to.empty()) return;
  if (SameFileName(from, to)) return;
  if (platform::PathExists(to)) {
    platform::RemoveFile(from);
  } else if (platform::PathExists(from)) {
    platform::MovePath(from, to);
  }
}
