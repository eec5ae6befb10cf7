#include "patch/product/product_locator.h"
#include "patch_fixture.h"
#include "platform/files.h"
#include "platform/stream_io.h"

using testsupport::ShownMessage;
using Messages = std::vector<ShownMessage>;

namespace {

const ShownMessage kMissingData{
    "Critical patch data files are missing.\nPlease exit and reinstall the patch before continuing.", "Critical Error"};

ShownMessage NotFound(const std::string& title) {
  return {title + " product not found in expected paths.\nPatch cannot be applied.\n"
                  "You can try locating the product to be patched manually.",
          "Warning"};
}

class ProductTest : public PatchFixture {
protected:
  ProductTest() {
    g_productSearchList.entries.clear();
    context.m_strFsPath = dir / "FS9";
    testsupport::MakeDirs(dir / "FS9");
  }
  ~ProductTest() override { g_productSearchList.entries.clear(); }
};

}  // namespace

TEST_F(ProductTest, SearchListKeepsEveryLineTrimmedOnTheRight) {
  g_productSearchList.entries = {"kept"};
  EXPECT_EQ(LoadProductSearchList(context, view), -1);
  EXPECT_EQ(view.messages, Messages{kMissingData});
  EXPECT_EQ(g_productSearchList.entries, std::vector<std::string>{"kept"});

  std::string file = "  Addon\\A \t\r\n\r\n" + std::string(300, 'L') + "\r\n" + std::string(253, 'M') + "\r\n";
  for (int i = 0; i < 100; ++i) file.append("E").append(std::to_string(i)).append("\r\n");
  Write("PATH.OV", file);
  EXPECT_EQ(LoadProductSearchList(context, view), 0);
  EXPECT_FALSE(view.checkboxEnabled);
  const std::vector<std::string> head = {"  Addon\\A", "", std::string(253, 'L'), std::string(47, 'L'),
                                         std::string(253, 'M'), ""};  // read 253 characters at a time
  const auto& entries = g_productSearchList.entries;
  ASSERT_EQ(entries.size(), 106u);  // no cap at 64 entries
  EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 6), head);
  EXPECT_EQ(entries[105], "E99");
}

TEST_F(ProductTest, RememberedFolderNeedsItsCheckFile) {
  EXPECT_EQ(LocateProduct(context, view), -1);
  EXPECT_EQ(view.messages, Messages{kMissingData});

  testsupport::MakeDirs(dir / "Addon");
  Write("TITLE.OV", "My Addon \r\nADDON.EXE\r\n" + dir.path() + "\\Addon\\\r\nignored\r\n");
  EXPECT_EQ(LocateProduct(context, view), -1);
  EXPECT_EQ(view.messages.back(), NotFound("My Addon "));
  EXPECT_FALSE(view.checkboxEnabled);
  EXPECT_EQ(context.m_strProductPath, dir / "Addon\\");

  Write("Addon/ADDON.EXE", "");
  EXPECT_EQ(LocateProduct(context, view), 0);
  EXPECT_TRUE(view.checkboxEnabled);
  EXPECT_EQ(view.messages.size(), 2u);
}

TEST_F(ProductTest, SearchTakesFirstExistingFolderAndRemembersIt) {
  g_productSearchList.entries = {"A", "B"};
  testsupport::MakeDirs(dir / "FS9/B");
  Write("TITLE.OV", "Title\r\nCHECK.DAT\r\nNONE\r\n");
  EXPECT_EQ(LocateProduct(context, view), 0);
  EXPECT_TRUE(view.checkboxEnabled);
  const std::string found = dir / "FS9\\B\\";
  EXPECT_EQ(context.m_strProductPath, found);
  EXPECT_EQ(Read("TITLE.OV"), "Title\r\nCHECK.DAT\r\n" + found + "\r\n");

  // Next time the remembered folder must hold the check file.
  EXPECT_EQ(LocateProduct(context, view), -1);
  EXPECT_EQ(view.messages, Messages{NotFound("Title")});

  // Only four capitals start the search; an empty entry names the FS2004 folder itself.
  g_productSearchList.entries = {""};
  for (std::string line3 : {"none", "NON"}) {
    Write("TITLE.OV", "T\r\nC\r\n" + line3 + "\r\n");
    EXPECT_EQ(LocateProduct(context, view), -1) << line3;
  }
  Write("TITLE.OV", "T\r\nC\r\nNONE yet\r\n");
  EXPECT_EQ(LocateProduct(context, view), 0);
  EXPECT_EQ(context.m_strProductFolder, context.m_strFsPath + "\\\\");
}

