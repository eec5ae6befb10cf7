#include <vector>

#include "patch/lists/list_files.h"
#include "patch/lists/list_lint.h"
#include "patch_fixture.h"
#include "support/list_lines.h"

namespace {

std::vector<std::string> Records(const std::string& file, ListLayout layout) {
  std::vector<std::string> records;
  ForEachListRecord(platform::HostDisk(), file, layout,
                    [&](const std::string& record, int) { records.push_back(record); });
  return records;
}

using Lines = std::vector<std::string>;

Lines LintLines() {
  Lines lines;
  for (const ListRemark& remark : LintListFiles()) lines.push_back(ListRemarkLine(remark));
  return lines;
}

}  // namespace

using ListFilesTest = PatchFixture;

TEST_F(ListFilesTest, ColumnFilesStopAtEmptyOrBlankLine) {
  EXPECT_EQ(Records("REN.OV", ListLayout::Column), Lines{});  // missing file
  Write("REM.OV", "\r\nA\r\n");
  EXPECT_EQ(Records("REM.OV", ListLayout::Column), Lines{});
  Write("REM.OV", " A\r\nB\r\n");
  EXPECT_EQ(Records("REM.OV", ListLayout::Column), Lines{});
  Write("REM.OV", "A\r\n\tB\r\n\r\nC\r\n");  // a tab is a record; the empty line ends the list
  EXPECT_EQ(Records("REM.OV", ListLayout::Column), (Lines{"A\n", "\tB\n"}));
  Write("REM.OV", "A\r\nB");  // last line without a line break; 0x1A ends the text
  EXPECT_EQ(Records("REM.OV", ListLayout::Column), (Lines{"A\n", "B"}));
  Write("REM.OV", "A\r\n\x1A" "B\r\n");
  EXPECT_EQ(Records("REM.OV", ListLayout::Column), (Lines{"A\n"}));
}

TEST_F(ListFilesTest, LongLinesArriveInPiecesOf510) {
  const std::string exact(510, 'x');
  Write("BAK.OV", exact + "\r\nB\r\n");  // the second read holds only the line break: end of list
  EXPECT_EQ(Records("BAK.OV", ListLayout::Column), (Lines{exact}));
  Write("BAK.OV", std::string(600, 'y') + "\r\n");
  EXPECT_EQ(Records("BAK.OV", ListLayout::Column), (Lines{std::string(510, 'y'), std::string(90, 'y') + "\n"}));
}

TEST_F(ListFilesTest, WordLayoutTakesTextBeforeFirstSpace) {
  Write("CREATE.OV", "Scenery\\New remark here\r\nAddon\r\n remark\r\nLater\r\n");
  EXPECT_EQ(Records("CREATE.OV", ListLayout::Word), (Lines{"Scenery\\New", "Addon"}));
}

TEST_F(ListFilesTest, ColumnsAreCutAt79CharactersAndTrimmedOnTheRight) {
  std::string line = "Scenery\\A B.BGL";
  line.resize(80, ' ');
  line += "  lead";
  line.resize(160, ' ');
  line += "dest\t  \n";
  EXPECT_EQ(ExtractColumn(line, 0), "Scenery\\A B.BGL");
  EXPECT_EQ(ExtractColumn(line, 80), "  lead");
  EXPECT_EQ(ExtractColumn(line, 160), "dest\t");

  // The 80th character belongs to no value; what follows is column 80.
  const std::string longValue = std::string(79, 'a') + "b" + "cd\n";
  EXPECT_EQ(ExtractColumn(longValue, 0), std::string(79, 'a'));
  EXPECT_EQ(ExtractColumn(longValue, 80), "cd");

  // A column that starts after the end of its line is empty.
  EXPECT_EQ(ExtractColumn("short\n", 80), "");
  EXPECT_EQ(ExtractColumn(std::string(80, 'a') + "\n", 160), "");
  EXPECT_EQ(ExtractColumn(std::string(80, 'a'), 80), "");
}

