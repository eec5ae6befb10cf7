#include "platform/file_layers/planned_disk.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/disk.h"
#include "platform/file_layers/content_hash.h"
#include "platform/files.h"
#include "platform/stream_io.h"
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

std::string SettingKey(const std::string& section, const std::string& key) {
  return UpperCase(section) + "\n" + UpperCase(key);
}

CopyResult CopyFailed(CopyOutcome outcome, const std::string& path) {
  CopyResult result;
  result.outcome = outcome;
  result.failedPath = path;
  return result;
}

}  // namespace

PlannedDisk::PlannedDisk(Disk& disk) : disk_(disk) {}

PlannedDisk::~PlannedDisk() {
  for (const std::string& file : scratchFiles_) HostDisk().RemoveFile(file);
}

PlannedDisk::Entry PlannedDisk::OnDisk(const std::string& diskPath,
                                                       const std::string& path) {
  Entry entry{State::Absent, diskPath, false, LastPathComponent(path)};
  if (disk_.IsFolder(diskPath))
    entry.state = State::Folder;
  else if (disk_.PathExists(diskPath))
    entry.state = State::File;
  entry.readOnly = entry.state == State::File && disk_.IsReadOnlyFile(diskPath);
  return entry;
}

PlannedDisk::Entry PlannedDisk::Find(const std::string& path) {
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

bool PlannedDisk::ParentIsFolder(const std::string& path) {
  const size_t separator = LastSeparator(path);
  if (separator == std::string::npos) return true;  // in the current folder
  if (separator == 0) return true;                  // in the root
  return Find(path.substr(0, separator)).state == State::Folder;
}

bool PlannedDisk::ParentAcceptsChanges(const std::string& path) {
  const size_t separator = LastSeparator(path);
  if (separator == std::string::npos || separator == 0) return true;
  const Entry parent = Find(path.substr(0, separator));
  // A folder the plan made is the process's own.
  if (parent.state != State::Folder || parent.origin.empty()) return true;
  return disk_.FolderAcceptsChanges(parent.origin);
}

void PlannedDisk::Set(const std::string& path, Entry entry) {
  entry.name = LastPathComponent(path);
  changed_[Comparable(path)] = std::move(entry);
}

bool PlannedDisk::PathExists(const std::string& path) {
  return Find(path).state != State::Absent;
}

bool PlannedDisk::IsFolder(const std::string& path) {
  return Find(path).state == State::Folder;
}

bool PlannedDisk::IsReadOnlyFile(const std::string& path) {
  const Entry entry = Find(path);
  return entry.state == State::File && entry.readOnly;
}

std::optional<uint64_t> PlannedDisk::FileSize(const std::string& path) {
  const Entry entry = Find(path);
  if (entry.state != State::File) return std::nullopt;
  if (entry.origin.empty()) return 0;
  return disk_.FileSize(entry.origin);
}

std::vector<std::string> PlannedDisk::FolderEntryNames(const std::string& folder) {
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

bool PlannedDisk::CreateFolder(const std::string& path) {
  if (PathExists(path) || !ParentIsFolder(path) || !ParentAcceptsChanges(path)) return false;
  Set(path, Entry{State::Folder, "", false, ""});
  return true;
}

bool PlannedDisk::RemoveFile(const std::string& path) {
  const Entry entry = Find(path);
  if (entry.state != State::File || entry.readOnly || !ParentAcceptsChanges(path)) return false;
  Set(path, Entry{});
  return true;
}

bool PlannedDisk::MovePath(const std::string& from, const std::string& to) {
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

bool PlannedDisk::FolderAcceptsChanges(const std::string& folder) {
  const Entry entry = Find(folder);
  if (entry.state != State::Folder) return false;
  return entry.origin.empty() || disk_.FolderAcceptsChanges(entry.origin);
}

FILE* PlannedDisk::OpenToRead(const std::string& path, bool binary) {
  const Entry entry = Find(path);
  if (entry.state != State::File) return nullptr;
  if (entry.origin.empty()) return host::OpenDiscardStream(binary ? "rb" : "r");
  return disk_.OpenToRead(entry.origin, binary);
}

std::string PlannedDisk::ReadSetting(const std::string& section, const std::string& key,
                                     const std::string& fallback, size_t bufferSize,
                                     const std::string& file) {
  if (const auto written = settings_.find(Comparable(file)); written != settings_.end()) {
    if (const auto value = written->second.find(SettingKey(section, key));
        value != written->second.end())
      return value->second.substr(0, bufferSize > 0 ? bufferSize - 1 : 0);
  }
  const Entry entry = Find(file);
  if (entry.state != State::File || entry.origin.empty()) return fallback;
  return disk_.ReadSetting(section, key, fallback, bufferSize, entry.origin);
}

CopyResult PlannedDisk::CopyFile(const std::string& source, const std::string& destination,
                                 const std::string& /*label*/, const ContentStamp* expected,
                                 NewTarget /*newTarget*/) {
  for (const std::string* path : {&source, &destination})
    if (PathTooLong(*path)) return CopyFailed(CopyOutcome::PathTooLong, *path);
  const Entry from = Find(source);
  if (from.state != State::File) return CopyFailed(CopyOutcome::SourceOpenFailed, source);
  if (!CanWriteWhole(destination)) return CopyFailed(CopyOutcome::DestinationRefused, destination);
  // Read as the copy would read it: the stamp of what it writes, and a source that does not hold
  // what was expected, are foreseen.
  CopyResult result;
  const std::optional<ContentStamp> stamp = StampOfFile(*this, source);
  if (!stamp) return CopyFailed(CopyOutcome::ReadFailed, source);
  result.copied = *stamp;
  if (expected && !(*stamp == *expected)) {
    result.outcome = CopyOutcome::SourceDiffers;
    result.failedPath = source;
    return result;
  }
  Set(destination, Entry{State::File, from.origin, false, ""});
  return result;
}

WriteOutcome PlannedDisk::ReplaceWhole(const std::string& path, const std::string& bytes,
                                       const std::string& /*what*/) {
  if (!CanWriteWhole(path)) return WriteOutcome::ReplaceFailed;
  Set(path, Entry{State::File, KeepContent(bytes), false, ""});
  return WriteOutcome::Done;
}

WriteOutcome PlannedDisk::AppendText(const std::string& path, const std::string& text,
                                     const std::string& what) {
  std::string bytes;
  if (PathExists(path)) {
    const Entry entry = Find(path);
    if (entry.state != State::File) return WriteOutcome::OpenFailed;
    if (!entry.origin.empty()) {
      const UniqueStream in(disk_.OpenToRead(entry.origin, true));
      if (!in) return WriteOutcome::OpenFailed;
      char chunk[4096];
      size_t count;
      while ((count = ReadBytes(in.get(), chunk, sizeof chunk)) > 0) bytes.append(chunk, count);
      if (ReadFailed(in.get())) return WriteOutcome::OpenFailed;
    }
  }
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return ReplaceWhole(path, bytes, what);
}

bool PlannedDisk::WriteSetting(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file) {
  const Entry entry = Find(file);
  if (entry.state == State::Folder || entry.readOnly) return false;
  if (entry.state == State::Absent && (!ParentIsFolder(file) || !ParentAcceptsChanges(file)))
    return false;
  if (entry.state == State::Absent) Set(file, Entry{State::File, "", false, ""});
  settings_[Comparable(file)][SettingKey(section, key)] = value;
  return true;
}

bool PlannedDisk::CanWriteWhole(const std::string& path) {
  const Entry target = Find(path);
  if (target.state == State::Folder || (target.state == State::File && target.readOnly))
    return false;
  return ParentIsFolder(path) && ParentAcceptsChanges(path);
}

std::string PlannedDisk::KeepContent(const std::string& bytes) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return "";
  static std::mt19937 random{std::random_device{}()};
  const std::string file =
      JoinPath(folder.string(), "ovpatch-plan-" + std::to_string(random()) + ".tmp");
  if (HostDisk().ReplaceWhole(file, bytes, "") != WriteOutcome::Done) return "";
  scratchFiles_.push_back(file);
  return file;
}

}  // namespace platform
