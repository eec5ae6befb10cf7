#include "platform/posix/text_stream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace platform::posix {
namespace {

constexpr char kCtrlZ = 0x1A;

struct TextCookie {
  int fd;
  char raw[4096];
  size_t pos = 0, end = 0;
  bool ended = false;  // end of file or 0x1A seen
};

// Next raw byte, refilling from the descriptor: -1 at the end, -2 on an error.
int NextRaw(TextCookie& c) {
  if (c.pos == c.end) {
    ssize_t n;
    do n = read(c.fd, c.raw, sizeof c.raw);
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
    if (!WriteAll(c.fd, c.raw, filled)) return 0;
  }
  return static_cast<ssize_t>(size);
}

int CloseText(void* cookie) {
  auto* c = static_cast<TextCookie*>(cookie);
  const int result = close(c->fd);
  delete c;
  return result;
}

struct OverwriteCookie {
  int fd;
  off_t written = 0;
};

ssize_t WriteOver(void* cookie, const char* buf, size_t size) {
  auto& c = *static_cast<OverwriteCookie*>(cookie);
  if (!WriteAll(c.fd, buf, size)) return 0;
  c.written += static_cast<off_t>(size);
  return static_cast<ssize_t>(size);
}

int CloseOver(void* cookie) {
  auto* c = static_cast<OverwriteCookie*>(cookie);
  const bool cut = ftruncate(c->fd, c->written) == 0;
  const bool closed = close(c->fd) == 0;
  delete c;
  return cut && closed ? 0 : -1;
}

}  // namespace

FILE* OpenOverwritingStream(int fd) {
  auto* cookie = new (std::nothrow) OverwriteCookie{fd};
  if (!cookie) {
    close(fd);
    return nullptr;
  }
  cookie_io_functions_t io{};
  io.write = WriteOver;
  io.close = CloseOver;
  FILE* stream = fopencookie(cookie, "w", io);
  if (!stream) CloseOver(cookie);
  return stream;
}

FILE* OpenTextStream(int fd, bool forWriting) {
  auto* cookie = new (std::nothrow) TextCookie{fd, {}, 0, 0, false};
  if (!cookie) {
    close(fd);
    return nullptr;
  }
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
