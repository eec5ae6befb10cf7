#include "patch/product/product_files.h"
#include "patch/product/product_locator.h"
#include "platform/files.h"
#include "platform/stream_io.h"

namespace {

constexpr const char* kTitleFileTempName = "TITLE.OV.tmp";
constexpr const char* kTitleFileUnwritableText =
    "The patch data file TITLE.OV could not be written.\n"
    "The product folder will not be remembered for the next run.";

// Writes `content` to a new text file `path`. False, with the file removed, when anything failed.
bool WriteTextFile(const std::string& path, const std::string& content) {
  FILE* stream = platform::OpenStream(path, "w");
  if (!stream) return false;
  bool written = platform::WriteBytes(stream, content.data(), content.size());
  bool closed = platform::CloseStream(stream);
  if (written && closed) return true;
  platform::RemoveFile(path);
  return false;
}

}  // namespace

int SaveProductTitleFile(PatchContext& context, PatchView& view) {
  view.EnableApplyCheckbox(false);
  const std::string content = context.m_strProductTitle + "\n" + context.m_strProductCheckFile + "\n" +
                              context.m_strProductFolder + "\n";
  // The new file replaces TITLE.OV only once it is complete, so a failure leaves the old one whole.
  bool saved = WriteTextFile(kTitleFileTempName, content);
  if (saved && !platform::ReplaceFileWith(kTitleFileTempName, kTitleFileName)) {
    platform::RemoveFile(kTitleFileTempName);
    saved = false;
  }
  if (!saved) view.ShowStopMessage(kTitleFileUnwritableText, "Warning");
  return 0;
}
