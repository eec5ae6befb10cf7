#pragma once
// The folders, file paths and flags every patch operation reads: the data part of the main dialog.
#include <cstdint>
#include <string>

using IconHandle = void*;

struct PatchContext {
  std::string m_strFsPath;        // FS2004 folder, the one that holds SCENERY.CFG (control 1000)
  std::string m_strProductTitle;  // TITLE.OV line 1 (control 1001)
  int32_t m_bApplyPatch = 0;      // tick of "Apply Patch" (control 1002)
  std::string m_strStatus;        // status line (control 1003)
  std::string m_strProductPath;   // folder the product was found in, or last tried (control 1005)
  IconHandle m_hIcon = nullptr;   // application icon 128
  std::string m_strAppDir;        // program's own folder, no trailing backslash
  int32_t m_nPatchStatus = 0;     // "Status" of the settings file as read at start-up
  std::string m_strIniFile;       // m_strAppDir + "\OVPATCH.INI"
  std::string m_strProductCheckFile;  // TITLE.OV line 2
  std::string m_strProductFolder;     // TITLE.OV line 3: remembered folder, or "NONE..."
  bool m_bTitleFileRead = false;      // TITLE.OV has been read in this run (its lines are above)
};
