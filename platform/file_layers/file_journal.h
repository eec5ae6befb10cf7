#pragma once
// A record of the changes made to files through the file services, for a change log or a plan.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/file_layers/file_services.h"

namespace platform {

// One change, made (or in a plan, to be made) through the services.
struct FileChange {
  enum class Kind { CreateFolder, Delete, Rename, Copy, Replace, Append };
  Kind kind = Kind::CreateFolder;
  std::string path;  // the folder or file changed; for a rename, copy or replace its new content
  std::string
      source;        // rename: the old name; copy: the file copied; replace: the file put in place
  std::string what;  // append: what was appended, in words
  uint64_t bytes = 0;      // copy: the copy's size
  bool overwrote = false;  // copy: `path` existed before
  bool failed = false;     // the services refused it (folder creations, deletions and renames)
  std::string label;       // copy: what the journal's labeller said as the copy began
};

enum class ChangeTense { Planned, Done };

// One line for the change: "create folder X" / "created folder X", "copy A over B" / "copied A over
// B", "cannot rename A to B" / "could not rename A to B", ...
std::string DescribeChange(const FileChange& change, ChangeTense tense);

// Services that pass every call on to `target` and report each change to `onChange`. A copy shows
// as one change: a file written with mode "wb" right after a file was opened with "rb" and then put
// in place of the destination with ReplaceFileWith is a copy of that file; the scratch file in
// between is not reported. Failures are reported for the changes whose callers do not report them
// (folder creations, deletions, renames); a failed copy is told by the copy itself.
class JournaledFileServices : public FileServices {
public:
  JournaledFileServices(FileServices& target, std::function<void(const FileChange&)> onChange);

  bool PathExists(const std::string& path) override { return target_.PathExists(path); }
  bool IsFolder(const std::string& path) override { return target_.IsFolder(path); }
  bool IsReadOnlyFile(const std::string& path) override { return target_.IsReadOnlyFile(path); }
  bool FolderAcceptsChanges(const std::string& folder) override {
    return target_.FolderAcceptsChanges(folder);
  }
  std::optional<uint64_t> FileSize(const std::string& path) override {
    return target_.FileSize(path);
  }
  std::vector<std::string> FolderEntryNames(const std::string& folder) override {
    return target_.FolderEntryNames(folder);
  }
  bool CreateFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool MovePath(const std::string& from, const std::string& to) override;
  bool ReplaceFileWith(const std::string& from, const std::string& to) override;
  FILE* OpenStream(const std::string& path, const char* mode) override;
  void NoteAppend(const std::string& path, const std::string& what) override;
  bool ChangesHostFiles() const override { return target_.ChangesHostFiles(); }

  // Asked for a label as each copy begins; the copy's change carries it. The change itself is
  // reported only once the copy replaces its destination, which a WriteBatch may hold back.
  void LabelCopiesWith(std::function<std::string()> labelNow) { labelNow_ = std::move(labelNow); }

private:
  FileServices& target_;
  std::function<void(const FileChange&)> onChange_;
  std::function<std::string()> labelNow_;
  std::string lastBinaryRead_;
  struct CopyInProgress {
    std::string source;  // the file copied
    std::string label;
  };
  std::map<std::string, CopyInProgress> copies_;  // by the scratch file being written
};

}  // namespace platform
