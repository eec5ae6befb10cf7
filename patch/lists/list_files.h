#pragma once
// The patch list files (CREATE.OV, REN.OV, REM.OV, BAK.OV, INST.OV): the line loop, fixed-width
// columns and product-relative paths.
#include <functional>
#include <string>

#include "patch/context/patch_context.h"

// Where the three values of a column-layout line start.
inline constexpr int kFirstColumn = 0;
inline constexpr int kSecondColumn = 80;
inline constexpr int kThirdColumn = 160;

// Word layout: a record is the line's text up to its first space. Column layout: values stand in
// 80-character columns starting at kFirstColumn, kSecondColumn and kThirdColumn.
enum class ListLayout { Word, Column };

// Runs the line loop over the list file `fileName` in the current folder and calls `onRecord` once
// per record: the line as read (it may still end with "\n") for the column layout, the word for the
// word layout. A file that cannot be opened yields no records.
void ForEachListRecord(const std::string& fileName, ListLayout layout,
                       const std::function<void(const std::string& record)>& onRecord);

// The value of the column starting at `position` (one of the three above): at most 79 characters,
// trailing spaces removed, empty when the line ends before the column.
std::string ExtractColumn(const std::string& line, int position);

// A REN.OV value as a full path: "PATH\rest" lies in the product folder, anything else in the
// FS2004 folder.
std::string ResolvePatchPath(const PatchContext& context, const std::string& field);
