// Folders typed on Linux kept as the Windows paths Wine gives them in the prefix.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "platform/typed_folder.h"
#include "support/environment.h"
#include "support/temp_folder.h"
#include "support/wine_prefix.h"

namespace {

using testsupport::HostPath;

TEST(TypedFolders, LinuxFoldersBecomeTheWindowsPathsOfTheirDrives) {
  testsupport::TempFolder tmp;
  const std::string root = HostPath(tmp.path());
  const std::string driveC = root + "/prefix/drive_c";
  for (const char* folder :
       {"prefix/drive_c/FS9", "prefix/drive_c/games/FS9", "prefix/drive_c/work",
        "prefix/drive_c/Program Files", "prefix/drive_c/OLD~1", "elsewhere", "bare/dosdevices"})
    testsupport::MakeDirs(tmp / folder);
  testsupport::MakePrefixWithRootDrive(tmp / "prefix");
  ASSERT_EQ(0, symlink("../drive_c", HostPath(tmp / "prefix/dosdevices/c:").c_str()));
  ASSERT_EQ(0,
            symlink((driveC + "/games").c_str(), HostPath(tmp / "prefix/dosdevices/d:").c_str()));
  ASSERT_EQ(0, symlink(driveC.c_str(), HostPath(tmp / "bare/dosdevices/c:").c_str()));
  ASSERT_EQ(0, symlink(driveC.c_str(), HostPath(tmp / "alias").c_str()));
  testsupport::ScopedCurrentFolder inWork(driveC + "/work");

  struct Form {
    const char* what;
    std::string typed;
    std::string kept;     // "" when refused
    std::string refusal;  // a part of the refusal
    const char* prefix = "prefix";
  };
  const std::vector<Form> forms = {
      {"absolute", driveC + "/FS9", "C:\\FS9", ""},
      {"trailing separators", driveC + "/FS9//", "C:\\FS9", ""},
      {"a drive's own folder", driveC, "C:\\", ""},
      {"relative", "FS9", "C:\\work\\FS9", ""},
      {"relative, climbing", "../FS9/./", "C:\\FS9", ""},
      {"not there yet", driveC + "/New Folder/Sub", "C:\\New Folder\\Sub", ""},
      {"through a link", root + "/alias/FS9", "C:\\FS9", ""},
      {"the closest drive", driveC + "/games/FS9", "D:\\FS9", ""},
      {"only the root drive", root + "/elsewhere", testsupport::OnRootDrive(root + "/elsewhere"),
       ""},
      {"outside every drive", root + "/elsewhere", "", "no drive of the Wine prefix", "bare"},
      {"Windows path", "c:/Program Files\\FS9\\", "c:\\Program Files\\FS9", ""},
      {"Windows drive root", "C:\\", "C:\\", ""},
      {"short name", "C:\\PROGRA~1\\FS9", "", "give the folder's long name (\"Program Files\")"},
      {"Linux short name", driveC + "/PROGRA~1.X", "",
       "\"PROGRA~1.X\" has the form of a short name"},
      {"a real name of that form", driveC + "/old~1", "C:\\old~1", ""},
      {"line break", "C:\\prod\nX", "", "a line break"},
      {"tab", driveC + "/a\tb", "", "a control character"},
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(form.what);
    testsupport::ScopedEnvironmentVariable prefix("WINEPREFIX", root + "/" + form.prefix);
    const platform::KeptFolder kept = platform::WindowsFolderPath(form.typed);
    EXPECT_EQ(form.kept, kept.path);
    if (form.refusal.empty())
      EXPECT_EQ("", kept.refusal);
    else
      EXPECT_NE(std::string::npos, kept.refusal.find(form.refusal)) << kept.refusal;
  }
  // In code page 932 the trail byte of "\x95\x5C" is a backslash that ends no folder name.
  testsupport::ScopedEnvironmentVariable codePage("OVPATCH_CODEPAGE", "932");
  EXPECT_EQ("C:\\\x95\x5C", platform::WindowsFolderPath("C:/\x95\x5C").path);
}

}  // namespace
