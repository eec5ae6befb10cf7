#pragma once
// TITLE.OV and PATH.OV as the product locator reads them; shared by its operations.
#include <cstdio>
#include <string>

inline constexpr const char* kTitleFileName = "TITLE.OV";
inline constexpr const char* kSearchListFileName = "PATH.OV";
inline constexpr const char* kMissingDataFilesText =
    "Critical patch data files are missing.\nPlease exit and reinstall the patch before continuing.";

// Reads the next line of a TITLE.OV or PATH.OV stream, at most 253 characters at a time, cut at its
// first line feed. False at the end of the stream.
bool ReadProductFileLine(FILE* stream, std::string& line);

// The three lines of TITLE.OV. A missing title or check file line is empty; a missing folder line
// is "NONE", so a short file starts the search rather than naming the drive root.
struct TitleFileLines {
  std::string title;
  std::string checkFile;
  std::string folder;
};

// Reads TITLE.OV from the current folder into `lines`. False when it cannot be opened.
bool ReadTitleFile(TitleFileLines& lines);
