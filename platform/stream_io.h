#pragma once
// C stream helpers: an owner that closes a stream, line reading as fgets does, and checked binary
// I/O for file copies with a fault hook so tests can make a read, a write or a close fail on any
// host.
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace platform {

struct StreamCloser {
  void operator()(FILE* stream) const { std::fclose(stream); }
};
// Owns a stream from OpenStream and closes it (unchecked) when it goes; release() it into
// CloseStream where the result of the close matters.
using UniqueStream = std::unique_ptr<FILE, StreamCloser>;

// Reads one line as fgets does: at most limit-1 characters, the "\n" kept when it fits.
// False at the end of the stream (nothing read).
bool ReadLine(FILE* stream, int limit, std::string& line);

// fread: bytes read; 0 at the end or on a read error (then ReadFailed is true).
size_t ReadBytes(FILE* stream, void* buffer, size_t size);
// True when the last ReadBytes on `stream` stopped on an error rather than the end of the file.
bool ReadFailed(FILE* stream);
// fwrite of exactly `size` bytes; false when fewer were written.
bool WriteBytes(FILE* stream, const void* buffer, size_t size);
// Writes out the buffer, then fclose; false when either failed. The stream is gone either way.
bool CloseStream(FILE* stream);

// Test hook: the next operations of the given kind fail, after `skip` successful ones.
enum class StreamFault { None, Read, Write, Close };
void InjectStreamFault(StreamFault fault, int skip = 0);
void ClearStreamFaults();

}  // namespace platform
