// OVPatch.exe on a real Win32 runtime: started in a sample tree, driven through its windows as a
// person would, and checked on screen, on disk and in its settings file.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "driver/program_run.h"
#include "driver/sample_patch.h"
#include "driver/window_probe.h"
#include "support/temp_folder.h"
#include "ui/res/resource.h"

namespace wine_e2e {
namespace {

constexpr const char* kMainCaption = "Orvane Compatibility Patcher";
constexpr const char* kAboutCaption = "About OVPatch";
constexpr DWORD kWindowWaitMs = 30000;
constexpr DWORD kOperationWaitMs = 60000;

// Controls are addressed by the program's identifiers (ui/res/resource.h); "Done" is IDCANCEL.

const char* const kPathMessage =
    "The 'FS2004 Installation Path' cannot be located in the registry.  Please select \n\n"
    "the 'Change Patch' button and select the folder containing FS9.EXE.\n\n";
const char* const kNotFoundMessage =
    "Test Product product not found in expected paths.\nPatch cannot be applied.\n"
    "You can try locating the product to be patched manually.";

std::string OvpatchExe() {
  const char* exe = std::getenv("OVPATCH_EXE");
  return exe ? exe : "";
}

std::string Captions(DWORD pid) {
  std::string all;
  for (const std::string& caption : WindowCaptions(pid)) all += "[" + caption + "] ";
  return all;
}

class OvpatchExeTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(OvpatchExe().empty()) << "OVPATCH_EXE names the program under test";
  }

  // Starts the copy of OVPatch.exe in the sample's patch folder and waits for `caption`.
  HWND Start(const std::string& caption = kMainCaption) {
    run_ = std::make_unique<ProgramRun>(sample_.exe(), sample_.patchDir());
    EXPECT_TRUE(run_->started());
    HWND window = WaitForDialog(run_->pid(), caption, kWindowWaitMs);
    EXPECT_NE(window, nullptr) << "no window \"" << caption
                               << "\"; shown: " << Captions(run_->pid());
    return window;
  }
  // Waits for the message box `caption` and returns its text, after pressing its OK.
  std::string DismissMessage(const std::string& caption) {
    HWND box = WaitForDialog(run_->pid(), caption, kWindowWaitMs);
    if (!box) return "<no box \"" + caption + "\"; shown: " + Captions(run_->pid()) + ">";
    const std::string text = MessageBoxText(box);
    PressOk(box);
    EXPECT_TRUE(WaitForDialogGone(run_->pid(), caption, kWindowWaitMs));
    return text;
  }
  HWND MainDialog() { return WaitForDialog(run_->pid(), kMainCaption, kWindowWaitMs); }
  void CloseWithDone(HWND dialog) {
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(run_->WaitForExit(kWindowWaitMs)) << "still open: " << Captions(run_->pid());
  }

  SamplePatch sample_{OvpatchExe()};
  std::unique_ptr<ProgramRun> run_;
};

TEST_F(OvpatchExeTest, StartsWithTheRegistryFolderTheFoundProductAndTheRecordedState) {
  ASSERT_TRUE(SetSimulatorRegistryPath(sample_.fsDir()));
  WritePrivateProfileStringA("Settings", "Status", "1", sample_.iniFile().c_str());
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(dialog, IDC_FS_PATH), sample_.fsDir());
  EXPECT_EQ(ControlText(dialog, IDC_PRODUCT_TITLE), kProductTitle);
  EXPECT_EQ(ControlText(dialog, IDC_PRODUCT_PATH), sample_.productDir());
  EXPECT_EQ(ControlText(dialog, IDC_STATUS), "");
  EXPECT_EQ(CheckState(dialog, IDC_APPLY_PATCH), BST_CHECKED);
  EXPECT_TRUE(ControlEnabled(dialog, IDC_APPLY_PATCH));
  // The default button exists only to keep Enter from closing the dialog.
  EXPECT_FALSE(ControlVisible(dialog, IDOK));
  EXPECT_FALSE(ControlEnabled(dialog, IDOK));
  EXPECT_EQ(FocusedWindow(dialog), GetDlgItem(dialog, IDCANCEL));
  // The search found the product: TITLE.OV now remembers its folder.
  EXPECT_EQ(testsupport::ReadFile(sample_.patchDir() + "\\TITLE.OV"),
            std::string(kProductTitle) + "\r\nPRODUCT.DAT\r\n" + sample_.productDir() + "\r\n");
  CloseWithDone(dialog);
  EXPECT_EQ(ReadSetting(sample_.iniFile(), "Status"), "1");
}

