// Profile strings with the shapes this program reads and writes: the settings file and the
// scenery library.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "support/temp_folder.h"

namespace {

using platform::ReadProfileString;
using platform::WriteProfileValue;
using testsupport::TempFolder;

// The text's lines without blanks around them and without empty ones: how the two systems lay out
// the lines they write differs only in blank lines. CR LF, LF and a lone CR each end a line.
std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t begin = 0; begin < text.size();) {
    size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(begin, end - begin);
    const size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos) lines.push_back(line.substr(first, line.find_last_not_of(" \t") - first + 1));
    begin = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::vector<std::string> ContentLines(const std::string& path) { return LinesOf(testsupport::ReadFile(path)); }

// `ascii` as UTF-16LE with its byte-order mark.
std::string Utf16Le(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += {c, '\0'};
  return bytes;
}

// The ASCII text of UTF-16LE `bytes` with their byte-order mark; "(not UTF-16LE)" otherwise.
std::string AsciiOfUtf16Le(const std::string& bytes) {
  std::string text;
  bool ascii = bytes.size() % 2 == 0 && bytes.compare(0, 2, "\xFF\xFE") == 0;
  for (size_t i = 2; ascii && i < bytes.size(); i += 2) {
    ascii = bytes[i + 1] == '\0' && static_cast<unsigned char>(bytes[i]) < 0x80;
    text += bytes[i];
  }
  return ascii ? text : "(not UTF-16LE)";
}

std::string Area(int n, const std::string& title, const std::string& local, int layer) {
  char header[32];
  std::snprintf(header, sizeof header, "[Area.%03d]\r\n", n);
  return std::string("\r\n") + header + "Title=" + title + "\r\nLocal=" + local + "\r\nLayer=" +
         std::to_string(layer) + "\r\nActive=TRUE\r\nRequired=FALSE\r\n";
}

std::string Read(const std::string& section, const std::string& key, const std::string& file) {
  return ReadProfileString(section, key, "undefined", 998, file);
}

TEST(ProfileRead, MatchesWithoutRegardToCaseAndTrimsBlanksAndQuotes) {
  TempFolder tmp;
  const std::string ini = tmp / "OVPATCH.INI";
  testsupport::WriteFile(ini, "[Settings]\r\n  Fs2004 =   C:\\Program Files\\FS9\\  \r\nStatus=1\r\n"
                              "Quoted=\"C:\\Flight Sim\\ \"\r\nHalf=\"open\r\nEmpty=\r\nNoEquals\r\n");
  EXPECT_EQ(Read("Settings", "Fs2004", ini), "C:\\Program Files\\FS9\\");
  EXPECT_EQ(Read("SETTINGS", "fs2004", ini), "C:\\Program Files\\FS9\\");
  EXPECT_EQ(Read("settings", "STATUS", tmp / "ovpatch.ini"), "1");
  EXPECT_EQ(Read("Settings", "Quoted", ini), "C:\\Flight Sim\\ ");
  EXPECT_EQ(Read("Settings", "Half", ini), "\"open");
  EXPECT_EQ(Read("Settings", "Empty", ini), "");
  EXPECT_EQ(Read("Settings", "NoEquals", ini), "undefined") << "a line without = holds no key";
}

TEST(ProfileRead, MissingFileSectionOrKeyGivesTheDefaultAndTruncatesToTheBuffer) {
  TempFolder tmp;
  const std::string ini = tmp / "OVPATCH.INI";
  EXPECT_EQ(Read("Settings", "Status", ini), "undefined");
  testsupport::WriteFile(ini, "[Settings]\r\nStatus=0\r\nLong=" + std::string(1200, 'L') + "\r\n");
  EXPECT_EQ(Read("Other", "Status", ini), "undefined");
  EXPECT_EQ(Read("Settings", "Fs2004", ini), "undefined");
  EXPECT_EQ(Read("Settings", "Long", ini), std::string(997, 'L'));
  EXPECT_EQ(ReadProfileString("Settings", "Status", "undefined", 2, ini), "0");
  EXPECT_EQ(ReadProfileString("Settings", "Fs2004", "undefined", 4, ini), "und");
  EXPECT_EQ(Read("Settings", "Status", tmp / "missing\\OVPATCH.INI"), "undefined");
}

