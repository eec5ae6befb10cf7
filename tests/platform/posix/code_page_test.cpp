// Linux holds text in the Wine prefix's code page, as Windows programs do, and meets the file
// system in UTF-8: what a Windows program in the prefix writes and reads, this build finds.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/posix/code_page.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/strings.h"
#include "platform/text.h"
#include "support/environment.h"
#include "support/temp_folder.h"

namespace {

using testsupport::ScopedEnvironmentVariable;
using testsupport::TempFolder;

// A Wine prefix whose system.reg names `acp` (none when empty) and holds `more`.
void WritePrefix(const TempFolder& tmp, const std::string& acp, const std::string& more = "") {
  std::string reg = "WINE REGISTRY Version 2\n#arch=win32\n\n";
  if (!acp.empty())
    reg += "[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\Codepage] 1700000000\n\"ACP\"=\"" +
           acp + "\"\n\"OEMCP\"=\"437\"\n\n";
  testsupport::MakeDirs(tmp / "prefix");
  testsupport::WriteFile(tmp / "prefix\\system.reg", reg + more);
}

TEST(CodePageRoundTrip, NamesInTheCodePageMeetUtf8OnDisk) {
  TempFolder tmp;
  WritePrefix(tmp, "");
  ScopedEnvironmentVariable prefix("WINEPREFIX", testsupport::HostPath(tmp / "prefix"));
  ScopedEnvironmentVariable chosen("OVPATCH_CODEPAGE", std::nullopt);
  ASSERT_EQ(platform::TextCodePage(), 1252u) << "1252 when the prefix names none";

  // A Windows-1252 list line naming the product folder that Wine created in UTF-8.
  testsupport::MakeDirs(tmp /
                        "QuillbyB\xC3\xA9"
                        "a/Scenery");
  testsupport::WriteFile(tmp /
                             "QuillbyB\xC3\xA9"
                             "a/Scenery/QB01.BGL",
                         "original");
  const std::string listed = tmp /
                             "QUILLBYB\xC9"
                             "A\\scenery\\qb01.bgl";
  ASSERT_TRUE(platform::PathExists(listed));
  EXPECT_EQ(platform::FileSize(listed), 8u);

  // A created name goes to disk in UTF-8; a rename to other letter case renames it there.
  ASSERT_TRUE(platform::CreateFolder(tmp / "Caf\xE9"));
  EXPECT_TRUE(testsupport::DirExists(tmp / "Caf\xC3\xA9"));
  ASSERT_TRUE(platform::MovePath(tmp / "caf\xE9", tmp / "CAF\xC9"));
  EXPECT_TRUE(testsupport::DirExists(tmp / "CAF\xC3\x89"));

  // Listings come back in the code page; a name it cannot hold is left out, a name on disk that is
  // not UTF-8 (copied from Windows byte for byte) is taken as it is.
  testsupport::WriteFile(tmp / "\xE6\x97\xA5.txt", "");
  testsupport::WriteFile(tmp / "raw\xE8.txt", "");
  EXPECT_EQ(platform::FolderEntryNames(tmp.path()),
            (std::vector<std::string>{"CAF\xC9",
                                      "QuillbyB\xE9"
                                      "a",
                                      "prefix", "raw\xE8.txt"}));
  EXPECT_TRUE(platform::PathExists(tmp / "RAW\xC8.TXT"));

  // An INI value written in the code page into a folder spelled in it, read back unchanged.
  const std::string ini = tmp /
                          "QuillbyB\xE9"
                          "a\\OVPATCH.INI";
  const std::string value =
      "C:\\Jeux\\QuillbyB\xE9"
      "a \x80";
  ASSERT_TRUE(platform::WriteProfileValue("Settings", "Fs2004", value.c_str(), ini));
  EXPECT_EQ(testsupport::ReadFile(tmp / "QuillbyB\xC3\xA9"
                                        "a/OVPATCH.INI"),
            "[Settings]\r\nFs2004=" + value + "\r\n")
      << "the file holds code-page bytes";
  EXPECT_EQ(platform::ReadProfileString("Settings", "Fs2004", "", 260, ini), value);

  // Command-line folders come in as UTF-8; a character the code page cannot hold is named.
  EXPECT_EQ(platform::TextFromCommandLine("/home/b\xC3\xA9"
                                          "a")
                .text,
            "/home/b\xE9"
            "a");
  const platform::CommandLineText japanese = platform::TextFromCommandLine("/fs9/\xE6\x97\xA5");
  EXPECT_FALSE(japanese.text);
  EXPECT_EQ(japanese.unheld, "\xE6\x97\xA5");
}

TEST(CodePageRoundTrip, ThePrefixOrTheVariableChoosesTheCodePage) {
  TempFolder tmp;
  WritePrefix(tmp, "1251", "[Software\\\\Quillby] 1700000000\n\"Path\"=\"C:\\\\\\x0416\\x00e9\"\n");
  ScopedEnvironmentVariable prefix("WINEPREFIX", testsupport::HostPath(tmp / "prefix"));
  ScopedEnvironmentVariable chosen("OVPATCH_CODEPAGE", std::nullopt);
  EXPECT_EQ(platform::TextCodePage(), 1251u);
  // Registry strings decode into the code page; what it cannot hold reads as "?", as on Windows.
  EXPECT_EQ(platform::ReadMachineRegistryString("SOFTWARE\\quillby", "path", 99), "C:\\\xC6?");
  testsupport::MakeDirs(tmp / "\xD0\x96");
  testsupport::WriteFile(tmp / "\xD0\x96/A", "");
  EXPECT_TRUE(platform::PathExists(tmp / "\xE6\\a"))
      << "lower-case zhe in 1251 finds upper on disk";

  {
    ScopedEnvironmentVariable japanese("OVPATCH_CODEPAGE", "932");
    EXPECT_EQ(platform::TextCodePage(), 932u);
    EXPECT_TRUE(platform::IsLeadByte(0x83));
    // "ソ" ends in the byte of "\": never a separator.
    EXPECT_EQ(platform::FindLastSeparator("C:\\\x83\x5C"), 2u);
    EXPECT_EQ(platform::SplitPath("A\\\x83\x5C\\B"),
              (std::vector<std::string>{"A", "\x83\x5C", "B"}));
    EXPECT_EQ(platform::LastPathComponent("A\\\x83\x5C"), "\x83\x5C");
    EXPECT_EQ(platform::ComparablePath("a\\\x83\x5C/", platform::TrailingSeparator::kDrop),
              "A\\\x83\x5C");
    ASSERT_TRUE(platform::CreateFolder(tmp / "\x83\x5C"));
    EXPECT_TRUE(testsupport::DirExists(tmp / "\xE3\x82\xBD"));
    EXPECT_EQ(platform::UpperCase("a\x83\x5C"
                                  "b"),
              "A\x83\x5C"
              "B");
  }
  EXPECT_EQ(platform::TextCodePage(), 1251u);
  {
    // A file operation keeps the code page it started with.
    platform::FileOperationScope operation;
    ScopedEnvironmentVariable japanese("OVPATCH_CODEPAGE", "932");
    EXPECT_EQ(platform::TextCodePage(), 1251u);
  }
  EXPECT_EQ(platform::TextCodePage(), 1251u);
  ScopedEnvironmentVariable japanese("OVPATCH_CODEPAGE", "932");
  EXPECT_EQ(platform::TextCodePage(), 932u);
}

// Every byte string of a single-byte Windows code page goes to UTF-8 and back unchanged, and
// folding it twice folds it once.
TEST(CodePageRoundTrip, SingleByteCodePagesConvertEveryByteBothWays) {
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  for (unsigned number : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
    const platform::posix::CodePage codePage(number);
    ASSERT_TRUE(codePage.Known()) << number;
    for (int round = 0; round < 50; ++round) {
      std::string text;
      for (int i = static_cast<int>(random() % 20); i >= 0; --i)
        text += static_cast<char>(random() % 256);
      const std::optional<std::string> utf8 = codePage.ToUtf8(text);
      ASSERT_TRUE(utf8) << "code page " << number << ", seed " << seed;
      EXPECT_EQ(codePage.FromUtf8(*utf8), text) << "code page " << number << ", seed " << seed;
      EXPECT_EQ(codePage.Upper(codePage.Upper(text)), codePage.Upper(text))
          << "code page " << number << ", seed " << seed;
    }
  }
}

}  // namespace
