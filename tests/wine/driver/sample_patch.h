#pragma once
// A small simulator tree and patch set in a fresh temporary folder, with a copy of OVPatch.exe in
// the patch folder (the program's own folder holds the replacement files, backups and settings).
//
//   <root>\fs2004   SCENERY.CFG, SCENERY\WORLD\FILE001.BGL ("old 1"), SCENERY\WORLD\OLD1.BGL,
//                   ADDON\PRODUCT\PRODUCT.DAT (the product to be patched)
//   <root>\patch    OVPatch.exe, TITLE.OV ("Test Product", found through PATH.OV), CREATE.OV,
//                   REN.OV (OLD1.BGL -> OLD1.OFF), BAK.OV (FILE001 -> BAK001), INST.OV
//                   (NEW001 -> FILE001, NEW002.. -> EXTRA002..), REM.OV (the EXTRA files)
#include <string>

#include "support/temp_folder.h"

namespace wine_e2e {

inline constexpr const char* kProductTitle = "Test Product";

class SamplePatch {
public:
  // `installCount` replacement files are installed: NEW001 over FILE001, the rest as new files.
  SamplePatch(const std::string& ovpatchExe, int installCount = 2);

  const std::string& fsDir() const { return fsDir_; }
  const std::string& patchDir() const { return patchDir_; }
  std::string exe() const { return patchDir_ + "\\OVPatch.exe"; }
  std::string iniFile() const { return patchDir_ + "\\OVPATCH.INI"; }
  std::string productDir() const { return fsDir_ + "\\ADDON\\PRODUCT\\"; }

  // Makes the product impossible to find: TITLE.OV searches and PATH.OV names missing folders.
  void HideProduct();

private:
  testsupport::TempFolder root_;
  std::string fsDir_, patchDir_;
};

// The simulator's "EXE Path" registry value (32-bit view): set to `folder`, or removed.
bool SetSimulatorRegistryPath(const std::string& folder);
bool ClearSimulatorRegistryPath();

// OVPATCH.INI's value of `key` in section "Settings", or "undefined" when absent.
std::string ReadSetting(const std::string& iniFile, const std::string& key);

}  // namespace wine_e2e
