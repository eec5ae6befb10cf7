#include "app/cli_host.h"

bool AsksForHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }

const char* CliHelpSwitchesLine() { return "  -h, --help          this text\n"; }

const char* CliHostHelp() {
  return R"(Folders: a folder may be a Linux path (absolute, or relative to the current
folder) or a Windows path (C:\...) in the Wine prefix $WINEPREFIX (default
~/.wine). A Linux path is kept as the Windows path that Wine gives the folder:
the prefix's drive (a link in its dosdevices folder; Z: for / where the prefix
has it) that holds it most closely, then the names below. So OVPATCH.INI,
TITLE.OV, OVPATCH.LOG and every message hold Windows paths, as OVPatch.exe
under Wine writes them. A folder no drive reaches is refused, and so is a
short name (PROGRA~1) that names no folder: give the long name.

Text on Linux: as a Windows program in the prefix, the program holds its text
(list files, TITLE.OV, OVPATCH.INI, SCENERY.CFG) in the prefix's ANSI code page:
the ACP value in $WINEPREFIX/system.reg, or 1252 when it has none. Set
OVPATCH_CODEPAGE to a code page number (1251, 932, ...) to use another. Names
on disk are in UTF-8, as Wine creates them; folders on the command line must
use only characters of the code page.
)";
}
