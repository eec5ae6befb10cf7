#include "platform/stream_io.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>

namespace platform {
namespace {

struct FaultPlan {
  bool armed = false;
  int skip = 0;
};

// Indexed by StreamFault (Read, Write, Close); slot 0 unused.
std::array<FaultPlan, 4> g_faults;
// Streams whose last ReadBytes failed through an injected fault.
std::set<FILE*> g_failedReads;

// True when the next operation of `kind` is to fail (consuming one skip otherwise).
bool FaultNow(StreamFault kind) {
  FaultPlan& plan = g_faults[static_cast<size_t>(kind)];
  if (!plan.armed) return false;
  if (plan.skip > 0) {
    --plan.skip;
    return false;
  }
  return true;
}

}  // namespace

bool ReadLine(FILE* stream, int limit, std::string& line) {
  line.clear();
  // fgets with room for nothing but the terminating zero reads nothing; say so rather than
  // "succeeding" forever.
  if (limit < 2) return false;
  // One fgets takes a piece of the line under one lock of the stream (a character at a time costs
  // a lock each), into a small buffer so that a short line costs little under a long limit. It
  // ends what it read with a zero byte; the piece may hold zero bytes of its own, but the filling
  // does not, so the piece ends at the last zero byte in the buffer.
  constexpr size_t kPiece = 256;
  char piece[kPiece];
  size_t room = static_cast<size_t>(limit) - 1;  // bytes the line may still take
  while (room > 0) {
    const size_t ask = std::min(room, kPiece - 1);
    std::memset(piece, '\n', ask + 1);
    if (!std::fgets(piece, static_cast<int>(ask + 1), stream)) return !line.empty();
    size_t got = ask;
    while (piece[got] != '\0') --got;
    line.append(piece, got);
    room -= got;
    // Fewer bytes than asked: the line ended, or the file did.
    if (got < ask || piece[got - 1] == '\n') return true;
  }
  return true;
}

size_t ReadBytes(FILE* stream, void* buffer, size_t size) {
  if (!g_failedReads.empty()) g_failedReads.erase(stream);
  if (FaultNow(StreamFault::Read)) {
    g_failedReads.insert(stream);
    return 0;
  }
  return fread(buffer, 1, size, stream);
}

bool ReadFailed(FILE* stream) { return g_failedReads.count(stream) > 0 || ferror(stream) != 0; }

bool WriteBytes(FILE* stream, const void* buffer, size_t size) {
  if (FaultNow(StreamFault::Write)) return false;
  return fwrite(buffer, 1, size, stream) == size;
}

bool CloseStream(FILE* stream) {
  g_failedReads.erase(stream);
  // The buffer is written out on its own first: the Windows C runtime under Wine reports a failure
  // of the flush inside fclose as success, which left files cut short without a word.
  const bool flushed = fflush(stream) == 0;
  const bool closed = fclose(stream) == 0;
  return !FaultNow(StreamFault::Close) && flushed && closed;
}

void InjectStreamFault(StreamFault fault, int skip) {
  if (fault == StreamFault::None) {
    ClearStreamFaults();
    return;
  }
  g_faults[static_cast<size_t>(fault)] = {true, skip < 0 ? 0 : skip};
}

void ClearStreamFaults() {
  g_faults = {};
  g_failedReads.clear();
}

}  // namespace platform
