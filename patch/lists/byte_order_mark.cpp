#include "patch/lists/byte_order_mark.h"

void DropByteOrderMark(std::string& firstLine) {
  static const std::string kMark = "\xEF\xBB\xBF";
  if (firstLine.compare(0, kMark.size(), kMark) == 0) firstLine.erase(0, kMark.size());
}
