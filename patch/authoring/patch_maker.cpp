#include "patch/authoring/patch_maker.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "patch/engine/scenery_library.h"
#include "patch/lists/list_catalogue.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"
#include "platform/stream_io.h"
#include "platform/strings.h"
#include "platform/text.h"
#include "platform/file_layers/whole_file.h"
#include "platform/file_layers/write_batch.h"

namespace {

constexpr size_t kLongestFolderLine = kLongestListRead;  // CREATE.OV: one read of the line loop
// A PATH.OV line that one read takes with its line break; TITLE.OV's are kept as short.
constexpr size_t kLongestTitleLine = kPathListReadLimit - 2;
constexpr size_t kLongestTitle = 232;       // keeps "Select %s Folder Location" within 255
constexpr size_t kLongestPatchFileName = 60;
constexpr int kDeepestFolder = 64;  // deeper than this, a link probably loops

constexpr unsigned kActive = 1;    // NAME.BGL
constexpr unsigned kDisabled = 2;  // NAME.XXX

const char* FormExtension(unsigned form) { return form == kDisabled ? ".XXX" : ".BGL"; }

// The form install and removal write a scenery file in, given the forms it has: the disabled one
// whenever it exists.
unsigned CurrentForm(unsigned forms) { return (forms & kDisabled) ? kDisabled : forms & kActive; }

struct Entry {
  std::string spelled;  // path relative to the tree's root as on disk, "\" separated
  bool folder = false;
  uint64_t size = 0;
};
// Entries by their path in upper case, so that names compare without regard to letter case.
using Tree = std::map<std::string, Entry>;

std::string Key(const std::string& relative) { return platform::UpperCase(relative); }

std::string FolderOf(const std::string& path) {
  const size_t separator = path.rfind('\\');
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

// A scenery file's name without extension and its form; nullopt for any other file.
struct SceneryName {
  std::string stem;
  unsigned form = 0;
};
std::optional<SceneryName> SceneryNameOf(const std::string& path) {
  if (path.size() < 4) return std::nullopt;
  const std::string extension = Key(path.substr(path.size() - 4));
  const unsigned form = extension == ".BGL" ? kActive : extension == ".XXX" ? kDisabled : 0;
  SceneryName name{path.substr(0, path.size() - 4), form};
  // A file whose whole name is the extension is no scenery file.
  if (form == 0 || platform::LastPathComponent(path).size() <= 4) return std::nullopt;
  return name;
}

// Why `value` cannot stand in a list column as the name it is, or nullopt when it can.
std::optional<RefusedChange> ColumnValueProblem(const std::string& path, const std::string& value) {
  if (value.empty()) return RefusedChange{path, "it has no name to list", "rename it"};
  if (value.size() > kColumnValueWidth)
    return RefusedChange{path,
                         "its name in the list, " + value + ", is longer than the " +
                             std::to_string(kColumnValueWidth) + " characters of a column",
                         "use shorter folder or file names"};
  bool control = false;
  for (char c : value) control = control || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
  if (control || value.front() == ' ' || value.back() == ' ' || !ListValueStaysInside(value))
    return RefusedChange{path,
                         "its name cannot be written in a list column (a control character, a "
                         "space at its start or end, a \":\" or a name of dots)",
                         "rename it in both folders"};
  return std::nullopt;
}

// `values` in their columns, each padded to the column's width.
std::string ColumnRecord(std::initializer_list<std::string> values) {
  std::string line;
  for (const std::string& value : values)
    line += value + std::string(kColumnWidth - value.size(), ' ');
  return line;
}

std::string ListText(const std::vector<std::string>& records) {
  std::string text;
  for (const std::string& record : records) text += record + "\r\n";
  return text;
}

// A hash of the file's bytes, to find files of equal content; nullopt when it cannot be read.
std::optional<uint64_t> ContentHash(const std::string& path) {
  platform::UniqueStream stream(platform::OpenStream(path, "rb"));
  if (!stream) return std::nullopt;
  std::vector<char> buffer(64 * 1024);
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  while (const size_t count = platform::ReadBytes(stream.get(), buffer.data(), buffer.size())) {
    for (size_t i = 0; i < count; ++i)
      hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ull;
  }
  if (platform::ReadFailed(stream.get())) return std::nullopt;
  return hash;
}

// True when SCENERY.CFG changed only by the exclusion area the install appends itself.
bool OnlyTheExclusionAreaAdded(const std::string& original, const std::string& patched) {
  if (patched.size() <= original.size() || patched.compare(0, original.size(), original) != 0)
    return false;
  const std::vector<std::string> lines = platform::SplitOn(patched.substr(original.size()), "\r\n");
  const std::string local = Key(std::string("Local=") + kExcludeAreaLocal);
  int sections = 0;
  bool exclusion = false;
  for (const std::string& line : lines) {
    if (line.starts_with("[")) ++sections;
    exclusion = exclusion || Key(line) == local;
  }
  return sections == 1 && !lines.empty() && lines.front().starts_with("[Area.") && exclusion;
}

class PatchDrafter {
public:
  explicit PatchDrafter(const PatchSources& sources) : sources_(sources) {}

  PatchDraft Draft() {
    if (!ReadSources()) return std::move(draft_);
    CompareSceneryConfig();
    FindChangedFiles();
    PairRenames();
    NoteFormsAfterRenames();
    DraftFolders();
    DraftRenames();
    DraftFiles();
    return std::move(draft_);
  }

private:
  bool Fail(std::string error) {
    draft_.error = std::move(error);
    return false;
  }

  bool ReadSources() {
    if (sources_.title.size() > kLongestTitle)
      return Fail("the title is longer than " + std::to_string(kLongestTitle) + " characters");
    for (char c : sources_.title)
      if (static_cast<unsigned char>(c) < 0x20) return Fail("the title holds a control character");
    draft_.title = sources_.title;
    for (const std::string* root : {&sources_.originalFsPath, &sources_.patchedFsPath})
      if (!platform::IsFolder(*root)) return Fail("no folder " + *root);
    if (!ListTree(sources_.originalFsPath, "", 0, original_) ||
        !ListTree(sources_.patchedFsPath, "", 0, patched_))
      return Fail("folders nested more than " + std::to_string(kDeepestFolder) +
                  " deep (a link that loops?)");

    const std::string product = Relative(sources_.productFolder);
    productKey_ = Key(product);
    const auto inOriginal = original_.find(productKey_);
    const auto inPatched = patched_.find(productKey_);
    if (product.empty() || inOriginal == original_.end() || !inOriginal->second.folder ||
        inPatched == patched_.end() || !inPatched->second.folder)
      return Fail("the product folder " + sources_.productFolder +
                  " is not a folder of both trees");
    draft_.productFolder = inOriginal->second.spelled;
    if (draft_.productFolder.size() > kLongestTitleLine)
      return Fail("the product folder's path is longer than " + std::to_string(kLongestTitleLine) +
                  " characters");

    if (sources_.identifyFile) {
      const std::string file = Relative(*sources_.identifyFile);
      if (file.empty() || !FileInBoth(Key(product + "\\" + file)))
        return Fail("the identifying file " + *sources_.identifyFile +
                    " is not a file of the product folder in both trees");
      draft_.identifyFile = file;
    } else {
      draft_.identifyFile = DefaultIdentifyFile();
    }
    if (draft_.identifyFile.size() > kLongestTitleLine)
      return Fail("the identifying file's name is longer than " +
                  std::to_string(kLongestTitleLine) + " characters");
    return true;
  }

  // `path` with "\" separators, without empty or "." components; "" when it climbs out or names
  // a drive.
  static std::string Relative(const std::string& path) {
    std::string joined;
    for (const std::string& part : platform::SplitPath(path)) {
      if (part == ".") continue;
      if (part.find(':') != std::string::npos || part.find_first_not_of(". ") == std::string::npos)
        return "";
      joined += (joined.empty() ? "" : "\\") + part;
    }
    return joined;
  }

  // Every file and folder below `root`. Names that only letter case tells apart, and names with a
  // backslash (read as a separator by the program), are refused. False when nested too deep.
  bool ListTree(const std::string& root, const std::string& relative, int depth, Tree& tree) {
    if (depth > kDeepestFolder) return false;
    const std::string folder = relative.empty() ? root : platform::JoinPath(root, relative);
    for (const std::string& name : platform::FolderEntryNames(folder)) {
      const std::string path = relative.empty() ? name : platform::JoinPath(relative, name);
      if (name.find('\\') != std::string::npos) {
        Refuse({path, "its name holds a backslash, which the program reads as a folder separator",
                "rename it"});
        continue;
      }
      const std::string full = platform::JoinPath(root, path);
      const Entry entry{path, platform::IsFolder(full), platform::FileSize(full).value_or(0)};
      const auto [found, added] = tree.emplace(Key(path), entry);
      if (!added) {
        Refuse({path, "only letter case tells it apart from " + found->second.spelled,
                "keep one of the two names"});
        continue;
      }
      if (entry.folder && !ListTree(root, path, depth + 1, tree)) return false;
    }
    return true;
  }

  bool FileInBoth(const std::string& key) const {
    const auto a = original_.find(key);
    const auto b = patched_.find(key);
    return a != original_.end() && !a->second.folder && b != patched_.end() && !b->second.folder;
  }

  // The product's file nearest its folder's top that both trees hold, or "" (the folder itself is
  // then what confirms it).
  std::string DefaultIdentifyFile() const {
    const std::string prefix = productKey_ + "\\";
    const Entry* best = nullptr;
    size_t bestDepth = 0;
    for (auto it = original_.lower_bound(prefix); it != original_.end(); ++it) {
      if (!it->first.starts_with(prefix)) break;
      if (!FileInBoth(it->first)) continue;
      const size_t depth = std::count(it->first.begin(), it->first.end(), '\\');
      if (!best || depth < bestDepth) {
        best = &it->second;
        bestDepth = depth;
      }
    }
    return best ? best->spelled.substr(draft_.productFolder.size() + 1) : std::string();
  }

  // The program's own files in the FS2004 folder, compared apart or not at all.
  static bool OwnFile(const std::string& key) {
    return key == "SCENERY.CFG" ||
           (key.find('\\') == std::string::npos && IsSceneryBackupName(key));
  }

  void CompareSceneryConfig() {
    if (!original_.count("SCENERY.CFG") && !patched_.count("SCENERY.CFG")) return;
    const auto original = platform::ReadWholeFile(OriginalPath("SCENERY.CFG"));
    const auto patched = platform::ReadWholeFile(PatchedPath("SCENERY.CFG"));
    if (original && patched &&
        (*original == *patched || OnlyTheExclusionAreaAdded(*original, *patched)))
      return;
    Refuse({"SCENERY.CFG",
            "changed beyond the exclusion area that the install appends itself; the lists cannot "
            "change SCENERY.CFG",
            "keep it as in the original folder"});
  }

  std::string OriginalPath(const std::string& key) const {
    const auto found = original_.find(key);
    return platform::JoinPath(sources_.originalFsPath,
                              found == original_.end() ? key : found->second.spelled);
  }
  std::string PatchedPath(const std::string& key) const {
    const auto found = patched_.find(key);
    return platform::JoinPath(sources_.patchedFsPath,
                              found == patched_.end() ? key : found->second.spelled);
  }

  // Files both trees hold whose bytes differ.
  void FindChangedFiles() {
    for (const auto& [key, entry] : original_) {
      if (entry.folder || OwnFile(key) || !FileInBoth(key)) continue;
      if (patched_.at(key).size != entry.size ||
          !platform::SameFileBytes(OriginalPath(key), PatchedPath(key)))
        changed_.insert(key);
    }
  }

  // A file of the original tree that the patched tree lacks, or holds changed (a scenery file),
  // whose bytes a new file of the patched tree has: the file was moved or renamed. Files the
  // patched tree lacks are paired first; among equal files, one of the same name, then one in the
  // same folder, is taken.
  void PairRenames() {
    std::map<uint64_t, std::vector<std::string>> newBySize;
    for (const auto& [key, entry] : patched_)
      if (!entry.folder && !OwnFile(key) && !original_.count(key))
        newBySize[entry.size].push_back(key);
    std::vector<std::string> sources;
    for (const auto& [key, entry] : original_)
      if (!entry.folder && !OwnFile(key) && !patched_.count(key)) sources.push_back(key);
    // A changed file's name then holds a new file, which only a scenery file can be.
    for (const std::string& key : changed_)
      if (SceneryNameOf(key)) sources.push_back(key);

    std::map<std::string, std::optional<uint64_t>> patchedHashes;
    for (const std::string& source : sources) {
      std::vector<std::string>& candidates = newBySize[original_.at(source).size];
      if (candidates.empty()) continue;
      const std::optional<uint64_t> hash = ContentHash(OriginalPath(source));
      if (!hash) continue;
      std::vector<std::string> equal;
      for (const std::string& candidate : candidates) {
        auto [cached, missing] = patchedHashes.try_emplace(candidate);
        if (missing) cached->second = ContentHash(PatchedPath(candidate));
        if (cached->second == hash) equal.push_back(candidate);
      }
      const std::string sourceName = platform::LastPathComponent(source);
      const auto score = [&](const std::string& candidate) {
        if (platform::LastPathComponent(candidate) == sourceName) return 2;
        return FolderOf(candidate) == FolderOf(source) ? 1 : 0;
      };
      std::stable_sort(equal.begin(), equal.end(), [&](const std::string& a, const std::string& b) {
        return score(a) > score(b);
      });
      for (const std::string& target : equal) {
        if (!platform::SameFileBytes(OriginalPath(source), PatchedPath(target))) continue;
        renames_[source] = target;
        renamedTo_.insert(target);
        changed_.erase(source);
        candidates.erase(std::find(candidates.begin(), candidates.end(), target));
        break;
      }
    }
  }

  // True when the original tree holds `key` as a file once its renames are made.
  bool InOriginalAfterRenames(const std::string& key) const {
    const auto found = original_.find(key);
    return (found != original_.end() && !found->second.folder && !renames_.count(key)) ||
           renamedTo_.count(key);
  }

  // The forms of each scenery file, before the install copies anything and after the removal
  // restores its backups; and for each form, files of the original that have it then.
  void NoteFormsAfterRenames() {
    const auto note = [&](const std::string& key, const std::string& spelled) {
      if (const auto name = SceneryNameOf(key)) {
        formsAfterRenames_[name->stem] |= name->form;
        spelledStems_.try_emplace(name->stem, spelled.substr(0, spelled.size() - 4));
      }
    };
    for (const auto& [key, entry] : original_)
      if (!entry.folder && InOriginalAfterRenames(key)) note(key, entry.spelled);
    for (const std::string& key : renamedTo_) note(key, patched_.at(key).spelled);
    for (const auto& [key, entry] : patched_)
      if (const auto name = SceneryNameOf(key); name && !entry.folder)
        patchedForms_[name->stem] |= name->form;
    for (const auto& [stem, forms] : formsAfterRenames_) {
      const std::string& spelled = spelledStems_.at(stem);
      if (ColumnValueProblem(spelled, spelled)) continue;
      FilesInForm& files = filesInForm_[CurrentForm(forms) == kDisabled];
      files.firstByFolder.try_emplace(FolderOf(stem), spelled);
      if (!files.shortest || spelled.size() < files.shortest->size()) files.shortest = spelled;
    }
  }

  void DraftFolders() {
    for (const auto& [key, entry] : original_) {
      if (!entry.folder) continue;
      const auto found = patched_.find(key);
      if (found == patched_.end() || !found->second.folder)
        Refuse({entry.spelled,
                "a folder that the patched tree lacks; the lists cannot remove folders",
                "keep the folder in the patched tree (it may be empty)"});
    }
    for (const auto& [key, entry] : patched_) {
      if (!entry.folder) continue;
      const auto found = original_.find(key);
      if (found != original_.end() && found->second.folder) continue;
      if (found != original_.end()) {
        Refuse({entry.spelled, "a new folder where the original tree has a file",
                "give the folder another name"});
        continue;
      }
      const std::string& path = entry.spelled;
      bool control = false;
      for (char c : path) control = control || static_cast<unsigned char>(c) <= 0x20 || c == 0x7F;
      if (path.find(' ') != std::string::npos) {
        Refuse({path,
                "a new folder whose path holds a space; CREATE.OV ends a folder's name at its "
                "first space",
                "create the folder under a path without spaces"});
      } else if (control || path.size() > kLongestFolderLine || !ListValueStaysInside(path)) {
        Refuse({path, "a new folder whose name cannot be written in CREATE.OV", "rename it"});
      } else {
        draft_.folders.push_back(path);
      }
    }
  }

  // A REN.OV value: kProductPrefix, "\" and the rest inside the product folder, else relative to
  // the FS2004 folder.
  std::string RenameValue(const std::string& spelled) const {
    if (Key(spelled).starts_with(productKey_ + "\\"))
      return std::string(kProductPrefix) + "\\" + spelled.substr(draft_.productFolder.size() + 1);
    return spelled;
  }

  std::optional<RefusedChange> RenameValueProblem(const std::string& path,
                                                  const std::string& value) const {
    if (!Key(path).starts_with(productKey_ + "\\") && value.starts_with(kProductPrefix))
      return RefusedChange{path,
                           "its name begins with \"PATH\", which REN.OV reads as the product "
                           "folder",
                           "rename it"};
    return ColumnValueProblem(path, value);
  }

  void DraftRenames() {
    for (const auto& [from, to] : renames_) {
      const std::string original = original_.at(from).spelled;
      const std::string patched = patched_.at(to).spelled;
      const std::string first = RenameValue(original);
      const std::string second = RenameValue(patched);
      std::optional<RefusedChange> problem = RenameValueProblem(original, first);
      if (!problem) problem = RenameValueProblem(patched, second);
      if (problem)
        Refuse(*problem);
      else
        draft_.renames.push_back(ColumnRecord({first, second}));
    }
  }

  void DraftFiles() {
    for (const auto& [key, entry] : original_) {
      if (entry.folder || OwnFile(key) || renames_.count(key) || FileInBoth(key)) continue;
      const auto name = SceneryNameOf(entry.spelled);
      Refuse({entry.spelled, "deleted; the lists can remove only files that the patch brings",
              "keep it, or disable it by a rename, for instance to " +
                  platform::LastPathComponent(name ? name->stem : entry.spelled) + ".OFF"});
    }
    for (const auto& [key, entry] : patched_) {
      if (entry.folder || OwnFile(key) || renamedTo_.count(key)) continue;
      if (FileInBoth(key) && !renames_.count(key)) {
        if (changed_.count(key)) DraftChangedFile(key, entry);
      } else if (const auto found = original_.find(key);
                 found != original_.end() && found->second.folder) {
        Refuse({entry.spelled, "a new file where the original tree has a folder",
                "give the file another name"});
      } else {
        DraftNewFile(key, entry);
      }
    }
  }

  void DraftChangedFile(const std::string& key, const Entry& entry) {
    const auto name = SceneryNameOf(entry.spelled);
    if (!name) {
      Refuse({entry.spelled, "changed, but the lists replace scenery files (.BGL, .XXX) only",
              "keep it as in the original folder"});
      return;
    }
    const std::string stem = Key(name->stem);
    if (CurrentForm(formsAfterRenames_[stem]) != name->form ||
        CurrentForm(patchedForms_[stem]) != name->form) {
      Refuse({entry.spelled,
              "changed in its active form while its disabled form (.XXX) exists too; install and "
              "removal write the disabled form",
              "change the .XXX file, or rename it away"});
      return;
    }
    if (auto problem = ColumnValueProblem(entry.spelled, name->stem)) {
      Refuse(*problem);
      return;
    }
    const std::string base = platform::LastPathComponent(name->stem);
    const std::string replacement = UniquePatchFileName(base);
    draft_.backups.push_back(ColumnRecord({name->stem, UniquePatchFileName(base + "_ORIG")}));
    draft_.installs.push_back(ColumnRecord({name->stem, replacement, name->stem}));
    draft_.replacements.push_back({replacement, PatchedPath(key), entry.size});
  }

  void DraftNewFile(const std::string& key, const Entry& entry) {
    const auto name = SceneryNameOf(entry.spelled);
    if (!name) {
      Refuse({entry.spelled, "added, but the lists bring in scenery files (.BGL, .XXX) only",
              "leave it out, or bring it in by renaming a file of the original folder"});
      return;
    }
    const std::string stem = Key(name->stem);
    for (unsigned form : {kActive, kDisabled}) {
      if ((patchedForms_[stem] & form) && InOriginalAfterRenames(stem + FormExtension(form))) {
        Refuse({entry.spelled,
                "added beside the other form of the same scenery file, which stays; the removal "
                "deletes a scenery file in both its forms",
                "give the new file a name of its own"});
        return;
      }
    }
    const std::optional<std::string> decider = FileInForm(FolderOf(stem), name->form);
    if (!decider) {
      Refuse({entry.spelled,
              std::string("added in the ") +
                  (name->form == kDisabled ? "disabled form (.XXX)" : "active form (.BGL)") +
                  ", but no scenery file of the original folder has that form to give it",
              "add it in the other form"});
      return;
    }
    if (auto problem = ColumnValueProblem(entry.spelled, name->stem)) {
      Refuse(*problem);
      return;
    }
    const std::string replacement = UniquePatchFileName(platform::LastPathComponent(name->stem));
    draft_.installs.push_back(ColumnRecord({*decider, replacement, name->stem}));
    if (removedStems_.insert(stem).second) draft_.removals.push_back(ColumnRecord({name->stem}));
    draft_.replacements.push_back({replacement, PatchedPath(key), entry.size});
  }

  // A scenery file of the original tree (after its renames) whose form at install time is
  // `form`, as a list value: one in `folder` when there is one, else the shortest.
  std::optional<std::string> FileInForm(const std::string& folder, unsigned form) const {
    const FilesInForm& files = filesInForm_[form == kDisabled];
    const auto nearest = files.firstByFolder.find(folder);
    if (nearest != files.firstByFolder.end()) return nearest->second;
    return files.shortest;
  }

  // A name for a file of the patch folder made from `base`, unlike every name given before.
  std::string UniquePatchFileName(const std::string& base) {
    std::string name;
    for (char c : base.substr(0, kLongestPatchFileName)) {
      const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                         (c >= 'a' && c <= 'z') || c == '_' || c == '-';
      name += plain ? c : '_';
    }
    if (name.empty()) name = "FILE";
    std::string unique = name;
    for (int n = 2; !patchFileNames_.insert(Key(unique)).second; ++n)
      unique = name + "_" + std::to_string(n);
    return unique;
  }

  void Refuse(RefusedChange change) { draft_.refused.push_back(std::move(change)); }

  const PatchSources& sources_;
  PatchDraft draft_;
  Tree original_, patched_;
  std::string productKey_;
  std::set<std::string> changed_;               // files both trees hold, with other bytes
  std::map<std::string, std::string> renames_;  // original file -> patched file
  std::set<std::string> renamedTo_;
  std::map<std::string, unsigned> formsAfterRenames_, patchedForms_;  // by stem
  std::map<std::string, std::string> spelledStems_;
  // Scenery files of the original tree after its renames, by the form they are written in: the
  // first of each folder, and the one with the shortest name.
  struct FilesInForm {
    std::map<std::string, std::string> firstByFolder;
    std::optional<std::string> shortest;
  };
  FilesInForm filesInForm_[2];  // active, disabled
  std::set<std::string> removedStems_, patchFileNames_;
};

}  // namespace

uint64_t PatchDraft::ReplacementBytes() const {
  uint64_t bytes = 0;
  for (const ReplacementFile& file : replacements) bytes += file.size;
  return bytes;
}

bool PatchDraft::ChangesNothing() const {
  return folders.empty() && renames.empty() && removals.empty() && backups.empty() &&
         installs.empty();
}

PatchDraft DraftPatch(const PatchSources& sources) {
  platform::FileOperationScope operation;
  return PatchDrafter(sources).Draft();
}

std::string PatchFolderProblem(const std::string& folder) {
  if (platform::IsFolder(folder)) {
    if (!platform::FolderEntryNames(folder).empty())
      return "the folder " + folder +
             " is not empty; a patch is written into a new or empty folder";
    return "";
  }
  if (platform::PathExists(folder)) return folder + " is not a folder";
  const size_t separator = platform::FindLastSeparator(folder);
  if (separator != std::string::npos && separator > 0 &&
      !platform::IsFolder(folder.substr(0, separator)))
    return "the folder that is to hold " + folder + " does not exist";
  return "";
}

std::string WritePatchFolder(const PatchDraft& draft, const std::string& folder) {
  if (!draft.error.empty() || !draft.refused.empty()) return "the patch could not be made";
  if (std::string problem = PatchFolderProblem(folder); !problem.empty()) return problem;
  if (!platform::IsFolder(folder) && !platform::CreateFolder(folder))
    return "cannot create the folder " + folder;

  std::vector<std::string> written;
  std::string failure;
  {
    platform::WriteBatch batch;
    const auto write = [&](const std::string& name, const std::string& bytes) {
      const std::string path = platform::JoinPath(folder, name);
      if (platform::ReplaceWholeFile(path, bytes) == platform::WriteOutcome::Done)
        written.push_back(path);
      else
        failure = "cannot write " + path;
      return failure.empty();
    };
    for (const ReplacementFile& file : draft.replacements) {
      const std::optional<std::string> bytes = platform::ReadWholeFile(file.source);
      if (!bytes) failure = "cannot read " + file.source;
      if (!bytes || !write(file.name + ".BGL", *bytes)) break;
    }
    if (failure.empty()) {
      write(kCreateListFile.name, ListText(draft.folders)) &&
          write(kRenameListFile.name, ListText(draft.renames)) &&
          write(kRemoveListFile.name, ListText(draft.removals)) &&
          write(kBackupListFile.name, ListText(draft.backups)) &&
          write(kInstallListFile.name, ListText(draft.installs)) &&
          write(kTitleListFile.name, ListText({draft.title, draft.identifyFile, "NONE"})) &&
          write(kPathListFile.name, ListText({draft.productFolder}));
    }
    for (const platform::FailedReplacement& failed : batch.Settle())
      if (failure.empty()) failure = "cannot write " + failed.target;
  }
  if (failure.empty()) return "";
  std::vector<std::string> left;
  for (const std::string& path : written)
    if (!platform::RemoveFile(path)) left.push_back(path);
  if (left.empty()) return failure + "; nothing was written";
  return failure + "; " + std::to_string(left.size()) +
         " of the files written could not be removed again, among them " + left.front();
}

std::string RefusedChangeLine(const RefusedChange& change) {
  return change.path + ": " + change.problem + ". Instead: " + change.instead + ".";
}
