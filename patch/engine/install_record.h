#pragma once
// The install record OVPATCH.REC in the patch folder: what the installs of this patch folder have
// done to the FS2004 folder, so that later installs, the removal, the plan and the verification
// decide from what was done rather than from what the files hold now. It keeps each folder
// created, each rename made, the exclusion area appended, each backup taken with the size and hash
// of the original it holds, and each file written with the size and hash of what was written;
// while an install's copies are being made, also what each is about to write ("pending"), so that
// a run cut short before it could record a copy never leaves the copy to be taken for an original.
// FS2004 files are named as their list values (relative to the FS2004 folder, scenery files
// without extension), backups relative to the patch folder, so that both builds read each other's
// record whatever form the folders are written in. The file is text in the system code page, one
// "key=value" line each, rewritten as a whole after each step of an install or removal, once what
// it claims is on the disk.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "patch/context/patch_context.h"
#include "patch/context/patch_folder.h"
#include "platform/file_layers/disk_interface.h"

struct RecordedBackup {
  std::string backupName;           // BAK.OV column 80, without ".BGL"
  platform::ContentStamp original;  // what the backup holds
};

class InstallRecord {
public:
  // The record of the context's patch folder as `disk` holds it; Exists() is false when there is
  // none (or it cannot be read, or is no install record).
  static InstallRecord Load(platform::Disk& disk, const PatchContext& context);

  bool Exists() const { return exists_; }
  // True when the last install or removal that wrote it was an install that finished.
  bool Installed() const { return installed_; }

  // The backup taken of the FS2004 scenery file `fsName` (a list value), or nullptr.
  const RecordedBackup* Backup(const std::string& fsName) const;
  // What was written over or as the FS2004 scenery file `fsName`, or nullptr.
  const platform::ContentStamp* Written(const std::string& fsName) const;

  void SetBackup(const std::string& fsName, const std::string& backupName,
                 const platform::ContentStamp& original);
  void SetWritten(const std::string& fsName, const platform::ContentStamp& written);
  // What an install was about to write over `fsName` when the record was saved: it may or may not
  // be there (nullptr when none). Pending copies are forgotten once the install's copies are done.
  const platform::ContentStamp* Pending(const std::string& fsName) const;
  void SetPending(const std::string& fsName, const platform::ContentStamp& stamp);
  void ForgetPending();
  // True when `stamp` is what the patch wrote over `fsName`, or was about to write there.
  bool PatchWrote(const std::string& fsName,
                  const std::optional<platform::ContentStamp>& stamp) const;
  // `fsName` holds what it held before the patch again (restored, or deleted with REM.OV): neither
  // written nor pending.
  void ForgetWritten(const std::string& fsName);
  // The backup of `fsName` no longer holds its original (lost or damaged).
  void ForgetBackup(const std::string& fsName);
  void AddCreatedFolder(const std::string& folder);
  void AddRename(const std::string& original, const std::string& patched);  // REN.OV values
  void SetExclusionArea(int areaNumber);
  void SetInstalled(bool installed);

  const std::vector<std::string>& CreatedFolders() const { return folders_; }  // CREATE.OV values
  const std::vector<std::pair<std::string, std::string>>& Renames() const { return renames_; }
  const std::map<std::string, RecordedBackup>& Backups() const { return backups_; }
  const std::map<std::string, platform::ContentStamp>& WrittenFiles() const { return written_; }
  const std::map<std::string, platform::ContentStamp>& PendingFiles() const { return pending_; }
  // The list value a key of Backups(), WrittenFiles() or PendingFiles() was recorded with.
  const std::string& NameOf(const std::string& key) const;

  // Writes the record as a whole, when it changed since it was loaded or last saved. False when
  // it could not be written (the old record is then left as it was).
  bool Save(platform::Disk& disk, const PatchContext& context);

  // The record's path in the context's patch folder.
  static std::string PathIn(const PatchContext& context);

private:
  using StampMap = std::map<std::string, platform::ContentStamp>;  // by ComparablePath
  static const platform::ContentStamp* StampIn(const StampMap& stamps, const std::string& fsName);
  void SetStamp(StampMap& stamps, const std::string& fsName, const platform::ContentStamp& stamp);
  std::string Text() const;

  bool exists_ = false;
  bool installed_ = false;
  bool changed_ = false;
  std::vector<std::string> folders_;
  std::vector<std::pair<std::string, std::string>> renames_;
  int area_ = 0;
  // By ComparablePath of the list value.
  std::map<std::string, RecordedBackup> backups_;
  StampMap written_;
  StampMap pending_;
  std::map<std::string, std::string> names_;
};