TEST_F(ProductTest, ShortTitleFileSearchesInsteadOfTakingDriveRoot) {
  for (std::string file : {"", "Title\r\n", "Title\r\nCHECK.DAT\r\n"}) {
    context.m_strProductPath = "unchanged";
    Write("TITLE.OV", file);
    EXPECT_EQ(LocateProduct(context, view), -1);  // the search list is empty
    EXPECT_EQ(context.m_strProductFolder, "NONE");
    EXPECT_EQ(context.m_strProductPath, "unchanged");
  }
  EXPECT_EQ(context.m_strProductCheckFile, "CHECK.DAT");

  // A line is read as long as the longest path and its line feed; the rest goes on as line 2.
  const size_t longest = platform::LongestPathLength();
  Write("TITLE.OV", std::string(longest + 8, 't') + "\r\nC\r\nNONE\r\n");
  LocateProduct(context, view);
  EXPECT_EQ(context.m_strProductTitle, std::string(longest + 1, 't'));
  EXPECT_EQ(context.m_strProductCheckFile, std::string(7, 't'));
  EXPECT_EQ(context.m_strProductFolder, "C");
}

TEST_F(ProductTest, FailedTitleFileWriteKeepsOldFileAndWarns) {
  context.m_strProductTitle = "T";
  context.m_strProductFolder = "X\\";
  EXPECT_EQ(SaveProductTitleFile(context, view), 0);
  EXPECT_EQ(Read("TITLE.OV"), "T\r\n\r\nX\\\r\n");
  EXPECT_FALSE(view.checkboxEnabled);

  context.m_strProductFolder = "Y\\";
  platform::InjectStreamFault(platform::StreamFault::Write);
  SaveProductTitleFile(context, view);
  platform::ClearStreamFaults();
  testsupport::MakeReadOnly(dir / "TITLE.OV");
  SaveProductTitleFile(context, view);
  EXPECT_EQ(Read("TITLE.OV"), "T\r\n\r\nX\\\r\n");
  EXPECT_FALSE(testsupport::FileExists(dir / "TITLE.OV.tmp"));
  ASSERT_EQ(view.messages.size(), 2u);
  for (const auto& message : view.messages) {
    EXPECT_EQ(message.caption, "Warning");
    EXPECT_NE(message.text.find("TITLE.OV"), std::string::npos);
  }
}

TEST_F(ProductTest, ManualChoiceIsRememberedAndTested) {
  Write("TITLE.OV", "Title\r\nCHECK.DAT\r\nNONE\r\n");
  view.folderAnswers = {std::nullopt, std::string(""), dir / "Pick"};
  ChangeProductPath(context, view);  // cancelled
  ChangeProductPath(context, view);  // no file-system path: as cancelled
  EXPECT_EQ(Read("TITLE.OV"), "Title\r\nCHECK.DAT\r\nNONE\r\n");
  EXPECT_EQ(view.pickerTitles[0], "Select  Folder Location");

  // Start-up never read TITLE.OV: its title and check file survive the rewrite.
  testsupport::MakeDirs(dir / "Pick");
  ChangeProductPath(context, view);
  EXPECT_EQ(Read("TITLE.OV"), "Title\r\nCHECK.DAT\r\n" + dir.path() + "\\Pick\\\r\n");
  EXPECT_EQ(view.messages, Messages{NotFound("Title")});
  EXPECT_FALSE(view.checkboxEnabled);
  EXPECT_EQ(view.refreshCount, 0);

  Write("Pick/CHECK.DAT", "");
  context.m_nPatchStatus = 1;
  view.folderAnswers = {dir / "Pick"};
  ChangeProductPath(context, view);
  EXPECT_EQ(view.pickerTitles.back(), "Select Title Folder Location");
  EXPECT_TRUE(view.checkboxEnabled);
  EXPECT_EQ(view.controls.applyPatch, 1);
  EXPECT_EQ(view.controls.productPath, dir / "Pick\\");

  context.m_strProductTitle = std::string(1000, 'T');  // any length fits the picker title
  ChangeProductPath(context, view);
  EXPECT_EQ(view.pickerTitles.back(), "Select " + context.m_strProductTitle + " Folder Location");
}

TEST_F(ProductTest, ManualChoiceWithoutTitleFileCreatesIt) {
  testsupport::MakeDirs(dir / "Pick");
  view.folderAnswers = {dir / "Pick"};
  ChangeProductPath(context, view);
  EXPECT_EQ(Read("TITLE.OV"), "\r\n\r\n" + dir.path() + "\\Pick\\\r\n");
  EXPECT_TRUE(view.checkboxEnabled);  // the folder alone is tested
}
