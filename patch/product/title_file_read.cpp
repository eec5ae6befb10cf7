#include "patch/product/product_files.h"
#include "platform/files.h"

namespace {

// 253 characters and the terminating zero.
constexpr int kProductLineReadLimit = 254;

}  // namespace

bool ReadProductFileLine(FILE* stream, std::string& line) {
  if (!platform::ReadLine(stream, kProductLineReadLimit, line)) return false;
  size_t feed = line.find('\n');
  if (feed != std::string::npos) line.resize(feed);
  return true;
}

bool ReadTitleFile(TitleFileLines& lines) {
  FILE* stream = platform::OpenStream(kTitleFileName, "r");
  if (!stream) return false;
  if (!ReadProductFileLine(stream, lines.title)) lines.title = "";
  if (!ReadProductFileLine(stream, lines.checkFile)) lines.checkFile = "";
  if (!ReadProductFileLine(stream, lines.folder)) lines.folder = "NONE";
  std::fclose(stream);
  return true;
}
