#pragma once
// The patch list files (CREATE.OV, REN.OV, REM.OV, BAK.OV, INST.OV): the line loop, fixed-width
// columns and product-relative paths.
#include <functional>
#include <string>

#include "patch/context/patch_context.h"

// Word layout: a record is the line's text up to its first space. Column layout: values stand in
// 80-character columns starting at 0, 80 and 160.
enum class ListLayout { Word, Column };

// Runs the line loop over the list file `fileName` in the current folder and calls `onRecord` once
// per record: the line as read (it may still end with "\n") for the column layout, the word for the
// word layout. A file that cannot be opened yields no records.
void ForEachListRecord(const std::string& fileName, ListLayout layout,
                       const std::function<void(const std::string& record)>& onRecord);

// The value of the column starting at `position` (0, 80 or 160): at most 79 characters, trailing
// spaces removed, empty when the line ends before the column.
std::string ExtractColumn(const std::string& line, int position);

// A REN.OV value as a full path: "PATH\rest" lies in the product folder, anything else in the
// FS2004 folder.
std::string ResolvePatchPath(const PatchContext& context, const std::string& field);
