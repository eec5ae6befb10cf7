#include "patch/product/product_locator.h"

#include "patch/context/change_lock.h"
#include "patch/context/settings.h"
#include "patch/lists/list_catalogue.h"
#include "patch/lists/list_files.h"
#include "platform/files.h"
#include "platform/stream_io.h"
#include "platform/strings.h"
#include "platform/text.h"

ProductSearchList g_productSearchList;

namespace {

constexpr const char* kMissingDataFilesText =
    "Critical patch data files are missing.\nPlease exit and reinstall the patch before "
    "continuing.";
constexpr const char* kNotFoundText =
    " product not found in expected paths.\nPatch cannot be applied.\n"
    "You can try locating the product to be patched manually.";
constexpr const char* kTitleFileUnwritableText =
    "The patch data file TITLE.OV could not be written.\n"
    "The product folder will not be remembered for the next run.";

// TITLE.OV is read a whole path at a time, however long a path the system accepts: the path, its
// line feed and the terminating zero.
int TitleLineReadLimit() { return static_cast<int>(platform::LongestPathLength()) + 2; }

// Reads the next line of a TITLE.OV or PATH.OV stream, at most `limit` - 1 characters at a time,
// cut at its first line feed. False at the end of the stream.
bool ReadProductFileLine(FILE* stream, int limit, std::string& line) {
  if (!platform::ReadLine(stream, limit, line)) return false;
  size_t feed = line.find('\n');
  if (feed != std::string::npos) line.resize(feed);
  return true;
}

// The three lines of TITLE.OV. A missing title or check file line is empty; a missing folder line
// is "NONE", so a short file starts the search rather than naming the drive root.
struct TitleFileLines {
  std::string title;
  std::string checkFile;
  std::string folder;
};

// Reads TITLE.OV from the current folder into `lines`. False when it cannot be opened.
bool ReadTitleFile(platform::Disk& disk, TitleFileLines& lines) {
  platform::UniqueStream stream(disk.OpenToRead(kTitleListFile.name, false));
  if (!stream) return false;
  const int limit = TitleLineReadLimit();
  if (!ReadProductFileLine(stream.get(), limit, lines.title)) lines.title = "";
  DropByteOrderMark(lines.title);
  if (!ReadProductFileLine(stream.get(), limit, lines.checkFile)) lines.checkFile = "";
  if (!ReadProductFileLine(stream.get(), limit, lines.folder)) lines.folder = "NONE";
  return true;
}

bool IsWhiteSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Removes trailing white space, stepping through the text character by character so that the trail
// byte of a double-byte character is never taken for white space.
void StripTrailingWhiteSpace(std::string& text) {
  size_t keep = 0;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t width = platform::IsLeadByte(c) && i + 1 < text.size() ? 2 : 1;
    i += width;
    if (width == 2 || !IsWhiteSpace(c)) keep = i;
  }
  text.resize(keep);
}

// Line 3 starting with these four capitals asks for the search.
bool IsSearchMarker(const std::string& folder) { return folder.compare(0, 4, "NONE") == 0; }

}  // namespace

int LoadProductSearchList(PatchContext& /*context*/, PatchView& view, platform::Disk& disk) {
  view.EnableApplyCheckbox(false);
  platform::UniqueStream stream(disk.OpenToRead(kPathListFile.name, false));
  if (!stream) {
    view.ShowStopMessage(kMissingDataFilesText, "Critical Error");
    return -1;
  }
  // Every line is an entry, empty ones included, however many there are.
  g_productSearchList.entries.clear();
  std::string line;
  for (bool first = true; ReadProductFileLine(stream.get(), kPathListReadLimit, line);
       first = false) {
    if (first) DropByteOrderMark(line);
    StripTrailingWhiteSpace(line);
    g_productSearchList.entries.push_back(line);
  }
  g_productSearchList.loaded = true;
  return 0;
}

int LocateProduct(PatchContext& context, PatchView& view, platform::Disk& disk) {
  view.EnableApplyCheckbox(false);
  TitleFileLines lines;
  if (!ReadTitleFile(disk, lines)) {
    view.ShowStopMessage(kMissingDataFilesText, "Critical Error");
    return -1;
  }
  context.m_strProductTitle = lines.title;
  context.m_strProductCheckFile = lines.checkFile;
  context.m_strProductFolder = lines.folder;
  context.m_bTitleFileRead = true;

  if (!IsSearchMarker(context.m_strProductFolder)) {
    // A remembered folder counts only with its check file in it.
    context.m_strProductPath = context.m_strProductFolder;
    if (disk.PathExists(
            platform::JoinPath(context.m_strProductPath, context.m_strProductCheckFile))) {
      view.EnableApplyCheckbox(true);
      return 0;
    }
  } else {
    // The first search folder that exists wins and is remembered.
    for (const std::string& entry : g_productSearchList.entries) {
      context.m_strProductPath = platform::JoinPath(context.m_strFsPath, entry) + "\\";
      if (disk.PathExists(context.m_strProductPath)) {
        context.m_strProductFolder = context.m_strProductPath;
        // Remembered only while no other instance changes the folders; else the next start
        // searches again.
        if (ChangeLock lock; lock.TryTake(context, disk)) SaveProductTitleFile(context, view, disk);
        view.EnableApplyCheckbox(true);
        return 0;
      }
    }
  }
  view.ShowStopMessage(context.m_strProductTitle + kNotFoundText, "Warning");
  return -1;
}

int SaveProductTitleFile(PatchContext& context, PatchView& view, platform::Disk& disk) {
  view.EnableApplyCheckbox(false);
  // Three lines with the line ends of a text file; the new file replaces TITLE.OV only once it is
  // complete and on the disk, so a failure leaves the old one whole.
  const std::string content = context.m_strProductTitle + "\r\n" + context.m_strProductCheckFile +
                              "\r\n" + context.m_strProductFolder + "\r\n";
  if (disk.ReplaceWhole(kTitleListFile.name, content, "the product folder") !=
      platform::WriteOutcome::Done)
    view.ShowStopMessage(kTitleFileUnwritableText, "Warning");
  return 0;
}

void ChangeProductPath(PatchContext& context, PatchView& view, platform::Disk& disk) {
  std::optional<std::string> chosen =
      view.BrowseForFolder("Select " + context.m_strProductTitle + " Folder Location");
  // A selection without a file-system path is treated as a cancel: it would name the drive root.
  if (!chosen || chosen->empty()) return;

  // When start-up stopped before TITLE.OV was read, keep its title and check file rather than
  // overwriting them with empty lines.
  if (!context.m_bTitleFileRead) {
    TitleFileLines lines;
    if (ReadTitleFile(disk, lines)) {
      context.m_strProductTitle = lines.title;
      context.m_strProductCheckFile = lines.checkFile;
    }
  }

  context.m_strProductFolder = *chosen + "\\";
  SaveProductTitleFile(context, view, disk);
  view.EnableApplyCheckbox(true);
  if (LocateProduct(context, view, disk) == 0) SyncApplyCheckbox(context, view);
}
