#include "platform/posix/text_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

namespace platform::posix {

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

namespace {

constexpr char kCtrlZ = 0x1A;

struct TextCookie {
  UniqueDescriptor fd;
  char raw[4096];
  size_t pos = 0, end = 0;
  bool ended = false;  // end of file or 0x1A seen
};

// Next raw byte, refilling from the descriptor: -1 at the end, -2 on an error.
int NextRaw(TextCookie& c) {
  if (c.pos == c.end) {
    ssize_t n;
    do n = read(c.fd.Get(), c.raw, sizeof c.raw);
    while (n < 0 && errno == EINTR);
    if (n < 0) return -2;
    if (n == 0) return -1;
    c.pos = 0;
    c.end = static_cast<size_t>(n);
  }
  return static_cast<unsigned char>(c.raw[c.pos++]);
}

ssize_t ReadText(void* cookie, char* buf, size_t size) {
  auto& c = *static_cast<TextCookie*>(cookie);
  size_t out = 0;
  while (out < size && !c.ended) {
    // The bytes up to the next CR or Ctrl+Z need no translation: they go across in one run.
    const size_t most = std::min(size - out, c.end - c.pos);
    size_t run = 0;
    while (run < most && c.raw[c.pos + run] != '\r' && c.raw[c.pos + run] != kCtrlZ) ++run;
    if (run > 0) {
      std::memcpy(buf + out, c.raw + c.pos, run);
      out += run;
      c.pos += run;
      continue;
    }
    const int b = NextRaw(c);
    if (b == -2) return out ? static_cast<ssize_t>(out) : -1;
    if (b == -1 || b == kCtrlZ) {
      c.ended = true;
      break;
    }
    if (b == '\r') {
      const int next = NextRaw(c);
      if (next == -2) return -1;
      if (next == '\n') {
        buf[out++] = '\n';
        continue;
      }
      if (next >= 0) --c.pos;  // not part of a line break: read it again next time
    }
    buf[out++] = static_cast<char>(b);
  }
  return static_cast<ssize_t>(out);
}

ssize_t WriteText(void* cookie, const char* buf, size_t size) {
  auto& c = *static_cast<TextCookie*>(cookie);
  size_t done = 0;
  while (done < size) {
    // Translate into the raw buffer, flushing it whenever it fills.
    size_t filled = 0;
    while (done < size && filled + 2 <= sizeof c.raw) {
      if (buf[done] == '\n') c.raw[filled++] = '\r';
      c.raw[filled++] = buf[done++];
    }
    if (!WriteAll(c.fd.Get(), c.raw, filled)) return 0;
  }
  return static_cast<ssize_t>(size);
}

int CloseText(void* cookie) {
  auto* c = static_cast<TextCookie*>(cookie);
  const bool closed = c->fd.Close();
  delete c;
  return closed ? 0 : -1;
}

}  // namespace

FILE* OpenTextStream(UniqueDescriptor fd, bool forWriting) {
  auto* cookie = new (std::nothrow) TextCookie{std::move(fd), {}, 0, 0, false};
  if (!cookie) return nullptr;
  cookie_io_functions_t io{};
  if (forWriting)
    io.write = WriteText;
  else
    io.read = ReadText;
  io.close = CloseText;
  FILE* stream = fopencookie(cookie, forWriting ? "w" : "r", io);
  if (!stream) CloseText(cookie);
  return stream;
}

}  // namespace platform::posix
