#pragma once
// The main dialog on the headless backend over a temporary patch folder (current folder and the
// program's own folder) and a small FS2004 tree, driven as a user drives it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "patch/product/product_locator.h"
#include "platform/files.h"
#include "platform/module.h"
#include "support/environment.h"
#include "support/list_lines.h"
#include "support/temp_folder.h"
#include "ui/framework/headless/headless_backend.h"
#include "ui/patch_dlg.h"
#include "ui/res/resource.h"
#include "ui/string_resources.h"

class DialogFixture : public ::testing::Test {
public:
  using DialogStep = std::function<void(HeadlessWindow& window, CPatchDlg& dialog)>;

protected:
  testsupport::TempFolder dir;
  const std::string patchDir = dir / "patch";
  const std::string fsDir = dir / "fs";
  const std::string productDir = fsDir + "\\Addon\\Product";
  HeadlessBackend backend;
  std::vector<std::string> statusLines;  // every change of the status line
  std::unique_ptr<testsupport::ScopedCurrentFolder> current;

  void SetUp() override {
    testsupport::MakeDirs(patchDir);
    // No FS2004 registry record: natively an empty Wine prefix; under Wine the test prefix has none.
    winePrefix_.emplace("WINEPREFIX", dir.path());

    platform::OverrideOwnFileName(patchDir + "\\OVPatch.exe");
    g_productSearchList = {};
    backend.strings = StringResources();
    backend.onControlTextChanged = [this](int id, const std::string& text) {
      if (id == IDC_STATUS) statusLines.push_back(text);
    };
    activeBackend_.emplace(backend);
    current = std::make_unique<testsupport::ScopedCurrentFolder>(patchDir);
  }

  void TearDown() override {
    current.reset();
    activeBackend_.reset();
    platform::OverrideOwnFileName(std::nullopt);
    g_productSearchList = {};
    winePrefix_.reset();
  }

  // FS2004 folder with SCENERY.CFG, one scenery file and the product's folder with its check file.
  void WriteFs2004() {
    testsupport::MakeDirs(fsDir + "\\Scenery\\World");
    testsupport::MakeDirs(productDir);
    testsupport::WriteFile(fsDir + "\\SCENERY.CFG",
                           "[General]\r\nTitle=FS2004 World Scenery\r\n\r\n[Area.001]\r\n"
                           "Title=Default Terrain\r\nLocal=Scenery\\World\r\nLayer=1\r\n"
                           "Active=TRUE\r\nRequired=FALSE\r\n");
    testsupport::WriteFile(fsDir + "\\Scenery\\World\\AREA.BGL", "old");
    testsupport::WriteFile(productDir + "\\PRODUCT.TXT", "x");
  }

  // Patch set: one folder to create, one file backed up and replaced.
  void WritePatch(const std::string& titleLine3 = "NONE") {
    Write("TITLE.OV", "Test Product\nPRODUCT.TXT\n" + titleLine3 + "\n");
    Write("PATH.OV", "Missing\\Place\nAddon\\Product\n");
    Write("CREATE.OV", "Scenery\\OVX created by the patch\n");
    Write("BAK.OV", testsupport::ColumnLine({"Scenery\\World\\AREA", "AREA_ORIG"}) + "\n");
    Write("INST.OV",
          testsupport::ColumnLine({"Scenery\\World\\AREA", "AREA_NEW", "Scenery\\World\\AREA"}) +
              "\n");
    Write("AREA_NEW.BGL", "new");
  }

  void WriteSettings(const std::string& body) { Write("OVPATCH.INI", "[Settings]\r\n" + body); }
  void Write(const std::string& name, const std::string& bytes) {
    testsupport::WriteFile(patchDir + "\\" + name, bytes);
  }
  std::string Read(const std::string& name) {
    return testsupport::ReadFile(patchDir + "\\" + name);
  }
  std::string Ini() { return Read("OVPATCH.INI"); }

  // Runs the main dialog modally; each step runs on its window in order, then Escape closes it.
  int RunDialog(std::vector<DialogStep> steps) {
    CPatchDlg dialog;
    for (DialogStep& step : steps) {
      backend.steps.push_back(
          [&dialog, step = std::move(step)](HeadlessWindow& window) { step(window, dialog); });
    }
    return dialog.DoModal();
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const HeadlessMessageBox& box : backend.messageBoxes) captions.push_back(box.caption);
    return captions;
  }

private:
  std::optional<testsupport::ScopedEnvironmentVariable> winePrefix_;
  std::optional<ScopedDialogBackend> activeBackend_;
};