TEST_F(ListFilesTest, PathPrefixSelectsProductFolder) {
  context.m_strFsPath = "C:\\FS9";
  context.m_strProductPath = "D:\\Addon\\";
  EXPECT_EQ(ResolvePatchPath(context, "PATH\\Tex\\a.bmp"), "D:\\Addon\\Tex\\a.bmp");
  EXPECT_EQ(ResolvePatchPath(context, "PATH/x.bgl"), "D:\\Addon\\x.bgl");  // fifth character dropped
  EXPECT_EQ(ResolvePatchPath(context, "path\\x.bgl"), "C:\\FS9\\path\\x.bgl");
  EXPECT_EQ(ResolvePatchPath(context, "PAT"), "C:\\FS9\\PAT");
  EXPECT_EQ(ResolvePatchPath(context, "PATH"), "D:\\Addon\\");  // the product folder itself
  EXPECT_EQ(ResolvePatchPath(context, "Scenery\\w.bgl"), "C:\\FS9\\Scenery\\w.bgl");
}

TEST_F(ListFilesTest, EachColumnIsReadRelativeToItsFolder) {
  using testsupport::ColumnLine;
  context.m_strFsPath = "C:\\FS9";
  context.m_strProductPath = "D:\\Addon\\";
  context.m_strAppDir = "E:\\Patch";
  Write("CREATE.OV", "Scenery\\New remark\r\n");
  Write("REN.OV", ColumnLine({"PATH\\a.dll", "..\\b.dll"}) + "\r\n");
  Write("REM.OV", ColumnLine({"Scenery\\R"}) + "\r\n");
  Write("BAK.OV", ColumnLine({"Scenery\\B", "B_ORIG"}) + "\r\n");
  Write("INST.OV", ColumnLine({"Scenery\\D", "REPL", "Scenery\\N"}) + "\r\n");
  const PatchLists lists = ReadPatchLists(context, platform::HostDisk());
  const struct {
    const std::vector<ListRecord>& records;
    Lines paths;  // each name's path, "!" before one that leaves its folder
  } cases[] = {
      {lists.create, {"C:\\FS9\\Scenery\\New"}},
      {lists.rename, {"D:\\Addon\\a.dll", "!C:\\FS9\\..\\b.dll"}},
      {lists.remove, {"C:\\FS9\\Scenery\\R"}},
      {lists.backup, {"C:\\FS9\\Scenery\\B", "E:\\Patch\\B_ORIG"}},
      {lists.install, {"C:\\FS9\\Scenery\\D", "E:\\Patch\\REPL", "C:\\FS9\\Scenery\\N"}},
  };
  for (const auto& [records, paths] : cases) {
    ASSERT_EQ(records.size(), 1u);
    Lines read;
    for (const ListName& name : records[0].names)
      read.push_back((name.inside ? "" : "!") + name.path);
    EXPECT_EQ(read, paths) << records[0].listFile;
  }
}

TEST_F(ListFilesTest, LintNamesTheLinesThatAreReadOtherwiseThanTheyLook) {
  Write("INST.OV", "A" + std::string(79, ' ') + "  SHIFTED" + std::string(71, ' ') + "T\r\n" +  // 1
                       "A\tB" + std::string(77, ' ') + "R" + std::string(79, ' ') + "T" +
                       std::string(79, ' ') + "extra\r\n" +    // 2
                       "A" + std::string(79, ' ') + "R\r\n" +  // 3
                       std::string(510, 'L') + "\r\n" +        // 4
                       "NEVER\r\n");                           // 5
  Write("REN.OV", std::string(600, 'X') + "\r\n");
  Write("REM.OV", "A\r\n\r\nB\r\n");

  std::vector<std::string> lines;
  for (const ListRemark& remark : LintListFiles()) lines.push_back(ListRemarkLine(remark));
  EXPECT_EQ(
      lines,
      (Lines{"REN.OV line 1: 600 characters long: it is read as several records of at most "
             "510 characters",
             "REN.OV line 1: text at position 79, the gap before the column at 80: the value "
             "before it is too long or shifted",
             "REN.OV line 1: text after position 158, past the last column, is ignored",
             "REM.OV line 3: never read: the list ends at line 2 (an empty line or one that "
             "begins with a space)",
             "INST.OV line 1: the value of the column at position 80 starts at position 82: "
             "its leading spaces become part of the name",
             "INST.OV line 2: a tab character at position 1",
             "INST.OV line 2: text after position 238, past the last column, is ignored",
             "INST.OV line 3: no value in the column at position 160",
             "INST.OV line 4: text at position 79, the gap before the column at 80: the value "
             "before it is too long or shifted",
             "INST.OV line 4: text at position 159, the gap before the column at 160: the "
             "value before it is too long or shifted",
             "INST.OV line 4: text after position 238, past the last column, is ignored",
             "INST.OV line 4: the list ends inside this line: a read of 510 characters stops "
             "before a space or the line break",
             "INST.OV line 5: never read: the list ends at line 4"}));
}

