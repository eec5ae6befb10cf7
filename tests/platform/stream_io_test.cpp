// Checked stream I/O and its fault hook; the program's own file name; code-page text and string
// helpers.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/module.h"
#include "platform/stream_io.h"
#include "platform/strings.h"
#include "platform/text.h"
#include "support/environment.h"
#include "support/temp_folder.h"

namespace {

using testsupport::TempFolder;

class StreamIo : public ::testing::Test {
protected:
  void TearDown() override { platform::ClearStreamFaults(); }
  TempFolder tmp;
};

TEST_F(StreamIo, CopiesBytesAndTellsTheEndFromAnError) {
  testsupport::WriteFile(tmp / "in.bgl", "0123456789");
  FILE* in = platform::OpenStream(tmp / "in.bgl", "rb");
  FILE* out = platform::OpenStream(tmp / "out.bgl", "wb");
  ASSERT_TRUE(in && out);
  char buffer[4];
  size_t n;
  while ((n = platform::ReadBytes(in, buffer, sizeof buffer)) > 0)
    ASSERT_TRUE(platform::WriteBytes(out, buffer, n));
  EXPECT_FALSE(platform::ReadFailed(in));
  EXPECT_TRUE(platform::CloseStream(in));
  EXPECT_TRUE(platform::CloseStream(out));
  EXPECT_EQ(testsupport::ReadFile(tmp / "out.bgl"), "0123456789");
}

TEST_F(StreamIo, InjectedFaultsHitTheChosenOperationAfterTheSkippedOnes) {
  testsupport::WriteFile(tmp / "in.bgl", "0123456789");
  FILE* in = platform::OpenStream(tmp / "in.bgl", "rb");
  ASSERT_NE(in, nullptr);
  char buffer[4];
  platform::InjectStreamFault(platform::StreamFault::Read, 1);
  EXPECT_EQ(platform::ReadBytes(in, buffer, sizeof buffer), 4u);
  EXPECT_FALSE(platform::ReadFailed(in));
  EXPECT_EQ(platform::ReadBytes(in, buffer, sizeof buffer), 0u);
  EXPECT_TRUE(platform::ReadFailed(in));
  EXPECT_EQ(platform::ReadBytes(in, buffer, sizeof buffer), 0u) << "faults go on until cleared";
  platform::ClearStreamFaults();
  EXPECT_EQ(platform::ReadBytes(in, buffer, sizeof buffer), 4u);
  EXPECT_FALSE(platform::ReadFailed(in));

  FILE* out = platform::OpenStream(tmp / "out.bgl", "wb");
  ASSERT_NE(out, nullptr);
  platform::InjectStreamFault(platform::StreamFault::Write);
  EXPECT_FALSE(platform::WriteBytes(out, "abcd", 4));
  platform::InjectStreamFault(platform::StreamFault::Close);
  EXPECT_FALSE(platform::CloseStream(out)) << "the stream is gone all the same";
  EXPECT_FALSE(platform::CloseStream(in));
  platform::InjectStreamFault(platform::StreamFault::None);

  out = platform::OpenStream(tmp / "out.bgl", "wb");
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(platform::WriteBytes(out, "abcd", 4));
  EXPECT_TRUE(platform::CloseStream(out));
  EXPECT_EQ(testsupport::ReadFile(tmp / "out.bgl"), "abcd");
}

TEST(OwnFileName, NamesAnExistingFileUnlessOverriddenOrTooLong) {
  const auto name = platform::OwnFileName(999);
  ASSERT_TRUE(name.has_value());
  EXPECT_TRUE(platform::PathExists(*name));
  EXPECT_FALSE(platform::IsFolder(*name));
  EXPECT_EQ(platform::OwnFileName(3), std::nullopt);

  platform::OverrideOwnFileName("C:\\Patch\\OVPatch.exe");
  EXPECT_EQ(platform::OwnFileName(999), "C:\\Patch\\OVPatch.exe");
  platform::OverrideOwnFileName(std::nullopt);
  EXPECT_EQ(platform::OwnFileName(999), name);
}

TEST(CodePageText, SeparatorsAndUpperCase) {
  EXPECT_EQ(platform::FindLastSeparator("C:\\FS9\\SCENERY.CFG"), 6u);
  EXPECT_EQ(platform::FindLastSeparator("OVPATCH.EXE"), std::string::npos);
  EXPECT_EQ(platform::UpperCase("Scenery\\ov_excludes 9"), "SCENERY\\OV_EXCLUDES 9");
  EXPECT_FALSE(platform::IsLeadByte('S'));
  EXPECT_FALSE(platform::IsLeadByte('\\'));
}

// Names compared without regard to case fold as the system does in code page 1252 (the Linux build
// is set to it; under Wine it is the prefix's): every letter with its other case in the code page,
// never µ into M nor ß into anything, on both builds alike.
TEST(CodePageText, NamesFoldAsTheSystemFoldsThemIn1252) {
  testsupport::ScopedEnvironmentVariable codePage("OVPATCH_CODEPAGE", "1252");
  if (platform::TextCodePage() != 1252) GTEST_SKIP() << "code page " << platform::TextCodePage();
  const auto expectedUpper = [](unsigned b) -> unsigned {
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) return b - 0x20;
    switch (b) {
      case 0x9A:
        return 0x8A;  // š
      case 0x9C:
        return 0x8C;  // œ
      case 0x9E:
        return 0x8E;  // ž
      case 0xFF:
        return 0x9F;  // ÿ
      default:
        return b;
    }
  };
  for (unsigned b = 1; b < 256; ++b)
    EXPECT_EQ(
        static_cast<unsigned char>(platform::UpperCase(std::string(1, static_cast<char>(b)))[0]),
        expectedUpper(b))
        << "byte " << b;
  EXPECT_TRUE(
      platform::SameTextNoCase("QuillbyB\xE9"
                               "a\\Scenery",
                               "QUILLBYB\xC9"
                               "A\\SCENERY"));
  EXPECT_FALSE(platform::SameTextNoCase("Quillby\xE9", "QuillbyE"));
  EXPECT_FALSE(platform::SameTextNoCase("\xB5", "M"));
  EXPECT_FALSE(
      platform::SameTextNoCase("Stra\xDF"
                               "e",
                               "STRASSE"));

