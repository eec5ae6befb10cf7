#include "patch/engine/install_record.h"

#include <algorithm>
#include <cstdlib>

#include "platform/stream_io.h"
#include "platform/strings.h"

namespace {

constexpr const char* kHeader = "OVPATCH install record";
// Windows names cannot hold "|", so it separates the fields of a line.
constexpr char kFieldSeparator = '|';
constexpr const char* kFieldSeparators = "|";

std::string Key(const std::string& listValue) {
  return platform::ComparablePath(listValue, platform::TrailingSeparator::kDrop);
}

std::string StampFields(const platform::ContentStamp& stamp) {
  return std::to_string(stamp.size) + kFieldSeparator + stamp.hash;
}

bool ParseStamp(const std::string& size, const std::string& hash, platform::ContentStamp& stamp) {
  if (size.empty() || hash.size() != 32) return false;
  char* end = nullptr;
  stamp.size = std::strtoull(size.c_str(), &end, 10);
  stamp.hash = hash;
  return end && *end == '\0';
}

}  // namespace

std::string InstallRecord::PathIn(const PatchContext& context) {
  return platform::JoinPath(context.m_strAppDir, kInstallRecordFileName);
}

InstallRecord InstallRecord::Load(platform::Disk& disk, const PatchContext& context) {
  InstallRecord record;
  if (context.m_strAppDir.empty()) return record;
  const platform::UniqueStream stream(disk.OpenToRead(PathIn(context), false));
  if (!stream) return record;
  std::string line;
  bool first = true;
  // A line longer than any the record writes is read in pieces, which match no key.
  while (platform::ReadLine(stream.get(), 4096, line)) {
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (first) {
      if (line != kHeader) return record;
      first = false;
      record.exists_ = true;
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::vector<std::string> fields =
        platform::SplitOn(line.substr(equals + 1), kFieldSeparators);
    if (key == "state" && fields.size() == 1) {
      record.installed_ = fields[0] == "installed";
    } else if (key == "folder" && fields.size() == 1) {
      record.folders_.push_back(fields[0]);
    } else if (key == "rename" && fields.size() == 2) {
      record.renames_.emplace_back(fields[0], fields[1]);
    } else if (key == "area" && fields.size() == 1) {
      record.area_ = std::atoi(fields[0].c_str());
    } else if (key == "backup" && fields.size() == 4) {
      RecordedBackup backup{fields[1], {}};
      if (ParseStamp(fields[2], fields[3], backup.original)) {
        const std::string key = Key(fields[0]);
        record.backups_[key] = backup;
        record.names_[key] = fields[0];
      }
    } else if ((key == "written" || key == "pending") && fields.size() == 3) {
      platform::ContentStamp stamp;
      if (ParseStamp(fields[1], fields[2], stamp)) {
        const std::string name = Key(fields[0]);
        (key == "written" ? record.written_ : record.pending_)[name] = stamp;
        record.names_[name] = fields[0];
      }
    }
  }
  return record;
}

const RecordedBackup* InstallRecord::Backup(const std::string& fsName) const {
  const auto found = backups_.find(Key(fsName));
  return found == backups_.end() ? nullptr : &found->second;
}

const platform::ContentStamp* InstallRecord::StampIn(const StampMap& stamps,
                                                     const std::string& fsName) {
  const auto found = stamps.find(Key(fsName));
  return found == stamps.end() ? nullptr : &found->second;
}

void InstallRecord::SetStamp(StampMap& stamps, const std::string& fsName,
                             const platform::ContentStamp& stamp) {
  const std::string key = Key(fsName);
  platform::ContentStamp& kept = stamps[key];
  if (kept == stamp) return;
  kept = stamp;
  names_[key] = fsName;
  changed_ = true;
}

const platform::ContentStamp* InstallRecord::Written(const std::string& fsName) const {
  return StampIn(written_, fsName);
}

const platform::ContentStamp* InstallRecord::Pending(const std::string& fsName) const {
  return StampIn(pending_, fsName);
}

void InstallRecord::SetPending(const std::string& fsName, const platform::ContentStamp& stamp) {
  SetStamp(pending_, fsName, stamp);
}

void InstallRecord::ForgetPending() {
  if (pending_.empty()) return;
  pending_.clear();
  changed_ = true;
}

bool InstallRecord::PatchWrote(const std::string& fsName,
                               const std::optional<platform::ContentStamp>& stamp) const {
  if (!stamp) return false;
  const std::string key = Key(fsName);
  for (const StampMap* stamps : {&written_, &pending_})
    if (const auto found = stamps->find(key); found != stamps->end() && found->second == *stamp)
      return true;
  return false;
}

const std::string& InstallRecord::NameOf(const std::string& key) const {
  static const std::string kNone;
  const auto found = names_.find(key);
  return found == names_.end() ? kNone : found->second;
}

void InstallRecord::SetBackup(const std::string& fsName, const std::string& backupName,
                              const platform::ContentStamp& original) {
  RecordedBackup& backup = backups_[Key(fsName)];
  if (backup.backupName == backupName && backup.original == original) return;
  backup = {backupName, original};
  names_[Key(fsName)] = fsName;
  changed_ = true;
}

void InstallRecord::SetWritten(const std::string& fsName, const platform::ContentStamp& written) {
  SetStamp(written_, fsName, written);
}

void InstallRecord::ForgetWritten(const std::string& fsName) {
  if (written_.erase(Key(fsName)) + pending_.erase(Key(fsName)) > 0) changed_ = true;
}

void InstallRecord::ForgetBackup(const std::string& fsName) {
  if (backups_.erase(Key(fsName)) > 0) changed_ = true;
}

void InstallRecord::AddCreatedFolder(const std::string& folder) {
  if (std::find(folders_.begin(), folders_.end(), folder) != folders_.end()) return;
  folders_.push_back(folder);
  changed_ = true;
}

void InstallRecord::AddRename(const std::string& original, const std::string& patched) {
  const std::pair<std::string, std::string> rename{original, patched};
  if (std::find(renames_.begin(), renames_.end(), rename) != renames_.end()) return;
  renames_.push_back(rename);
  changed_ = true;
}

void InstallRecord::SetExclusionArea(int areaNumber) {
  if (area_ == areaNumber) return;
  area_ = areaNumber;
  changed_ = true;
}

void InstallRecord::SetInstalled(bool installed) {
  // A run that changed nothing the record keeps leaves no record behind.
  const bool empty = folders_.empty() && renames_.empty() && area_ == 0 && backups_.empty() &&
                     written_.empty();
  if ((exists_ || empty) && installed_ == installed) return;
  if (!exists_ && empty) {
    installed_ = installed;
    return;
  }
  installed_ = installed;
  changed_ = true;
}

std::string InstallRecord::Text() const {
  std::string text = std::string(kHeader) + "\r\nversion=1\r\n";
  text += std::string("state=") + (installed_ ? "installed" : "removed") + "\r\n";
  for (const std::string& folder : folders_) text += "folder=" + folder + "\r\n";
  for (const auto& [original, patched] : renames_)
    text += "rename=" + original + kFieldSeparator + patched + "\r\n";
  if (area_ > 0) text += "area=" + std::to_string(area_) + "\r\n";
  for (const auto& [key, backup] : backups_)
    text += "backup=" + NameOf(key) + kFieldSeparator + backup.backupName + kFieldSeparator +
            StampFields(backup.original) + "\r\n";
  for (const auto& [key, stamp] : written_)
    text += "written=" + NameOf(key) + kFieldSeparator + StampFields(stamp) + "\r\n";
  for (const auto& [key, stamp] : pending_)
    text += "pending=" + NameOf(key) + kFieldSeparator + StampFields(stamp) + "\r\n";
  return text;
}

bool InstallRecord::Save(platform::Disk& disk, const PatchContext& context) {
  if (!changed_ || context.m_strAppDir.empty()) return true;
  if (disk.ReplaceWhole(PathIn(context), Text(), "the install record") !=
      platform::WriteOutcome::Done)
    return false;
  exists_ = true;
  changed_ = false;
  return true;
}