TEST(ProfileRead, SceneryLibraryReadsTheFirstOfTwoSectionsOfOneName) {
  TempFolder tmp;
  const std::string cfg = tmp / "SCENERY.CFG";
  testsupport::WriteFile(cfg, "[General]\r\nTitle=FS9 World Scenery\r\n" + Area(1, "Default Terrain", "Scenery\\World", 1) +
                                  Area(2, "Addon Scenery", "Addon Scenery", 2) +
                                  "\r\n[Area.001]\r\nTitle=Second copy\r\nRemote=X\r\n");
  EXPECT_EQ(Read("Area.001", "Title", cfg), "Default Terrain");
  EXPECT_EQ(Read("AREA.001", "LOCAL", cfg), "Scenery\\World");
  EXPECT_EQ(Read("Area.001", "Remote", cfg), "undefined");
  EXPECT_EQ(Read("Area.002", "Layer", cfg), "2");
  EXPECT_EQ(platform::ReadProfileSectionNames(cfg),
            (std::vector<std::string>{"General", "Area.001", "Area.002", "Area.001"}));
  EXPECT_TRUE(platform::ReadProfileSectionNames(tmp / "missing.cfg").empty());

  // A write goes to the first of them too, and the second stays.
  ASSERT_TRUE(WriteProfileValue("Area.001", "Remote", "Y", cfg));
  EXPECT_EQ(Read("Area.001", "Remote", cfg), "Y");
  const auto lines = ContentLines(cfg);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"[Area.001]", "Title=Second copy", "Remote=X"}));
}

TEST(ProfileWrite, ReplacesInPlaceAndAddsNewKeysAtTheEndOfTheirSection) {
  TempFolder tmp;
  const std::string cfg = tmp / "SCENERY.CFG";
  testsupport::WriteFile(cfg, "[General]\r\nTitle=FS9 World Scenery\r\n" + Area(1, "Default Terrain", "Scenery\\World", 1) +
                                  Area(2, "Addon Scenery", "Addon Scenery", 2));
  std::vector<std::string> expected = ContentLines(cfg);

  ASSERT_TRUE(WriteProfileValue("Area.001", "Active", "FALSE", cfg));
  expected[6] = "Active=FALSE";
  EXPECT_EQ(ContentLines(cfg), expected);

  ASSERT_TRUE(WriteProfileValue("area.001", "Remote", "\\\\server\\scenery", cfg));
  expected.insert(expected.begin() + 8, "Remote=\\\\server\\scenery");
  EXPECT_EQ(ContentLines(cfg), expected);
  EXPECT_EQ(Read("Area.001", "Remote", cfg), "\\\\server\\scenery");
  EXPECT_EQ(Read("Area.002", "Title", cfg), "Addon Scenery");
}

TEST(ProfileWrite, AppendsMissingSectionsAndCreatesMissingFiles) {
  TempFolder tmp;
  const std::string ini = tmp / "OVPATCH.INI";
  ASSERT_TRUE(WriteProfileValue("Settings", "Status", "0", ini));
  EXPECT_EQ(ContentLines(ini), (std::vector<std::string>{"[Settings]", "Status=0"}));
  ASSERT_TRUE(WriteProfileValue("Settings", "Fs2004", "D:\\Games\\FS9", ini));
  ASSERT_TRUE(WriteProfileValue("SETTINGS", "status", "1", ini));
  EXPECT_EQ(ContentLines(ini), (std::vector<std::string>{"[Settings]", "Status=1", "Fs2004=D:\\Games\\FS9"}));
  EXPECT_EQ(Read("Settings", "Status", ini), "1");

  const std::string cfg = tmp / "SCENERY.CFG";
  testsupport::WriteFile(cfg, "[General]\r\nTitle=FS9 World Scenery\r\n" + Area(1, "Default Terrain", "Scenery\\World", 1));
  ASSERT_TRUE(WriteProfileValue("Area.002", "Title", "Excludes", cfg));
  const auto lines = ContentLines(cfg);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{"[Area.002]", "Title=Excludes"}));
  EXPECT_EQ(Read("Area.001", "Layer", cfg), "1");

  EXPECT_FALSE(WriteProfileValue("Settings", "Status", "1", tmp / "missing\\OVPATCH.INI"));
  EXPECT_FALSE(platform::PathExists(tmp / "missing"));
}

TEST(ProfileWrite, ReadOnlyFileIsLeftAlone) {
  TempFolder tmp;
  const std::string ini = tmp / "OVPATCH.INI";
  testsupport::WriteFile(ini, "[Settings]\r\nStatus=0\r\n");
  testsupport::MakeReadOnly(ini);
  EXPECT_FALSE(WriteProfileValue("Settings", "Status", "1", ini));
  EXPECT_EQ(testsupport::ReadFile(ini), "[Settings]\r\nStatus=0\r\n");
  EXPECT_EQ(Read("Settings", "Status", ini), "0");
}

