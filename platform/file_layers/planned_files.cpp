#include "platform/file_layers/planned_files.h"

#include <algorithm>
#include <cstring>

#include "platform/disk.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace platform {
namespace {

// Position of the separator before the last name of `path` (separators at its end passed over), or
// npos. A double-byte character's trail byte is never taken for a separator.
size_t LastSeparator(const std::string& path) {
  size_t last = std::string::npos;
  size_t pending = std::string::npos;  // the latest separator, until a name follows it
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsPathSeparator(path[i])) {
      pending = i;
      continue;
    }
    if (pending != std::string::npos) last = pending;
    pending = std::string::npos;
    if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ++i;
  }
  return last;
}

std::string Comparable(const std::string& path) {
  return ComparablePath(path, TrailingSeparator::kDrop);
}

bool IsWriteMode(const char* mode) { return std::strpbrk(mode, "wa+") != nullptr; }

}  // namespace

PlannedFileServices::PlannedFileServices(FileServices& disk) : disk_(disk) {}

PlannedFileServices::Entry PlannedFileServices::OnDisk(const std::string& diskPath,
                                                       const std::string& path) {
  Entry entry{State::Absent, diskPath, false, LastPathComponent(path)};
  if (disk_.IsFolder(diskPath))
    entry.state = State::Folder;
  else if (disk_.PathExists(diskPath))
    entry.state = State::File;
  entry.readOnly = entry.state == State::File && disk_.IsReadOnlyFile(diskPath);
  return entry;
}

PlannedFileServices::Entry PlannedFileServices::Find(const std::string& path) {
  if (const auto it = changed_.find(Comparable(path)); it != changed_.end()) return it->second;
  // The nearest changed folder above decides: gone, replaced by a file, new and empty, or moved.
  for (size_t end = LastSeparator(path); end != std::string::npos && end > 0;
       end = LastSeparator(path.substr(0, end))) {
    const auto it = changed_.find(Comparable(path.substr(0, end)));
    if (it == changed_.end()) continue;
    const Entry& above = it->second;
    if (above.state != State::Folder || above.origin.empty()) return Entry{};
    return OnDisk(above.origin + path.substr(end), path);
  }
  return OnDisk(path, path);
}

bool PlannedFileServices::ParentIsFolder(const std::string& path) {
  const size_t separator = LastSeparator(path);
  if (separator == std::string::npos) return true;  // in the current folder
  if (separator == 0) return true;                  // in the root
  return Find(path.substr(0, separator)).state == State::Folder;
}

bool PlannedFileServices::ParentAcceptsChanges(const std::string& path) {
  const size_t separator = LastSeparator(path);
  if (separator == std::string::npos || separator == 0) return true;
  const Entry parent = Find(path.substr(0, separator));
  // A folder the plan made is the process's own.
  if (parent.state != State::Folder || parent.origin.empty()) return true;
  return disk_.FolderAcceptsChanges(parent.origin);
}

void PlannedFileServices::Set(const std::string& path, Entry entry) {
  entry.name = LastPathComponent(path);
  changed_[Comparable(path)] = std::move(entry);
}

bool PlannedFileServices::PathExists(const std::string& path) {
  return Find(path).state != State::Absent;
}

bool PlannedFileServices::IsFolder(const std::string& path) {
  return Find(path).state == State::Folder;
}

bool PlannedFileServices::IsReadOnlyFile(const std::string& path) {
  const Entry entry = Find(path);
  return entry.state == State::File && entry.readOnly;
}

std::optional<uint64_t> PlannedFileServices::FileSize(const std::string& path) {
  const Entry entry = Find(path);
  if (entry.state != State::File) return std::nullopt;
  if (entry.origin.empty()) return 0;
  return disk_.FileSize(entry.origin);
}

std::vector<std::string> PlannedFileServices::FolderEntryNames(const std::string& folder) {
  const Entry entry = Find(folder);
  if (entry.state != State::Folder) return {};
  std::vector<std::string> names;
  if (!entry.origin.empty()) names = disk_.FolderEntryNames(entry.origin);
  // Names the plan has changed directly inside the folder.
  const std::string prefix = Comparable(folder) + "\\";
  for (const auto& [key, changed] : changed_) {
    if (key.compare(0, prefix.size(), prefix) != 0 || LastSeparator(key) != prefix.size() - 1)
      continue;
    const std::string upper = UpperCase(changed.name);
    std::erase_if(names, [&](const std::string& name) { return UpperCase(name) == upper; });
    if (changed.state != State::Absent) names.push_back(changed.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool PlannedFileServices::CreateFolder(const std::string& path) {
  if (PathExists(path) || !ParentIsFolder(path) || !ParentAcceptsChanges(path)) return false;
  Set(path, Entry{State::Folder, "", false, ""});
  return true;
}

bool PlannedFileServices::RemoveFile(const std::string& path) {
  const Entry entry = Find(path);
  if (entry.state != State::File || entry.readOnly || !ParentAcceptsChanges(path)) return false;
  Set(path, Entry{});
  return true;
}

bool PlannedFileServices::MovePath(const std::string& from, const std::string& to) {
  const Entry moved = Find(from);
  if (moved.state == State::Absent) return false;
  const std::string fromKey = Comparable(from);
  const std::string toKey = Comparable(to);
  if (fromKey == toKey) return true;  // a new letter case only
  if (PathExists(to) || !ParentIsFolder(to)) return false;
  if (!ParentAcceptsChanges(from) || !ParentAcceptsChanges(to)) return false;
  // What the plan changed inside a moved folder moves with it.
  const std::string inside = fromKey + "\\";
  std::map<std::string, Entry> kept;
  for (auto& [key, entry] : changed_) {
    if (key.compare(0, inside.size(), inside) == 0)
      kept[toKey + key.substr(fromKey.size())] = entry;
    else
      kept[key] = entry;
  }
  changed_ = std::move(kept);
  Set(to, moved);
  Set(from, Entry{});
  return true;
}

bool PlannedFileServices::ReplaceFileWith(const std::string& from, const std::string& to) {
  const Entry source = Find(from);
  const Entry target = Find(to);
  if (source.state != State::File) return false;
  if (target.state == State::Folder || (target.state == State::File && target.readOnly))
    return false;
  if (!ParentIsFolder(to) || !ParentAcceptsChanges(to)) return false;
  Set(to, source);
  Set(from, Entry{});
  return true;
}

FILE* PlannedFileServices::OpenStream(const std::string& path, const char* mode) {
  if (!mode) return nullptr;
  const Entry entry = Find(path);
  if (!IsWriteMode(mode)) {
    if (entry.state != State::File) return nullptr;
    FILE* stream =
        entry.origin.empty() ? host::OpenDiscardStream(mode) : disk_.OpenStream(entry.origin, mode);
    if (stream && std::strcmp(mode, "rb") == 0) lastBinaryRead_ = entry.origin;
    return stream;
  }
  if (entry.state == State::Folder || entry.readOnly) return nullptr;
  if (entry.state == State::Absent && (!ParentIsFolder(path) || !ParentAcceptsChanges(path)))
    return nullptr;
  FILE* stream = host::OpenDiscardStream(mode);
  if (!stream) return nullptr;
  if (mode[0] == 'w') {
    // A fresh file: a copy of the file just opened for reading, or of unknown content.
    Set(path, Entry{State::File, std::strcmp(mode, "wb") == 0 ? lastBinaryRead_ : "", false, ""});
    lastBinaryRead_.clear();
  } else if (entry.state == State::Absent) {
    Set(path, Entry{State::File, "", false, ""});
  }
  return stream;
}

}  // namespace platform
