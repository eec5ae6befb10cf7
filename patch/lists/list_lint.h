#pragma once
// Checks of the patch list files for their authors: lines that are read, but probably not as meant.
#include <string>
#include <vector>

#include "platform/file_layers/disk_interface.h"

struct ListRemark {
  std::string file;  // "INST.OV"
  int line = 0;      // from 1
  std::string text;
};

// The lines of the five record lists, kRecordListFiles (current folder, read through `disk`),
// that look like mistakes: a tab, a NUL byte, a line longer than one read, a column value that does
// not start at its column or is missing, text in the gap before a column or after the last one,
// and lines after the end of the list. Lines, positions and the end of the list are those the install's
// line loop reads (after a byte-order mark; a NUL byte cuts the text). Missing files give nothing.
std::vector<ListRemark> LintListFiles(platform::Disk& disk = platform::HostDisk());

// "INST.OV line 3: text".
std::string ListRemarkLine(const ListRemark& remark);