TEST_F(OvpatchExeTest, WithoutRegistryValueOrSettingsItSaysSoAndDisablesTheCheckbox) {
  ASSERT_TRUE(ClearSimulatorRegistryPath());
  run_ = std::make_unique<ProgramRun>(sample_.exe(), sample_.patchDir());
  ASSERT_TRUE(run_->started());
  EXPECT_EQ(DismissMessage("Path Cannot Continue !"), kPathMessage);
  HWND dialog = MainDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(dialog, IDC_FS_PATH), "");
  EXPECT_EQ(ControlText(dialog, IDC_PRODUCT_TITLE), "");
  EXPECT_EQ(CheckState(dialog, IDC_APPLY_PATCH), BST_UNCHECKED);
  EXPECT_FALSE(ControlEnabled(dialog, IDC_APPLY_PATCH));
  // The message was shown once: no second box follows.
  EXPECT_EQ(FindDialog(run_->pid(), "Path Cannot Continue !"), nullptr);
  EXPECT_EQ(ReadSetting(sample_.iniFile(), "Status"), "0");
  EXPECT_EQ(ReadSetting(sample_.iniFile(), "Fs2004"), "undefined");

  // Keyboard: Tab from "Done" goes through the template order and skips the disabled checkbox;
  // Enter in a read-only field closes nothing.
  ASSERT_EQ(FocusedWindow(dialog), GetDlgItem(dialog, IDCANCEL));
  const int expectedOrder[] = {IDC_CHANGE_FS_PATH,      IDC_FS_PATH,
                               IDC_PRODUCT_TITLE,       IDC_PRODUCT_PATH,
                               IDC_CHANGE_INSTALL_PATH, IDCANCEL};
  for (int id : expectedOrder) {
    PressKey(FocusedWindow(dialog), VK_TAB);
    EXPECT_TRUE(
        WaitUntil([&] { return FocusedWindow(dialog) == GetDlgItem(dialog, id); }, kWindowWaitMs))
        << "focus did not reach control " << id;
  }
  PressKey(FocusedWindow(dialog), VK_TAB);
  PressKey(FocusedWindow(dialog), VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(dialog) == GetDlgItem(dialog, IDC_FS_PATH); },
                        kWindowWaitMs));
  PressKey(GetDlgItem(dialog, IDC_FS_PATH), VK_RETURN);
  PressKey(GetDlgItem(dialog, IDC_FS_PATH), VK_TAB);  // handled after the Enter: proof it was seen
  EXPECT_TRUE(
      WaitUntil([&] { return FocusedWindow(dialog) == GetDlgItem(dialog, IDC_PRODUCT_TITLE); },
                kWindowWaitMs));
  EXPECT_TRUE(run_->running());
  EXPECT_NE(FindDialog(run_->pid(), kMainCaption), nullptr);
  CloseWithDone(dialog);
}