  // Any string equals itself with each character swapped for one of its other cases.
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  for (int round = 0; round < 200; ++round) {
    std::string text, other;
    for (int i = static_cast<int>(random() % 12); i >= 0; --i) {
      const unsigned char c = static_cast<unsigned char>(1 + random() % 255);
      text += static_cast<char>(c);
      std::vector<char> sameLetter;
      for (unsigned b = 1; b < 256; ++b)
        if (expectedUpper(b) == expectedUpper(c)) sameLetter.push_back(static_cast<char>(b));
      other += sameLetter[random() % sameLetter.size()];
    }
    ASSERT_TRUE(platform::SameTextNoCase(text, other)) << "seed " << seed;
    ASSERT_EQ(platform::UpperCase(platform::UpperCase(text)), platform::UpperCase(text))
        << "seed " << seed;
  }

  // The file system agrees: an accented folder is found in other letter case, also while an
  // operation keeps its listings.
  testsupport::TempFolder tmp;
  ASSERT_TRUE(platform::CreateFolder(tmp / "QuillbyB\xE9"
                                           "a"));
  platform::FileOperationScope operation;
  EXPECT_TRUE(platform::IsFolder(tmp / "QUILLBYB\xC9"
                                       "A"));
  EXPECT_FALSE(platform::PathExists(tmp / "QUILLBYBEA"));
  EXPECT_TRUE(platform::CreateFolder(tmp / "QUILLBYB\xC9"
                                           "A\\Scenery"));
  EXPECT_TRUE(platform::IsFolder(tmp / "quillbyb\xe9"
                                       "a\\SCENERY"));
}

TEST(StringHelpers, JoinSplitFoldAndClampedDecimals) {
  EXPECT_EQ(platform::JoinPath("C:\\FS9", "SCENERY.CFG"), "C:\\FS9\\SCENERY.CFG");
  EXPECT_EQ(platform::JoinPath("", "A"), "\\A");
  EXPECT_EQ(platform::SplitOn("\\a\\\\b/c\\", "\\/"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(platform::SplitOn("", "\\"), std::vector<std::string>{});
  EXPECT_EQ(platform::AsciiUpper('z'), 'Z');
  EXPECT_EQ(platform::AsciiLower('Q'), 'q');
  EXPECT_EQ(platform::AsciiUpper('\xE9'), '\xE9');
  // atoi's reading, held at the 32-bit ends instead of overflowing.
  EXPECT_EQ(platform::ParseClampedDecimal(" \t+42x"), 42);
  EXPECT_EQ(platform::ParseClampedDecimal("-7"), -7);
  EXPECT_EQ(platform::ParseClampedDecimal("abc"), 0);
  EXPECT_EQ(platform::ParseClampedDecimal("2147483648"), platform::kDecimalMax);
  EXPECT_EQ(platform::ParseClampedDecimal("-2147483648"), platform::kDecimalMin);
  EXPECT_EQ(platform::ParseClampedDecimal("-99999999999999999999"), platform::kDecimalMin);
}

TEST(StringHelpers, PathNamesAndTheSpellingTwoPathsCompareIn) {
  using platform::TrailingSeparator;
  EXPECT_EQ(platform::SplitPath("\\a\\\\b/c\\"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(platform::LastPathComponent("C:\\FS9\\Scenery\\/"), "Scenery");
  EXPECT_EQ(platform::LastPathComponent("A"), "A");
  EXPECT_EQ(platform::LastPathComponent("\\\\"), "");
  EXPECT_EQ(platform::ComparablePath("c:/fs9//scenery\\", TrailingSeparator::kKeep),
            "C:\\FS9\\SCENERY\\");
  EXPECT_EQ(platform::ComparablePath("c:/fs9//scenery\\", TrailingSeparator::kDrop),
            "C:\\FS9\\SCENERY");
  EXPECT_EQ(platform::ComparablePath("//", TrailingSeparator::kDrop), "\\");
}

}  // namespace
