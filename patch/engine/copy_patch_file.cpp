#include "patch/engine/copy_patch_file.h"

#include <cstdio>

#include "patch/engine/copy_failure_text.h"
#include "platform/files.h"
#include "platform/stream_io.h"

namespace {

// One chunk of a copy; shared by every copy, so a copy allocates nothing.
constexpr size_t kChunkSize = 1000;
char g_copyChunk[kChunkSize];

// Larger stream buffers than the default keep the 1000-byte chunks cheap on big files.
constexpr size_t kStreamBufferSize = 1024 * 1024;
char g_sourceStreamBuffer[kStreamBufferSize];
char g_destinationStreamBuffer[kStreamBufferSize];

// The temporary file lies beside the destination so that replacing the destination is one move
// within a folder.
std::string TemporaryNameFor(const std::string& destination) {
  return destination + ".ovpatch-partial";
}

int Fail(PatchView& view, const std::string& text) {
  view.ShowStopMessage(text, kCopyFailureCaption);
  return -1;
}

}  // namespace

int CopyPatchFile(PatchView& view, std::string source, std::string destination) {
  FILE* in = platform::OpenStream(source, "rb");
  if (!in) return Fail(view, SourceOpenFailureText(source));

  // Checked up front: a read-only or folder destination would otherwise only fail at the very end.
  if (platform::IsReadOnlyFile(destination) || platform::IsFolder(destination)) {
    fclose(in);
    return Fail(view, DestinationOpenFailureText(destination));
  }

  const std::string temporary = TemporaryNameFor(destination);
  FILE* out = platform::OpenStream(temporary, "wb");
  if (!out) {
    fclose(in);
    return Fail(view, DestinationOpenFailureText(destination));
  }
  setvbuf(in, g_sourceStreamBuffer, _IOFBF, kStreamBufferSize);
  setvbuf(out, g_destinationStreamBuffer, _IOFBF, kStreamBufferSize);

  bool readFailed = false;
  bool writeFailed = false;
  for (;;) {
    const size_t count = platform::ReadBytes(in, g_copyChunk, kChunkSize);
    if (count == 0) {
      readFailed = platform::ReadFailed(in);
      break;
    }
    if (!platform::WriteBytes(out, g_copyChunk, count)) {
      writeFailed = true;
      break;
    }
  }

  // The written file is closed first: its close flushes the last bytes and may fail.
  if (!platform::CloseStream(out)) writeFailed = true;
  fclose(in);

  if (readFailed || writeFailed) {
    platform::RemoveFile(temporary);
    return Fail(view, readFailed ? ReadFailureText(source, destination)
                                 : WriteFailureText(destination));
  }
  if (!platform::ReplaceFileWith(temporary, destination)) {
    platform::RemoveFile(temporary);
    return Fail(view, DestinationOpenFailureText(destination));
  }
  return 0;
}