TEST_F(OvpatchExeTest, TickingInstallsTheSampleAndClearingRemovesIt) {
  ASSERT_TRUE(SetSimulatorRegistryPath(sample_.fsDir()));
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(CheckState(dialog, IDC_APPLY_PATCH), BST_UNCHECKED);
  ASSERT_TRUE(ControlEnabled(dialog, IDC_APPLY_PATCH));

  Click(dialog, IDC_APPLY_PATCH);
  ASSERT_TRUE(WaitForControlText(dialog, IDC_STATUS, "Patch Installed !", kOperationWaitMs))
      << "status: " << ControlText(dialog, IDC_STATUS) << "; shown: " << Captions(run_->pid());
  const std::string world = sample_.fsDir() + "\\SCENERY\\WORLD\\";
  EXPECT_EQ(CheckState(dialog, IDC_APPLY_PATCH), BST_CHECKED);
  EXPECT_EQ(ReadSetting(sample_.iniFile(), "Status"), "1");
  EXPECT_EQ(testsupport::ReadFile(world + "FILE001.BGL"), "new 1");
  EXPECT_EQ(testsupport::ReadFile(world + "EXTRA002.BGL"), "new 2");
  EXPECT_EQ(testsupport::ReadFile(sample_.patchDir() + "\\BAK001.BGL"), "old 1");
  EXPECT_FALSE(testsupport::FileExists(world + "OLD1.BGL"));
  EXPECT_EQ(testsupport::ReadFile(world + "OLD1.OFF"), "displaced");
  EXPECT_TRUE(testsupport::DirExists(sample_.fsDir() + "\\SCENERY\\OV_EXCLUDES\\scenery"));
  const std::string sceneryCfg = testsupport::ReadFile(sample_.fsDir() + "\\SCENERY.CFG");
  EXPECT_NE(sceneryCfg.find("\r\n[Area.002]\r\nTitle=Orvane - Exclude Files For Addon Patches\r\n"
                            "Local=SCENERY\\OV_EXCLUDES\r\nLayer=2\r\nActive=TRUE\r\n"),
            std::string::npos)
      << sceneryCfg;

  // The space bar on the focused checkbox clicks it as the mouse does: this time it removes.
  // (The click left the focus on the checkbox; put it there explicitly all the same.)
  SendMessageTimeoutA(dialog, WM_NEXTDLGCTL,
                      reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_APPLY_PATCH)), TRUE,
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  ASSERT_TRUE(WaitUntil(
      [&] { return FocusedWindow(dialog) == GetDlgItem(dialog, IDC_APPLY_PATCH); }, kWindowWaitMs));
  PressKey(GetDlgItem(dialog, IDC_APPLY_PATCH), VK_SPACE);
  ASSERT_TRUE(WaitForControlText(dialog, IDC_STATUS, "Patch Removed", kOperationWaitMs))
      << "status: " << ControlText(dialog, IDC_STATUS) << "; shown: " << Captions(run_->pid());
  EXPECT_EQ(CheckState(dialog, IDC_APPLY_PATCH), BST_UNCHECKED);
  EXPECT_EQ(ReadSetting(sample_.iniFile(), "Status"), "0");
  EXPECT_EQ(testsupport::ReadFile(world + "FILE001.BGL"), "old 1");
  EXPECT_FALSE(testsupport::FileExists(world + "EXTRA002.BGL"));
  EXPECT_EQ(testsupport::ReadFile(world + "OLD1.BGL"), "displaced");
  EXPECT_FALSE(testsupport::FileExists(world + "OLD1.OFF"));
  CloseWithDone(dialog);
}

TEST_F(OvpatchExeTest, AProductThatCannotBeFoundIsReportedAndLeavesTheCheckboxDisabled) {
  ASSERT_TRUE(SetSimulatorRegistryPath(sample_.fsDir()));
  sample_.HideProduct();
  run_ = std::make_unique<ProgramRun>(sample_.exe(), sample_.patchDir());
  ASSERT_TRUE(run_->started());
  EXPECT_EQ(DismissMessage("Warning"), kNotFoundMessage);
  HWND dialog = MainDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(dialog, IDC_FS_PATH), sample_.fsDir());
  EXPECT_EQ(ControlText(dialog, IDC_PRODUCT_TITLE), kProductTitle);
  EXPECT_EQ(ControlText(dialog, IDC_PRODUCT_PATH), sample_.fsDir() + "\\ADDON\\ELSEWHERE\\");
  EXPECT_FALSE(ControlEnabled(dialog, IDC_APPLY_PATCH));
  EXPECT_EQ(testsupport::ReadFile(sample_.patchDir() + "\\TITLE.OV"),
            std::string(kProductTitle) + "\nPRODUCT.DAT\nNONE\n");
  CloseWithDone(dialog);
}

