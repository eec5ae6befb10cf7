#include "platform/file_layers/journaled_disk.h"

#include <algorithm>

#include "platform/strings.h"

namespace platform {
namespace {

DiskChange Change(DiskChange::Kind kind, const std::string& path, const std::string& source = "",
                  bool failed = false) {
  DiskChange change;
  change.kind = kind;
  change.path = path;
  change.source = source;
  change.failed = failed;
  return change;
}

}  // namespace

std::string DescribeChange(const DiskChange& change, ChangeTense tense) {
  const bool planned = tense == ChangeTense::Planned;
  const std::string refused = planned ? "cannot " : "could not ";
  using Kind = DiskChange::Kind;
  switch (change.kind) {
    case Kind::CreateFolder:
      if (change.failed) return refused + "create folder " + change.path;
      return (planned ? "create folder " : "created folder ") + change.path;
    case Kind::Delete:
      if (change.failed) return refused + "delete " + change.path;
      return (planned ? "delete " : "deleted ") + change.path;
    case Kind::Rename:
      if (change.failed) return refused + "rename " + change.source + " to " + change.path;
      return (planned ? "rename " : "renamed ") + change.source + " to " + change.path;
    case Kind::Copy: {
      std::string text = change.label.empty() ? "" : change.label + ": ";
      if (change.failed)
        return text + refused + "copy " + change.source + (change.overwrote ? " over " : " to ") +
               change.path;
      return text + (planned ? "copy " : "copied ") + change.source +
             (change.overwrote ? " over " : " to ") + change.path;
    }
    case Kind::Replace:
      if (change.failed) return refused + "write " + change.path + " (" + change.what + ")";
      return (planned ? "write " : "wrote ") + change.path + " (" + change.what + ")";
    case Kind::Append:
      if (change.failed) return refused + "append " + change.what + " to " + change.path;
      return (planned ? "append " : "appended ") + change.what + " to " + change.path;
    case Kind::Setting:
      if (change.failed) return refused + "set " + change.what + " in " + change.path;
      return "set " + change.what + " in " + change.path;
  }
  return {};
}

JournaledDisk::JournaledDisk(Disk& target, std::function<void(const DiskChange&)> onChange)
    : target_(target), onChange_(std::move(onChange)) {}

bool JournaledDisk::CreateFolder(const std::string& path) {
  const bool done = target_.CreateFolder(path);
  onChange_(Change(DiskChange::Kind::CreateFolder, path, "", !done));
  return done;
}

bool JournaledDisk::RemoveFile(const std::string& path) {
  const bool done = target_.RemoveFile(path);
  onChange_(Change(DiskChange::Kind::Delete, path, "", !done));
  return done;
}

bool JournaledDisk::MovePath(const std::string& from, const std::string& to) {
  const bool done = target_.MovePath(from, to);
  onChange_(Change(DiskChange::Kind::Rename, to, from, !done));
  return done;
}

CopyResult JournaledDisk::CopyFile(const std::string& source, const std::string& destination,
                                   const std::string& label, const ContentStamp* expected,
                                   NewTarget newTarget) {
  DiskChange change = Change(DiskChange::Kind::Copy, destination, source);
  change.label = label;
  change.overwrote = target_.PathExists(destination);
  CopyResult result = target_.CopyFile(source, destination, label, expected, newTarget);
  change.bytes = result.copied.size;
  // A copy refused before it began changed nothing: whoever asked for it tells of the failure.
  if (result.outcome != CopyOutcome::Done) return result;
  if (collecting_)
    queuedCopies_.push_back(change);
  else
    onChange_(change);
  return result;
}

WriteOutcome JournaledDisk::ReplaceWhole(const std::string& path, const std::string& bytes,
                                         const std::string& what) {
  const WriteOutcome outcome = target_.ReplaceWhole(path, bytes, what);
  DiskChange change = Change(DiskChange::Kind::Replace, path, "", outcome != WriteOutcome::Done);
  change.what = what;
  onChange_(change);
  return outcome;
}

WriteOutcome JournaledDisk::AppendText(const std::string& path, const std::string& text,
                                       const std::string& what) {
  const WriteOutcome outcome = target_.AppendText(path, text, what);
  DiskChange change = Change(DiskChange::Kind::Append, path, "", outcome != WriteOutcome::Done);
  change.what = what;
  onChange_(change);
  return outcome;
}

bool JournaledDisk::WriteSetting(const std::string& section, const std::string& key,
                                 const std::string& value, const std::string& file) {
  const bool done = target_.WriteSetting(section, key, value, file);
  DiskChange change = Change(DiskChange::Kind::Setting, file, "", !done);
  change.what = key + "=" + value + " in [" + section + "]";
  onChange_(change);
  return done;
}

void JournaledDisk::StartCopies() {
  target_.StartCopies();
  collecting_ = true;
}

std::vector<FailedReplacement> JournaledDisk::FinishCopies() {
  std::vector<FailedReplacement> failures = target_.FinishCopies();
  collecting_ = false;
  for (DiskChange& change : queuedCopies_) {
    change.failed = std::any_of(failures.begin(), failures.end(), [&](const auto& failure) {
      return ComparablePath(failure.target, TrailingSeparator::kKeep) ==
             ComparablePath(change.path, TrailingSeparator::kKeep);
    });
    onChange_(change);
  }
  queuedCopies_.clear();
  return failures;
}

}  // namespace platform
