#include "platform/file_layers/whole_file.h"

#include <cstring>

#include "platform/files.h"
#include "platform/stream_io.h"
#include "platform/strings.h"
#include "platform/text.h"
#include "platform/file_layers/write_batch.h"

namespace platform {

std::string ScratchPathFor(const std::string& target) {
  // Where the last character starts: a double-byte character is replaced as a whole.
  size_t last = std::string::npos;
  for (size_t i = 0; i < target.size(); ++i) {
    last = i;
    if (IsLeadByte(static_cast<unsigned char>(target[i])) && i + 1 < target.size()) ++i;
  }
  if (last == std::string::npos || IsPathSeparator(target[last]))
    return target + "~";  // no name to take the place of
  return target.substr(0, last) + (target[last] == '~' ? "$" : "~");
}

ReplacementFile::ReplacementFile(std::string target, NewTarget newTarget)
    : target_(std::move(target)), newTarget_(newTarget) {}

ReplacementFile::~ReplacementFile() { Discard(); }

void ReplacementFile::Discard() {
  if (stream_) {
    CloseStream(stream_);
    stream_ = nullptr;
    RemoveFile(temporary_);
  }
}

bool ReplacementFile::Open(char* streamBuffer, size_t bufferSize) {
  Discard();
  written_ = 0;
  writeFailed_ = false;
  // Created only where nothing of its name exists ("wbx"), so no file is ever written over.
  if (newTarget_ == NewTarget::kWrittenInPlace && !WriteBatch::Collecting()) {
    temporary_ = target_;
    stream_ = OpenStream(temporary_, "wbx");
  }
  if (!stream_) {
    temporary_ = ScratchPathFor(target_);
    stream_ = OpenStream(temporary_, "wb");
  }
  if (!stream_) return false;
  if (streamBuffer) setvbuf(stream_, streamBuffer, _IOFBF, bufferSize);
  return true;
}

bool ReplacementFile::Write(const void* data, size_t size) {
  if (!stream_ || writeFailed_) return false;
  if (!WriteBytes(stream_, data, size)) {
    writeFailed_ = true;
    return false;
  }
  written_ += size;
  return true;
}

WriteOutcome ReplacementFile::Commit() {
  if (!stream_) return WriteOutcome::OpenFailed;
  // On the disk before it replaces anything, so that a power cut leaves the old or the new file
  // (a batch puts it there later, before it moves it in place). The size on disk is checked as
  // well: a C runtime that loses a write error cannot hide it here.
  const bool inPlace = temporary_ == target_;
  bool complete = !writeFailed_ && (WriteBatch::Collecting() && !inPlace
                                        ? FlushToSystem(stream_, written_)
                                        : FlushToDisk(stream_, written_));
  complete = CloseStream(stream_) && complete;
  stream_ = nullptr;
  if (!complete) {
    RemoveFile(temporary_);
    return WriteOutcome::WriteFailed;
  }
  if (inPlace) return WriteOutcome::Done;  // on the disk under its own name already
  if (!ReplaceFileWith(temporary_, target_)) {
    RemoveFile(temporary_);
    return WriteOutcome::ReplaceFailed;
  }
  return WriteOutcome::Done;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  FILE* stream = OpenStream(path, "rb");
  if (!stream) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  size_t count;
  while ((count = ReadBytes(stream, chunk, sizeof chunk)) > 0) bytes.append(chunk, count);
  const bool failed = ReadFailed(stream);
  CloseStream(stream);
  if (failed) return std::nullopt;
  return bytes;
}

WriteOutcome ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  ReplacementFile file(path);
  if (!file.Open()) return WriteOutcome::OpenFailed;
  file.Write(bytes.data(), bytes.size());
  return file.Commit();
}

WriteOutcome AppendTextAsWhole(const std::string& path, const std::string& text) {
  std::string bytes;
  if (PathExists(path)) {
    std::optional<std::string> old = ReadWholeFile(path);
    if (!old) return WriteOutcome::OpenFailed;
    bytes = std::move(*old);
  }
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return ReplaceWholeFile(path, bytes);
}

}  // namespace platform
