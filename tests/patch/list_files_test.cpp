#include <vector>

#include "patch/lists/list_files.h"
#include "patch_fixture.h"

namespace {

std::vector<std::string> Records(const std::string& file, ListLayout layout) {
  std::vector<std::string> records;
  ForEachListRecord(file, layout,
                    [&](const std::string& record, int) { records.push_back(record); });
  return records;
}

using Lines = std::vector<std::string>;

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
