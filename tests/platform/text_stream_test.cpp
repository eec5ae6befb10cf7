// Text and binary streams with the Windows C runtime's rules, and the fgets-style line reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/stream_io.h"
#include "support/temp_folder.h"

namespace {

using testsupport::TempFolder;

// Every line ReadLine gives for `limit` until it reports the end.
std::vector<std::string> ReadAllLines(const std::string& path, int limit) {
  std::vector<std::string> lines;
  FILE* f = platform::OpenStream(path, "r");
  if (!f) return {"<cannot open>"};
  std::string line;
  while (platform::ReadLine(f, limit, line)) lines.push_back(line);
  std::fclose(f);
  return lines;
}

void WriteText(const std::string& path, const char* mode, const std::string& text) {
  FILE* f = platform::OpenStream(path, mode);
  ASSERT_NE(f, nullptr) << mode;
  std::fputs(text.c_str(), f);
  EXPECT_EQ(std::fclose(f), 0);
}

TEST(TextStreams, ReadingJoinsCrLfKeepsALoneCrAndStopsAtCtrlZ) {
  TempFolder tmp;
  testsupport::WriteFile(tmp / "list.ov", std::string("one\r\ntwo\rthree\n\r\nfour\x1A"
                                                      "five\r\n"));
  EXPECT_EQ(ReadAllLines(tmp / "list.ov", 1000),
            (std::vector<std::string>{"one\n", "two\rthree\n", "\n", "four"}));

  testsupport::WriteFile(tmp / "cr-at-end.ov", "last\r");
  EXPECT_EQ(ReadAllLines(tmp / "cr-at-end.ov", 1000), std::vector<std::string>{"last\r"});

  testsupport::WriteFile(tmp / "empty.ov", "");
  EXPECT_TRUE(ReadAllLines(tmp / "empty.ov", 1000).empty());
}

TEST(TextStreams, ReadLineHonoursTheLimitLikeFgets) {
  TempFolder tmp;
  const std::string x510(510, 'x');
  testsupport::WriteFile(tmp / "long.ov", x510 + "\r\n" + "next\r\n");
  // 510 characters fill a 511-byte buffer: the line break comes as a piece of its own.
  EXPECT_EQ(ReadAllLines(tmp / "long.ov", 511), (std::vector<std::string>{x510, "\n", "next\n"}));
  EXPECT_EQ(ReadAllLines(tmp / "long.ov", 512), (std::vector<std::string>{x510 + "\n", "next\n"}));

  // A huge line comes in pieces of limit - 1, with nothing lost.
  testsupport::WriteFile(tmp / "huge.ov", std::string(100000, 'y') + "\r\n");
  const auto pieces = ReadAllLines(tmp / "huge.ov", 998);
  ASSERT_EQ(pieces.size(), 101u);
  EXPECT_EQ(pieces[0], std::string(997, 'y'));
  EXPECT_EQ(pieces[100], std::string(100000 - 100 * 997, 'y') + "\n");

  // A zero byte far into a long line keeps its place, and the line stays whole.
  const std::string withZero = std::string(300, 'z') + std::string(1, '\0') + "end";
  testsupport::WriteFile(tmp / "zero.ov", withZero + "\r\n");
  EXPECT_EQ(ReadAllLines(tmp / "zero.ov", 511), std::vector<std::string>{withZero + "\n"});
}

TEST(TextStreams, WritingTurnsEachLineBreakIntoCrLfAndAppendKeepsTheFile) {
  TempFolder tmp;
  WriteText(tmp / "TITLE.OV", "w", "Product\nCHECK.BGL\nNONE\n");
  EXPECT_EQ(testsupport::ReadFile(tmp / "TITLE.OV"), "Product\r\nCHECK.BGL\r\nNONE\r\n");

  WriteText(tmp / "title.ov", "w", "short\n");
  EXPECT_EQ(testsupport::ReadFile(tmp / "TITLE.OV"), "short\r\n") << "w truncates";

  testsupport::WriteFile(tmp / "SCENERY.CFG", "[General]\r\nTitle=FS9 World Scenery");
  WriteText(tmp / "scenery.cfg", "a", "\n[Area.002]\nTitle=Excludes\n");
  EXPECT_EQ(testsupport::ReadFile(tmp / "SCENERY.CFG"),
            "[General]\r\nTitle=FS9 World Scenery\r\n[Area.002]\r\nTitle=Excludes\r\n");

  WriteText(tmp / "new.txt", "a", "created\n");
  EXPECT_EQ(testsupport::ReadFile(tmp / "new.txt"), "created\r\n");
}

TEST(TextStreams, BinaryModesKeepEveryByte) {
  TempFolder tmp;
  const std::string bytes("a\r\nb\nc\x1A\0d\r", 10);
  FILE* f = platform::OpenStream(tmp / "copy.bgl", "wb");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
  EXPECT_EQ(testsupport::ReadFile(tmp / "copy.bgl"), bytes);

  f = platform::OpenStream(tmp / "COPY.BGL", "rb");
  ASSERT_NE(f, nullptr);
  char back[32] = {};
  EXPECT_EQ(std::fread(back, 1, sizeof back, f), bytes.size());
  std::fclose(f);
  EXPECT_EQ(std::string(back, bytes.size()), bytes);
}

TEST(TextStreams, OpeningFailsForMissingFilesFoldersAndReadOnlyTargets) {
  TempFolder tmp;
  testsupport::MakeDirs(tmp / "folder");
  testsupport::WriteFile(tmp / "locked.cfg", "keep");
  testsupport::MakeReadOnly(tmp / "locked.cfg");

  EXPECT_EQ(platform::OpenStream(tmp / "missing.ov", "r"), nullptr);
  EXPECT_EQ(platform::OpenStream(tmp / "missing.ov", "rb"), nullptr);
  EXPECT_EQ(platform::OpenStream(tmp / "no\\such\\folder.ov", "w"), nullptr);
  EXPECT_EQ(platform::OpenStream(tmp / "folder", "wb"), nullptr);
  EXPECT_EQ(platform::OpenStream(tmp / "folder", "w"), nullptr);
  for (const char* mode : {"w", "a", "wb", "ab", "r+b"})
    EXPECT_EQ(platform::OpenStream(tmp / "locked.cfg", mode), nullptr) << mode;
  EXPECT_EQ(testsupport::ReadFile(tmp / "locked.cfg"), "keep");

  FILE* f = platform::OpenStream(tmp / "LOCKED.CFG", "r");
  ASSERT_NE(f, nullptr) << "a read-only file can be read";
  std::fclose(f);
}

}  // namespace
