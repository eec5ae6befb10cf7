#include "sample_patch.h"

#include <windows.h>

#include <cstdio>
#include <initializer_list>

#include "support/list_lines.h"

namespace wine_e2e {
namespace {

constexpr const char* kSimulatorKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0";

// One line of a column list file, its line end included.
std::string Columns(std::initializer_list<std::string> values) {
  return testsupport::ColumnLine(values) + "\n";
}

std::string Numbered(const char* prefix, int n) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%03d", prefix, n);
  return text;
}

}  // namespace

SamplePatch::SamplePatch(const std::string& ovpatchExe, int installCount)
    : fsDir_(root_ / "fs2004"), patchDir_(root_ / "patch") {
  using testsupport::MakeDirs;
  using testsupport::WriteFile;
  MakeDirs(fsDir_ + "\\SCENERY\\WORLD");
  MakeDirs(fsDir_ + "\\ADDON\\PRODUCT");
  MakeDirs(patchDir_);
  WriteFile(fsDir_ + "\\SCENERY.CFG",
            "[General]\nTitle=FS2004 World Scenery\n\n[Area.001]\nTitle=Default Terrain\n"
            "Local=Scenery\\World\nLayer=1\nActive=TRUE\nRequired=TRUE\n");
  WriteFile(fsDir_ + "\\SCENERY\\WORLD\\FILE001.BGL", "old 1");
  WriteFile(fsDir_ + "\\SCENERY\\WORLD\\OLD1.BGL", "displaced");
  WriteFile(fsDir_ + "\\ADDON\\PRODUCT\\PRODUCT.DAT", "product");

  CopyFileA(ovpatchExe.c_str(), exe().c_str(), FALSE);
  WriteFile(patchDir_ + "\\TITLE.OV", std::string(kProductTitle) + "\nPRODUCT.DAT\nNONE\n");
  WriteFile(patchDir_ + "\\PATH.OV", "ADDON\\MISSING\nADDON\\PRODUCT\n");
  WriteFile(patchDir_ + "\\CREATE.OV",
            "SCENERY\\OV_EXCLUDES  exclusion area\nSCENERY\\OV_EXCLUDES\\scenery\n");
  WriteFile(patchDir_ + "\\REN.OV",
            Columns({"SCENERY\\WORLD\\OLD1.BGL", "SCENERY\\WORLD\\OLD1.OFF"}));
  WriteFile(patchDir_ + "\\BAK.OV", Columns({"SCENERY\\WORLD\\FILE001", "BAK001"}));
  std::string install, remove;
  for (int n = 1; n <= installCount; ++n) {
    const std::string target =
        n == 1 ? "SCENERY\\WORLD\\FILE001" : "SCENERY\\WORLD\\" + Numbered("EXTRA", n);
    install += Columns({"SCENERY\\WORLD\\FILE001", Numbered("NEW", n), target});
    if (n > 1) remove += Columns({target});
    WriteFile(patchDir_ + "\\" + Numbered("NEW", n) + ".BGL", "new " + std::to_string(n));
  }
  WriteFile(patchDir_ + "\\INST.OV", install);
  WriteFile(patchDir_ + "\\REM.OV", remove);
}

void SamplePatch::HideProduct() {
  testsupport::WriteFile(patchDir_ + "\\PATH.OV", "ADDON\\MISSING\nADDON\\ELSEWHERE\n");
}

bool SetSimulatorRegistryPath(const std::string& folder) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSimulatorKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result =
      RegSetValueExA(key, "EXE Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>(folder.size() + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

bool ClearSimulatorRegistryPath() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSimulatorKey, 0, KEY_WRITE | KEY_WOW64_32KEY, &key) !=
      ERROR_SUCCESS)
    return true;  // no key, no value
  const LONG result = RegDeleteValueA(key, "EXE Path");
  RegCloseKey(key);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

std::string ReadSetting(const std::string& iniFile, const std::string& key) {
  char value[1000] = {};
  GetPrivateProfileStringA("Settings", key.c_str(), "undefined", value, sizeof value,
                           iniFile.c_str());
  return value;
}

}  // namespace wine_e2e