// Another program rewrites or appends to the file between reads. The time stamp is moved each time
// because the system under Wine keeps its last parse while the stamp stays the same.
TEST(ProfileRead, SeesChangesMadeOnDiskBetweenReads) {
  TempFolder tmp;
  const std::string cfg = tmp / "SCENERY.CFG";
  testsupport::WriteFile(cfg, "[Settings]\r\nStatus=0\r\n");
  EXPECT_EQ(Read("Settings", "Status", cfg), "0");
  testsupport::WriteFile(cfg, "[Settings]\r\nStatus=1\r\n");
  testsupport::ShiftModifiedTime(cfg, 2);
  EXPECT_EQ(Read("Settings", "Status", cfg), "1");
  ASSERT_TRUE(WriteProfileValue("Settings", "Fs2004", "C:\\FS9", cfg));
  EXPECT_EQ(ContentLines(cfg), (std::vector<std::string>{"[Settings]", "Status=1", "Fs2004=C:\\FS9"}));

  FILE* f = platform::OpenStream(cfg, "a");
  ASSERT_NE(f, nullptr);
  std::fputs("\n[Area.001]\nLocal=SCENERY\\OV_EXCLUDES\n", f);
  std::fclose(f);
  testsupport::ShiftModifiedTime(cfg, 4);
  EXPECT_EQ(Read("Area.001", "Local", cfg), "SCENERY\\OV_EXCLUDES");

  platform::RemoveFile(cfg);
  EXPECT_EQ(Read("Settings", "Status", cfg), "undefined");
}

// Writes `bytes`, a settings file with a second section, and checks that it reads, lists and takes
// writes as Windows does. `textOf` gives the text of the file's bytes.
void ExpectReadAndWrittenAsWindowsDoes(const std::string& bytes, std::string (*textOf)(const std::string&)) {
  TempFolder tmp;
  const std::string ini = tmp / "OVPATCH.INI";
  testsupport::WriteFile(ini, bytes);
  EXPECT_EQ(Read("Settings", "Fs2004", ini), "C:\\FS9");
  EXPECT_EQ(Read("Settings", "Status", ini), "1");
  EXPECT_EQ(Read("Area.001", "Layer", ini), "5");
  EXPECT_EQ(platform::ReadProfileSectionNames(ini), (std::vector<std::string>{"Settings", "Area.001"}));

  ASSERT_TRUE(WriteProfileValue("Settings", "Status", "0", ini));
  ASSERT_TRUE(WriteProfileValue("Settings", "Added", "x", ini));
  ASSERT_TRUE(WriteProfileValue("Area.001", "Local", "SCENERY\\OV_EXCLUDES", ini));
  ASSERT_TRUE(WriteProfileValue("Area.002", "Layer", "6", ini));
  EXPECT_EQ(LinesOf(textOf(testsupport::ReadFile(ini))),
            (std::vector<std::string>{"[Settings]", "Fs2004=C:\\FS9", "Status=0", "Added=x", "[Area.001]", "Layer=5",
                                      "Local=SCENERY\\OV_EXCLUDES", "[Area.002]", "Layer=6"}));
  EXPECT_EQ(Read("Settings", "Status", ini), "0");
  EXPECT_EQ(Read("Area.001", "Local", ini), "SCENERY\\OV_EXCLUDES");
}

std::string AsIs(const std::string& bytes) { return bytes; }

// Line ends as Windows editors, old Mac editors and Unix tools leave them, also mixed in one file.
TEST(ProfileLineEnds, CrLfLfAndLoneCrEachEndALineInReadsWritesAndTheSectionList) {
  const std::pair<const char*, std::string> cases[] = {
      {"CR LF", "[Settings]\r\nFs2004=C:\\FS9\r\nStatus=1\r\n[Area.001]\r\nLayer=5\r\n"},
      {"LF", "[Settings]\nFs2004=C:\\FS9\nStatus=1\n[Area.001]\nLayer=5\n"},
      {"CR", "[Settings]\rFs2004=C:\\FS9\rStatus=1\r[Area.001]\rLayer=5\r"},
      {"mixed", "[Settings]\r\r\nFs2004=C:\\FS9\n\rStatus=1\r[Area.001]\nLayer=5"},
      {"last line ends in a lone CR", "[Settings]\r\nFs2004=C:\\FS9\r\nStatus=1\r\n[Area.001]\r\nLayer=5\r"},
  };
  for (const auto& [name, text] : cases) {
    SCOPED_TRACE(name);
    ExpectReadAndWrittenAsWindowsDoes(text, AsIs);
  }
}

TEST(ProfileUtf16, FilesWithAByteOrderMarkAreReadAndWrittenBackInUtf16) {
  const std::pair<const char*, std::string> cases[] = {
      {"CR LF", "[Settings]\r\nFs2004=C:\\FS9\r\nStatus=1\r\n[Area.001]\r\nLayer=5\r\n"},
      {"lone CR, none after the last line", "[Settings]\rFs2004=C:\\FS9\rStatus=1\r[Area.001]\rLayer=5"},
  };
  for (const auto& [name, text] : cases) {
    SCOPED_TRACE(name);
    ExpectReadAndWrittenAsWindowsDoes(Utf16Le(text), AsciiOfUtf16Le);
  }
}

}  // namespace
