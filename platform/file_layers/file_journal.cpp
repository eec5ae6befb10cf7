#include "platform/file_layers/file_journal.h"

#include <cstring>

namespace platform {
namespace {

FileChange Change(FileChange::Kind kind, const std::string& path, const std::string& source = "",
                  bool failed = false) {
  FileChange change;
  change.kind = kind;
  change.path = path;
  change.source = source;
  change.failed = failed;
  return change;
}

}  // namespace

std::string DescribeChange(const FileChange& change, ChangeTense tense) {
  const bool planned = tense == ChangeTense::Planned;
  const std::string refused = planned ? "cannot " : "could not ";
  using Kind = FileChange::Kind;
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
    case Kind::Copy:
      return (planned ? "copy " : "copied ") + change.source +
             (change.overwrote ? " over " : " to ") + change.path;
    case Kind::Replace:
      return "put " + change.source + " in place of " + change.path;
    case Kind::Append:
      return (planned ? "append " : "appended ") + change.what + " to " + change.path;
  }
  return {};
}

JournaledFileServices::JournaledFileServices(FileServices& target,
                                             std::function<void(const FileChange&)> onChange)
    : target_(target), onChange_(std::move(onChange)) {}

bool JournaledFileServices::CreateFolder(const std::string& path) {
  const bool done = target_.CreateFolder(path);
  onChange_(Change(FileChange::Kind::CreateFolder, path, "", !done));
  return done;
}

bool JournaledFileServices::RemoveFile(const std::string& path) {
  const bool done = target_.RemoveFile(path);
  // A scratch file of a copy that did not complete is the copy's business.
  if (copies_.erase(path) == 0) onChange_(Change(FileChange::Kind::Delete, path, "", !done));
  return done;
}

bool JournaledFileServices::MovePath(const std::string& from, const std::string& to) {
  const bool done = target_.MovePath(from, to);
  onChange_(Change(FileChange::Kind::Rename, to, from, !done));
  return done;
}

bool JournaledFileServices::ReplaceFileWith(const std::string& from, const std::string& to) {
  const bool existed = target_.PathExists(to);
  const std::optional<uint64_t> size = target_.FileSize(from);
  const bool done = target_.ReplaceFileWith(from, to);
  const auto copy = copies_.find(from);
  // A file written anew from its own bytes (a whole-file edit such as SCENERY.CFG's) is no copy:
  // whoever edits it says what changed (NoteAppend).
  const bool rewritesItself = copy != copies_.end() && copy->second.source == to;
  if (done && !rewritesItself) {
    FileChange change = Change(FileChange::Kind::Replace, to, from);
    change.bytes = size.value_or(0);
    change.overwrote = existed;
    if (copy != copies_.end()) {
      change.kind = FileChange::Kind::Copy;
      change.source = copy->second.source;
      change.label = copy->second.label;
    }
    onChange_(change);
  }
  if (copy != copies_.end() && done) copies_.erase(copy);
  return done;
}

FILE* JournaledFileServices::OpenStream(const std::string& path, const char* mode) {
  FILE* stream = target_.OpenStream(path, mode);
  if (!stream || !mode) return stream;
  if (std::strcmp(mode, "rb") == 0) lastBinaryRead_ = path;
  if (std::strcmp(mode, "wb") == 0 && !lastBinaryRead_.empty()) {
    copies_[path] = {lastBinaryRead_, labelNow_ ? labelNow_() : std::string()};
    lastBinaryRead_.clear();
  }
  return stream;
}

void JournaledFileServices::NoteAppend(const std::string& path, const std::string& what) {
  target_.NoteAppend(path, what);
  FileChange change = Change(FileChange::Kind::Append, path);
  change.what = what;
  onChange_(change);
}

}  // namespace platform