TEST_F(OvpatchExeTest, TheSystemMenuCommandOpensTheAboutBoxOverTheDialog) {
  ASSERT_TRUE(SetSimulatorRegistryPath(sample_.fsDir()));
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  for (WPARAM command : {WPARAM{16}, WPARAM{17}, WPARAM{31}}) {
    PostMessageA(dialog, WM_SYSCOMMAND, command, 0);
    HWND about = WaitForDialog(run_->pid(), kAboutCaption, kWindowWaitMs);
    ASSERT_NE(about, nullptr) << "command " << command << "; shown: " << Captions(run_->pid());
    EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
    EXPECT_FALSE(IsWindowEnabled(dialog));
    EXPECT_EQ(MessageBoxText(about), "OVPatch Version 1.0 (model 4)");
    // Centred over the main dialog.
    const RECT main = ScreenRect(dialog), box = ScreenRect(about);
    EXPECT_NEAR((box.left + box.right) / 2, (main.left + main.right) / 2, 2);
    EXPECT_NEAR((box.top + box.bottom) / 2, (main.top + main.bottom) / 2, 2);
    if (command == 16) {
      PressKey(FocusedWindow(about), VK_ESCAPE);
    } else {
      PressOk(about);
    }
    ASSERT_TRUE(WaitForDialogGone(run_->pid(), kAboutCaption, kWindowWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, kWindowWaitMs));
  }
  // 32 is not the About command: the platform ignores it and no box opens.
  PostMessageA(dialog, WM_SYSCOMMAND, 32, 0);
  PostMessageA(dialog, WM_SYSCOMMAND, 16, 0);
  HWND about = WaitForDialog(run_->pid(), kAboutCaption, kWindowWaitMs);
  ASSERT_NE(about, nullptr);
  PressOk(about);
  ASSERT_TRUE(WaitForDialogGone(run_->pid(), kAboutCaption, kWindowWaitMs));
  CloseWithDone(dialog);
}

TEST_F(OvpatchExeTest, CancellingTheFolderPickerChangesNothing) {
  ASSERT_TRUE(SetSimulatorRegistryPath(sample_.fsDir()));
  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  const std::string settings = testsupport::ReadFile(sample_.iniFile());
  Click(dialog, IDC_CHANGE_FS_PATH);
  HWND picker = WaitForDialogWithText(run_->pid(), "Select FS2004 Folder Location", kWindowWaitMs);
  ASSERT_NE(picker, nullptr) << "shown: " << Captions(run_->pid());
  EXPECT_EQ(GetWindow(picker, GW_OWNER), dialog);
  Click(picker, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(picker); }, kWindowWaitMs));
  EXPECT_EQ(testsupport::ReadFile(sample_.iniFile()), settings);
  EXPECT_EQ(ControlText(dialog, IDC_FS_PATH), sample_.fsDir());
  EXPECT_TRUE(ControlEnabled(dialog, IDC_APPLY_PATCH));
  CloseWithDone(dialog);
}

TEST_F(OvpatchExeTest, EscapeAndCloseEndTheProgramWithoutTouchingTheSettings) {
  ASSERT_TRUE(SetSimulatorRegistryPath(sample_.fsDir()));
  WritePrivateProfileStringA("Settings", "Status", "1", sample_.iniFile().c_str());
  WritePrivateProfileStringA("Settings", "Fs2004", sample_.fsDir().c_str(),
                             sample_.iniFile().c_str());
  const std::string settings = testsupport::ReadFile(sample_.iniFile());

  HWND dialog = Start();
  ASSERT_NE(dialog, nullptr);
  PressKey(FocusedWindow(dialog), VK_ESCAPE);
  EXPECT_TRUE(run_->WaitForExit(kWindowWaitMs)) << "Escape left it open";
  EXPECT_EQ(testsupport::ReadFile(sample_.iniFile()), settings);

  dialog = Start();
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(run_->WaitForExit(kWindowWaitMs)) << "Close left it open";
  EXPECT_EQ(testsupport::ReadFile(sample_.iniFile()), settings);
}

}  // namespace
}  // namespace wine_e2e
