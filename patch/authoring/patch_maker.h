#pragma once
// Writing a patch for its author: two FS2004 folders, one with the product as it ships and a copy
// changed until it works with the scenery product, are compared without regard to letter case, and
// their differences become the list files and replacement files that turn the first into the second
// on install and back on removal. Changes the lists cannot express are refused, never guessed.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PatchSources {
  std::string originalFsPath;               // the FS2004 folder with the product as it ships
  std::string patchedFsPath;                // the same folder after the author's changes
  std::string productFolder;                // the product's folder, relative to both
  std::string title;                        // TITLE.OV line 1
  std::optional<std::string> identifyFile;  // TITLE.OV line 2, relative to the product folder
};

// A file or folder whose change no list record can make, and what the author can do instead.
struct RefusedChange {
  std::string path;  // relative to the FS2004 folder, spelled as on disk
  std::string problem;
  std::string instead;
};

// A replacement file of the patch folder ("<name>.BGL") and the patched tree's file it copies.
struct ReplacementFile {
  std::string name;
  std::string source;
  uint64_t size = 0;
};

struct PatchDraft {
  // A source that cannot be used (a folder missing, a title that does not fit); the rest is empty.
  std::string error;
  // Non-empty: the trees differ in ways the lists cannot express, and no patch may be written.
  std::vector<RefusedChange> refused;
  // The records of each list file, one line each without its line end, in the order written.
  std::vector<std::string> folders, renames, removals, backups, installs;
  std::string title, identifyFile, productFolder;  // TITLE.OV lines 1 and 2, PATH.OV's line
  std::vector<ReplacementFile> replacements;
  uint64_t ReplacementBytes() const;
  // True when no list holds a record: the two trees do not differ in anything the install changes.
  bool ChangesNothing() const;
};

// Compares the two trees and drafts the patch; reads only, writes nothing. SCENERY.CFG may differ
// by the exclusion area the install appends, and its dated copies are not compared.
PatchDraft DraftPatch(const PatchSources& sources);

// "" when `folder` can receive a patch: it is missing (its parent exists) or an empty folder;
// otherwise why not.
std::string PatchFolderProblem(const std::string& folder);

// Writes a draft without refusals into `folder` (see PatchFolderProblem): the replacement files,
// CREATE.OV, REN.OV, REM.OV, BAK.OV, INST.OV, TITLE.OV ("NONE" as its third line) and PATH.OV, as
// text in the system code page with CR LF line ends. "" on success; otherwise what failed, after
// removing every file it wrote, and whether that removal left any behind.
std::string WritePatchFolder(const PatchDraft& draft, const std::string& folder);

// "PATH: problem. Instead: what to do.".
std::string RefusedChangeLine(const RefusedChange& change);
