// What only the Linux stand-ins show: the registry reader against a hand-written system.reg in a
// throw-away Wine prefix, and the profile files where the system under Wine differs from Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
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
            "C:\\Games\\FS \"9\"\tx\xE9"
            "A")
      << "in the code page, 1252 when the prefix names none";
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
      "\"Raw\"=hex(1):61,00,\\\n  62,00,\\\n  63,00\n");
  EXPECT_EQ(ReadMachineRegistryString("Software\\Test", "Raw", 999), "abc");
  EXPECT_EQ(ReadMachineRegistryString("Software\\Test", "Raw", 3), "abc");
  EXPECT_EQ(ReadMachineRegistryString("Software\\Test", "Raw", 2), std::nullopt);
}

TEST_F(RegistryFile, MissingPrefixGivesNothing) {
  EXPECT_EQ(ReadMachineRegistryString(kFsKey, "EXE Path", 999), std::nullopt);
}

// What the Linux profile files do beyond the shared tests: there the system under Wine rewrites
// the whole file and takes a UTF-8 byte-order mark for one, where Windows does neither.
TEST(ProfileFile, AWriteKeepsEveryOtherByteAndAUtf8MarkIsNotRecognised) {
  TempFolder tmp;
  const std::string ini = tmp / "OVPATCH.INI";
  const auto read = [&](const char* key) { return platform::ReadProfileString("Settings", key, "undefined", 998, ini); };
  const auto writeThenFile = [&](const std::string& before, const char* key, const char* value) {
    testsupport::WriteFile(ini, before);
    EXPECT_TRUE(platform::WriteProfileValue("Settings", key, value, ini));
    return testsupport::ReadFile(ini);
  };
  const auto utf16 = [](const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
  };

  EXPECT_EQ(writeThenFile("[Settings]\rFs2004=C:\\FS9 \nStatus=1\r\n;end", "Status", "0"),
            "[Settings]\rFs2004=C:\\FS9 \nStatus=0\r\n;end");
  EXPECT_EQ(writeThenFile("[Settings]\r\nFs2004=C:\\FS9\r", "Status", "0"), "[Settings]\r\nFs2004=C:\\FS9\rStatus=0\r\n");
  testsupport::ScopedEnvironmentVariable codePage("OVPATCH_CODEPAGE", "1252");
  EXPECT_EQ(
      writeThenFile(utf16(u"[Settings]\rFs2004=D:\\Spiele\\Flugsimulator \u00E4\U0001F6E9"),
                    "Status", "\xFC"),
      utf16(u"[Settings]\rFs2004=D:\\Spiele\\Flugsimulator \u00E4\U0001F6E9\r\nStatus=\u00FC\r\n"));
  EXPECT_EQ(read("Fs2004"), "D:\\Spiele\\Flugsimulator \xE4?") << "UTF-16 is read in the code page";
  EXPECT_EQ(read("Status"), "\xFC");

  testsupport::WriteFile(ini, "\xEF\xBB\xBF[Settings]\r\nStatus=1\r\n");
  EXPECT_EQ(read("Status"), "undefined");
  EXPECT_EQ(writeThenFile("\xEF\xBB\xBF[Settings]\r\nStatus=1\r\n", "Status", "0"),
            "\xEF\xBB\xBF[Settings]\r\nStatus=1\r\n[Settings]\r\nStatus=0\r\n");
}

// Another program's rewrite within one tick of a coarse file-system clock keeps size and stamp.
TEST(ProfileFile, SeesASameSizeRewriteThatKeepsTheTimeStamp) {
  TempFolder tmp;
  const std::string ini = tmp / "OVPATCH.INI";
  std::string host = ini;
  std::replace(host.begin(), host.end(), '\\', '/');
  const auto anHourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  for (const char* status : {"0", "1"}) {
    testsupport::WriteFile(ini, std::string("[Settings]\r\nStatus=") + status + "\r\n");
    std::filesystem::last_write_time(host, anHourAgo);
    EXPECT_EQ(platform::ReadProfileString("Settings", "Status", "undefined", 998, ini), status);
  }
}

}  // namespace
