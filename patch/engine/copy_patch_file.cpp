#include "patch/engine/copy_patch_file.h"

#include <cstdio>

#include "patch/engine/failure_causes.h"
#include "platform/files.h"
#include "platform/stream_io.h"
#include "platform/file_layers/whole_file.h"

namespace {

// One chunk of a copy; shared by every copy, so a copy allocates nothing.
constexpr size_t kChunkSize = 1000;
char g_copyChunk[kChunkSize];

// Larger stream buffers than the default keep the 1000-byte chunks cheap on big files.
constexpr size_t kStreamBufferSize = 1024 * 1024;
char g_sourceStreamBuffer[kStreamBufferSize];
char g_destinationStreamBuffer[kStreamBufferSize];

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

int Fail(PatchView& view, const std::string& text) {
  view.ShowStopMessage(text, kCopyFailureCaption);
  return -1;
}

// The "Warning" for a copy whose new file could not be written completely or not put in place.
int FailCommit(PatchView& view, platform::WriteOutcome outcome, const std::string& destination) {
  if (outcome == platform::WriteOutcome::WriteFailed)
    return Fail(view, WriteFailureText(destination));
  return Fail(view, DestinationOpenFailureText(destination));
}

}  // namespace

int CopyPatchFile(PatchView& view, std::string source, std::string destination) {
  // The system would refuse either path, whatever else is true of it.
  for (const std::string* path : {&source, &destination})
    if (platform::PathTooLong(*path)) return Fail(view, PathTooLongText(*path));

  platform::UniqueStream in(platform::OpenStream(source, "rb"));
  if (!in) return Fail(view, SourceOpenFailureText(source));

  // Checked up front: a read-only or folder destination would otherwise only fail at the very end.
  if (platform::IsReadOnlyFile(destination) || platform::IsFolder(destination))
    return Fail(view, DestinationOpenFailureText(destination));

  // Written beside the destination, which it replaces only once every byte is on the disk.
  platform::ReplacementFile out(destination);
  if (!out.Open(g_destinationStreamBuffer, kStreamBufferSize))
    return Fail(view, DestinationOpenFailureText(destination));
  setvbuf(in.get(), g_sourceStreamBuffer, _IOFBF, kStreamBufferSize);

  for (;;) {
    const size_t count = platform::ReadBytes(in.get(), g_copyChunk, kChunkSize);
    if (count == 0) break;
    if (!out.Write(g_copyChunk, count)) break;
  }
  // The source is closed before the new file is moved into place (the two may be the same file).
  const bool readFailed = platform::ReadFailed(in.get());
  in.reset();
  if (readFailed) return Fail(view, ReadFailureText(source, destination));

  const platform::WriteOutcome outcome = out.Commit();
  return outcome == platform::WriteOutcome::Done ? 0 : FailCommit(view, outcome, destination);
}

void ReportUnfinishedCopies(PatchView& view,
                            const std::vector<platform::FailedReplacement>& failures) {
  for (const platform::FailedReplacement& failure : failures)
    FailCommit(view, failure.outcome, failure.target);
}
