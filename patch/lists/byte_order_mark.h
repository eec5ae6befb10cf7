#pragma once
// Editors such as Notepad start a text file saved as UTF-8 with a byte-order mark.
#include <string>

// Removes a UTF-8 byte-order mark (EF BB BF) from the start of `firstLine`, the first text read
// from a list file; anything else is left as it is.
void DropByteOrderMark(std::string& firstLine);
