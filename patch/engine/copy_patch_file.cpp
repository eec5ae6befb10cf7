#include "patch/engine/copy_patch_file.h"

#include "patch/engine/failure_causes.h"
#include "platform/files.h"

namespace {

constexpr const char* kCopyFailureCaption = "Warning";

std::string SourceOpenFailureText(platform::Disk& disk, const std::string& source) {
  return "Error opening file " + source + "\n\n" + SourceOpenFailureCause(disk, source);
}

std::string DestinationOpenFailureText(platform::Disk& disk, const std::string& destination) {
  return "Error opening file " + destination + "\n\n" + DestinationFailureCause(disk, destination);
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

}  // namespace

std::string CopyFailureText(platform::Disk& disk, const platform::CopyResult& result,
                            const std::string& source, const std::string& destination) {
  using platform::CopyOutcome;
  switch (result.outcome) {
    case CopyOutcome::Done:
    case CopyOutcome::SourceDiffers:
      return "";
    case CopyOutcome::PathTooLong:
      return PathTooLongText(result.failedPath);
    case CopyOutcome::SourceOpenFailed:
      return SourceOpenFailureText(disk, source);
    case CopyOutcome::ReadFailed:
      return ReadFailureText(source, destination);
    case CopyOutcome::WriteFailed:
      return WriteFailureText(destination);
    case CopyOutcome::DestinationRefused:
    case CopyOutcome::ReplaceFailed:
      return DestinationOpenFailureText(disk, destination);
  }
  return "";
}

std::string UnfinishedCopyText(platform::Disk& disk, const platform::FailedReplacement& failure) {
  platform::CopyResult result;
  result.outcome = failure.outcome == platform::WriteOutcome::WriteFailed
                       ? platform::CopyOutcome::WriteFailed
                       : platform::CopyOutcome::ReplaceFailed;
  return CopyFailureText(disk, result, "", failure.target);
}

int CopyPatchFile(PatchView& view, platform::Disk& disk, const std::string& source,
                  const std::string& destination) {
  const platform::CopyResult copied = disk.CopyFile(source, destination, "", nullptr);
  if (copied.outcome == platform::CopyOutcome::Done) return 0;
  if (const std::string text = CopyFailureText(disk, copied, source, destination); !text.empty())
    view.ShowStopMessage(text, kCopyFailureCaption);
  return -1;
}

int CopyPatchFile(PatchView& view, std::string source, std::string destination) {
  return CopyPatchFile(view, platform::HostDisk(), source, destination);
}
