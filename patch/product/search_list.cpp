#include "patch/product/product_files.h"
#include "patch/product/product_locator.h"
#include "platform/files.h"
#include "platform/text.h"

ProductSearchList g_productSearchList;

namespace {

bool IsWhiteSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Removes trailing white space, stepping through the text character by character so that the trail
// byte of a double-byte character is never taken for white space.
void StripTrailingWhiteSpace(std::string& text) {
  size_t keep = 0;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t width = platform::IsLeadByte(c) && i + 1 < text.size() ? 2 : 1;
    i += width;
    if (width == 2 || !IsWhiteSpace(c)) keep = i;
  }
  text.resize(keep);
}

}  // namespace

int LoadProductSearchList(PatchContext& /*context*/, PatchView& view) {
  view.EnableApplyCheckbox(false);
  FILE* stream = platform::OpenStream(kSearchListFileName, "r");
  if (!stream) {
    view.ShowStopMessage(kMissingDataFilesText, "Critical Error");
    return -1;
  }
  // Every line is an entry, empty ones included, however many there are.
  g_productSearchList.entries.clear();
  std::string line;
  while (ReadProductFileLine(stream, line)) {
    StripTrailingWhiteSpace(line);
    g_productSearchList.entries.push_back(line);
  }
  std::fclose(stream);
  return 0;
}
