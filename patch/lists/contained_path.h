#pragma once
// Names from the list files must stay inside the folder they are relative to.
#include <string>

// True when `path`, a name from a list file joined to `folder`, names something strictly inside
// `folder`: the part after the folder is not absolute (no leading separator), holds no drive letter
// or other ":", and never climbs above the folder with ".." (a component of dots and spaces alone
// counts as ".."); it must not end at the folder itself. "\" and "/" both separate.
bool StaysInside(const std::string& folder, const std::string& path);
