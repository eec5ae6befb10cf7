#include "patch/engine/scenery_files.h"

#include <cstdio>

#include "patch/engine/copy_patch_file.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/text.h"

namespace {

// Lets the dialog repaint the status line before each copy.
constexpr unsigned kCopyPauseMilliseconds = 50;

void ShowCopyProgress(PatchContext& context, PatchView& view, const char* format, int number) {
  char text[64];
  std::snprintf(text, sizeof text, format, number);
  context.m_strStatus = text;
  view.RefreshControls();
  view.PumpMessagesFor(0, kCopyPauseMilliseconds);
}

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

// Moves `from` to `to`: when `to` already exists the file `from` is deleted instead (the target
// name wins); when neither exists nothing happens.
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

// A REN.OV value resolved, or "" when the line lacks it.
std::string ResolvedRenameName(const PatchContext& context, const std::string& line, int column) {
  const std::string value = ExtractColumn(line, column);
  return value.empty() ? std::string() : ResolvePatchPath(context, value);
}

// True when the REN.OV value in `column` is missing or stays inside its folder.
bool RenameNameStaysInside(const PatchContext& context, PatchView& view, const std::string& line,
                           int lineNumber, int column) {
  const std::string value = ExtractColumn(line, column);
  return value.empty() || NameStaysInside(view, "REN.OV", lineNumber, RelativePatchPath(value),
                                          ResolvePatchPath(context, value));
}

// Each record's FS2004 file (column `fsColumn`) with its patch-folder file (column `patchColumn`).
PairedFiles ListedPairs(const PatchContext& context, const char* listFile, int fsColumn,
                        int patchColumn) {
  PairedFiles files;
  ForEachListRecord(listFile, ListLayout::Column, [&](const std::string& line, int /*lineNumber*/) {
    const std::string fsName = ExtractColumn(line, fsColumn);
    if (!ListValueStaysInside(SceneryFileName(fsName, "BGL"))) return;
    const std::string patchName = ExtractColumn(line, patchColumn);
    std::string patchFile = ListValueStaysInside(SceneryFileName(patchName, "BGL"))
                                ? ScenerySubPath(context.m_strAppDir, patchName, "BGL")
                                : std::string();
    files.Add({platform::JoinPath(context.m_strFsPath, fsName), patchFile});
  });
  return files;
}

}  // namespace

std::string SceneryFileName(const std::string& name, const std::string& extension) {
  return name + "." + extension;
}

std::string ScenerySubPath(const std::string& folder, const std::string& name,
                           const std::string& extension) {
  return platform::JoinPath(folder, SceneryFileName(name, extension));
}

bool SceneryNameStaysInside(PatchView& view, const std::string& listFile, int lineNumber,
                            const std::string& folder, const std::string& name,
                            const std::string& extension) {
  return NameStaysInside(view, listFile, lineNumber, SceneryFileName(name, extension),
                         ScenerySubPath(folder, name, extension));
}

std::optional<std::string> CurrentSceneryForm(const std::string& fsPath, const std::string& name) {
  if (platform::PathExists(ScenerySubPath(fsPath, name, "XXX"))) return "XXX";
  if (platform::PathExists(ScenerySubPath(fsPath, name, "BGL"))) return "BGL";
  return std::nullopt;
}

void CopyListedSceneryFiles(PatchContext& context, PatchView& view, const char* listFile,
                            const char* progressFormat, const CopyPlanner& plan) {
  int copyNumber = 1;
  // The copies are put on the disk together, before any of them replaces a file.
  platform::WriteBatch batch;
  ForEachListRecord(listFile, ListLayout::Column, [&](const std::string& line, int lineNumber) {
    const std::string name = ExtractColumn(line, kFirstColumn);
    if (!SceneryNameStaysInside(view, listFile, lineNumber, context.m_strFsPath, name, "BGL"))
      return;
    const auto form = CurrentSceneryForm(context.m_strFsPath, name);
    if (!form) return;
    const std::optional<PlannedCopy> copy = plan(line, lineNumber, name, *form);
    if (!copy) return;
    ShowCopyProgress(context, view, progressFormat, copyNumber++);
    CopyPatchFile(view, copy->source, copy->destination);
  });
  ReportUnfinishedCopies(view, batch.Settle());
}

void PairedFiles::Add(PairedFile file) {
  std::string key = ComparableName(file.fsFile);
  byName_.try_emplace(std::move(key), std::move(file));
}

const PairedFile* PairedFiles::Find(const std::string& fsFile) const {
  const auto found = byName_.find(ComparableName(fsFile));
  return found == byName_.end() ? nullptr : &found->second;
}

PairedFiles ListedBackups(const PatchContext& context) {
  return ListedPairs(context, "BAK.OV", kFirstColumn, kSecondColumn);
}

PairedFiles ListedReplacements(const PatchContext& context) {
  return ListedPairs(context, "INST.OV", kThirdColumn, kSecondColumn);
}

void WarnAboutFiles(PatchView& view, const std::string& lead, const std::vector<std::string>& files,
                    const std::string& tail) {
  if (files.empty()) return;
  std::string text = lead + "\n";
  for (const std::string& file : files) text += "\n" + file;
  view.ShowStopMessage(text + "\n\n" + tail, "Warning");
}

void RenameListedFiles(const PatchContext& context, PatchView& view, RenameDirection direction) {
  ForEachListRecord("REN.OV", ListLayout::Column, [&](const std::string& line, int lineNumber) {
    if (!RenameNameStaysInside(context, view, line, lineNumber, kFirstColumn) ||
        !RenameNameStaysInside(context, view, line, lineNumber, kSecondColumn))
      return;
    const std::string original = ResolvedRenameName(context, line, kFirstColumn);
    const std::string patched = ResolvedRenameName(context, line, kSecondColumn);
    if (direction == RenameDirection::Forward) {
      ApplyRename(original, patched);
    } else {
      ApplyRename(patched, original);
    }
  });
}

bool SameFileName(const std::string& a, const std::string& b) {
  return ComparableName(a) == ComparableName(b);
}
