#include "patch/engine/copy_patch_file.h"

#include "patch/engine/failure_causes.h"
#include "platform/files.h"

namespace {

constexpr const char* kCopyFailureCaption = "Warning";

std::string SourceOpenFailureText(const std::string& source) {
  return "Error opening file " + source + "\n\n" + SourceOpenFailureCause(source);
}

std::string DestinationOpenFailureText(const std::string& destination) {
  return "Error opening file " + destination + "\n\n" + DestinationFailureCause(destination);
}

std::string PathTooLongText(const std::string& path) {
  return "Error opening file " + path + "\n\nIts path is longer than the system accepts: at most " +
         std::to_string(platform::LongestPathLength()) +
         " characters, and 255 for one name.\n\nMove the folder to a shorter path and try again.";
}

std::string ReadFailureText(const std::string& source, const std::string& destination) {
  return "Error reading file " + source +
         "\n\nThe file could not be read to its end, so it was not copied.\n\n" + destination +
         " has been left as it was.";
}

std::string WriteFailureText(const std::string& destination) {
  return "Error writing file " + destination +
         "\n\nThe disk may be full or the file locked, so the copy could not be completed.\n\n"
         "The file has been left as it was.";
}

// The "Warning" for a copy that did not happen; nothing for a source that differs, which the
// caller tells of.
void ReportFailure(PatchView& view, const platform::CopyResult& result,
                   const std::string& source, const std::string& destination) {
  using platform::CopyOutcome;
  std::string text;
  switch (result.outcome) {
    case CopyOutcome::Done:
    case CopyOutcome::SourceDiffers:
      return;
    case CopyOutcome::PathTooLong:
      text = PathTooLongText(result.failedPath);
      break;
    case CopyOutcome::SourceOpenFailed:
      text = SourceOpenFailureText(source);
      break;
    case CopyOutcome::ReadFailed:
      text = ReadFailureText(source, destination);
      break;
    case CopyOutcome::WriteFailed:
      text = WriteFailureText(destination);
      break;
    case CopyOutcome::DestinationRefused:
    case CopyOutcome::ReplaceFailed:
      text = DestinationOpenFailureText(destination);
      break;
  }
  view.ShowStopMessage(text, kCopyFailureCaption);
}

}  // namespace

int CopyPatchFile(PatchView& view, platform::Disk& disk, const std::string& source,
                  const std::string& destination, const std::string& label,
                  const platform::ContentStamp* expected, platform::CopyResult* result,
                  platform::NewTarget newTarget) {
  const platform::CopyResult copied =
      disk.CopyFile(source, destination, label, expected, newTarget);
  if (result) *result = copied;
  if (copied.outcome == platform::CopyOutcome::Done) return 0;
  ReportFailure(view, copied, source, destination);
  return -1;
}

int CopyPatchFile(PatchView& view, std::string source, std::string destination) {
  return CopyPatchFile(view, platform::HostDisk(), source, destination);
}

void ReportUnfinishedCopies(PatchView& view,
                            const std::vector<platform::FailedReplacement>& failures) {
  for (const platform::FailedReplacement& failure : failures) {
    platform::CopyResult result;
    result.outcome = failure.outcome == platform::WriteOutcome::WriteFailed
                         ? platform::CopyOutcome::WriteFailed
                         : platform::CopyOutcome::ReplaceFailed;
    ReportFailure(view, result, "", failure.target);
  }
}