// The checks read each list as the install does: after the byte-order mark, with a NUL byte
// cutting the text, and ending where the reader ends.
TEST_F(ListFilesTest, LintReadsEachListAsTheInstallReadsIt) {
  using testsupport::ColumnLine;
  const std::string mark = "\xEF\xBB\xBF";
  const std::string nul(1, '\0');

  // Well-formed lists saved with a mark: nothing to remark.
  Write("CREATE.OV", mark + "Scenery\\New remark\r\n");
  Write("REN.OV", mark + ColumnLine({"Scenery\\A.BGL", "Scenery\\A.OFF"}) + "\r\n");
  Write("REM.OV", mark + "OLD\r\n");
  Write("BAK.OV", mark + ColumnLine({"SCEN1", "BAK1"}) + "\r\n");
  Write("INST.OV", mark + ColumnLine({"SCEN1", "NEW1", "SCEN1"}) + "\r\n");
  EXPECT_EQ(LintLines(), Lines{});
  EXPECT_EQ(Records("BAK.OV", ListLayout::Column), Lines{ColumnLine({"SCEN1", "BAK1"}) + "\n"});

  // A first line that is only a mark is an empty line: the list ends there.
  Write("CREATE.OV", mark + "\r\n\tA\r\n");
  Write("REN.OV", mark + "\r\n\tA\r\n");
  // A NUL byte ends a word, so a NUL-led CREATE.OV line ends that list; in a column list the line
  // is a record whose values are cut at the NUL.
  Write("REM.OV", "A\r\n" + nul + nul + "\r\n\x0B\r\n\r\nB\r\n");
  Write("BAK.OV", mark + ColumnLine({"SCEN1", "BAK" + nul + "1"}) + "\r\n");
  Write("INST.OV", mark + ColumnLine({"SCEN1", "NEW1", "SCEN1"}) + "\r\n" + nul + "X\r\n");
  EXPECT_EQ(Records("CREATE.OV", ListLayout::Word), Lines{});
  EXPECT_EQ(Records("REN.OV", ListLayout::Column), Lines{});
  EXPECT_EQ(Records("REM.OV", ListLayout::Column), (Lines{"A\n", nul + nul + "\n", "\x0B\n"}));
  EXPECT_EQ(LintLines(),
            (Lines{"CREATE.OV line 2: never read: the list ends at line 1 (an empty line or one "
                   "that begins with a space or a NUL byte)",
                   "REN.OV line 2: never read: the list ends at line 1 (an empty line or one that "
                   "begins with a space)",
                   "REM.OV line 2: a NUL byte at position 0: the text ends there",
                   "REM.OV line 2: no value in the column at position 0",
                   "REM.OV line 5: never read: the list ends at line 4 (an empty line or one that "
                   "begins with a space)",
                   "BAK.OV line 1: a NUL byte at position 83: the text ends there",
                   "INST.OV line 2: a NUL byte at position 0: the text ends there",
                   "INST.OV line 2: no value in the column at position 0",
                   "INST.OV line 2: no value in the column at position 80",
                   "INST.OV line 2: no value in the column at position 160"}));

  Write("CREATE.OV", nul + nul + "\r\n\x0B\r\n");
  Write("REM.OV", mark);  // nothing but the mark
  Write("INST.OV", mark + ColumnLine({"SCEN1", "NEW1", "SCEN1"}) + "\r\n \r\nLATER\r\n");
  EXPECT_EQ(Records("CREATE.OV", ListLayout::Word), Lines{});
  EXPECT_EQ(LintLines(),
            (Lines{"CREATE.OV line 2: never read: the list ends at line 1 (an empty line or one "
                   "that begins with a space or a NUL byte)",
                   "REN.OV line 2: never read: the list ends at line 1 (an empty line or one that "
                   "begins with a space)",
                   "BAK.OV line 1: a NUL byte at position 83: the text ends there",
                   "INST.OV line 3: never read: the list ends at line 2 (an empty line or one that "
                   "begins with a space)"}));
}
