#pragma once
// Folders the user types (the command line's --fs-path and --install-path, the patch folder it
// runs in) in the one form the program keeps every folder in: a Windows path, as the Windows
// program would hold it, so that the settings file, TITLE.OV, the log and every message read alike
// on both builds. platform/typed_folder.cpp keeps the rules both hosts share; each host's
// typed_folder.cpp supplies HostWindowsFolderPath.
#include <string>

namespace platform {

struct KeptFolder {
  std::string path;     // the folder as the program keeps it; "" when refused
  std::string refusal;  // why it cannot be kept, in words; "" when it can
};

// `typed` (system code page; a relative folder is taken from the current folder) as the Windows
// path the program keeps. Windows: a full path as it is, a relative one made full as
// GetFullPathName makes it. Linux: a Windows path (C:\...) as it is; a Linux path, absolute or
// relative, becomes the Windows path that Wine gives that folder in the prefix: the drive of
// $WINEPREFIX/dosdevices whose folder holds it most closely (Z: for "/" where the prefix has it),
// then the names below that folder as typed. Every separator becomes "\", and those at the end
// are dropped, except the one of a drive's root ("C:\"). Refused: a name with a line break or
// another control character (which no line of a settings or list file can keep), and on Linux a
// folder that no drive of the prefix reaches and a short name (PROGRA~1) that names nothing on
// disk.
KeptFolder WindowsFolderPath(const std::string& typed);

// The host's part of WindowsFolderPath, for a `typed` free of control characters; its separators
// may be "/" and may end it.
KeptFolder HostWindowsFolderPath(const std::string& typed);

}  // namespace platform
