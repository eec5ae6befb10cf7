#include <cstdio>

#include "platform/files.h"

namespace platform {

bool ReadLine(FILE* stream, int limit, std::string& line) {
  line.clear();
  // fgets with room for nothing but the terminating zero reads nothing; say so rather than
  // "succeeding" forever.
  if (limit < 2) return false;
  const size_t most = static_cast<size_t>(limit - 1);
  while (line.size() < most) {
    const int c = std::fgetc(stream);
    if (c == EOF) break;
    line += static_cast<char>(c);
    if (c == '\n') break;
  }
  return !line.empty();
}

}  // namespace platform
