// The Linux registry reader against a hand-written system.reg in a throw-away Wine prefix.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/profile.h"
#include "platform/registry.h"
#include "support/environment.h"
#include "support/temp_folder.h"

namespace {

using platform::ReadMachineRegistryString;
using testsupport::TempFolder;

const char kFsKey[] = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0";

class RegistryFile : public ::testing::Test {
protected:
  RegistryFile()
      : prefix_(testsupport::HostPath(tmp_.path())), winePrefix_("WINEPREFIX", prefix_) {}
  void WriteSystemReg(const std::string& body) {
    testsupport::WriteFile(
        prefix_ + "/system.reg",
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n" + body);
  }

  TempFolder tmp_;
  std::string prefix_;
  testsupport::ScopedEnvironmentVariable winePrefix_;
};

TEST_F(RegistryFile, PrefersThe32BitViewInA64BitPrefix) {
  WriteSystemReg(
      "#arch=win64\n\n"
      "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\9.0] 1700000000\n"
      "#time=1d9\n\"EXE Path\"=\"C:\\\\64-bit view\"\n\n"
      "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\9.0] "
      "1700000000\n"
      "#time=1d9\n\"EXE Path\"=\"C:\\\\Program Files (x86)\\\\Microsoft Games\\\\Flight Simulator "
      "9\"\n");
  EXPECT_EQ(ReadMachineRegistryString(kFsKey, "EXE Path", 999),
            "C:\\Program Files (x86)\\Microsoft Games\\Flight Simulator 9");
  EXPECT_EQ(ReadMachineRegistryString("software\\microsoft\\MICROSOFT GAMES\\flight simulator\\9.0",
                                      "exe path", 999),
            "C:\\Program Files (x86)\\Microsoft Games\\Flight Simulator 9");
}

TEST_F(RegistryFile, ReadsThePlainKeyOtherwiseAndDecodesEscapes) {
  WriteSystemReg(
      "#arch=win32\n\n"
      "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\9.0] 1700000000\n"
      "\"EXE Path\"=str(2):\"C:\\\\Games\\\\FS \\\"9\\\"\\tx\\x00e9\\101\"\n"
      "\"Number\"=dword:00000009\n"
      "\"Long\"=\"" +
      std::string(998, 'L') + "\"\n");
  EXPECT_EQ(ReadMachineRegistryString(kFsKey, "EXE Path", 999),
            "C:\\Games\\FS \"9\"\tx\xC3\xA9"
            "A");
  EXPECT_EQ(ReadMachineRegistryString(kFsKey, "Number", 999), std::nullopt) << "not a string";
  EXPECT_EQ(ReadMachineRegistryString(kFsKey, "Missing", 999), std::nullopt);
  EXPECT_EQ(ReadMachineRegistryString(kFsKey + std::string("\\Sub"), "EXE Path", 999),
            std::nullopt);
  EXPECT_EQ(ReadMachineRegistryString(kFsKey, "Long", 999), std::string(998, 'L'))
      << "998 + zero fit";
  EXPECT_EQ(ReadMachineRegistryString(kFsKey, "Long", 998), std::nullopt)
      << "the zero does not fit";
}

TEST_F(RegistryFile, UnterminatedValueEndsAtItsData) {
  // "abc" as REG_SZ bytes without the terminating zero.
  WriteSystemReg(
      "[Software\\\\Test] 1\n"
      "\"Raw\"=hex(1):61,00,62,00,\\\n  63,00\n");
  EXPECT_EQ(ReadMachineRegistryString("Software\\Test", "Raw", 999), "abc");
  EXPECT_EQ(ReadMachineRegistryString("Software\\Test", "Raw", 3), "abc");
  EXPECT_EQ(ReadMachineRegistryString("Software\\Test", "Raw", 2), std::nullopt);
}

TEST_F(RegistryFile, MissingPrefixGivesNothing) {
  EXPECT_EQ(ReadMachineRegistryString(kFsKey, "EXE Path", 999), std::nullopt);
}

// The profile cache must notice a rewrite that keeps size and time stamp (two writes within one
// tick of the file system's clock).
TEST(ProfileCache, SeesASameSizeRewriteWithinOneClockTick) {
  TempFolder tmp;
  const std::string ini = tmp / "OVPATCH.INI";
  for (int i = 0; i < 20; ++i) {
    const std::string status = std::to_string(i % 10);
    testsupport::WriteFile(ini, "[Settings]\r\nStatus=" + status + "\r\n");
    ASSERT_EQ(platform::ReadProfileString("Settings", "Status", "undefined", 998, ini), status);
  }
}

}  // namespace
