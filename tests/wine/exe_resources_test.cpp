// The resources built into OVPatch.exe against the template data the other backends use: the two
// dialog templates control by control, the About string, the icon images, the version record and
// the manifest.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/dialog_templates.h"
#include "ui/framework/win32/memory_template.h"
#include "ui/res/resource.h"
#include "ui/string_resources.h"

namespace {

// Reads an extended dialog template one field at a time.
class TemplateReader {
public:
  TemplateReader(const uint16_t* words, size_t count) : words_(words), count_(count) {}
  uint16_t Word() { return at_ < count_ ? words_[at_++] : 0; }
  uint32_t DWord() {
    const uint32_t low = Word();
    return low | (static_cast<uint32_t>(Word()) << 16);
  }
  std::string Text() {
    std::string text;
    for (uint16_t c = Word(); c != 0; c = Word()) text += c < 0x80 ? static_cast<char>(c) : '?';
    return text;
  }
  // A class or title field: an ordinal (0xFFFF, value) or a string.
  std::string NameOrOrdinal() {
    if (at_ < count_ && words_[at_] == 0xFFFF) {
      Word();
      return "#" + std::to_string(Word());
    }
    return "\"" + Text() + "\"";
  }
  void AlignToDWord() {
    if (at_ % 2 != 0) ++at_;
  }
  bool AtEnd() const { return at_ >= count_; }

private:
  const uint16_t* words_;
  size_t count_;
  size_t at_ = 0;
};

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

// A predefined class named in full reads as its atom: the dialog manager treats them alike.
std::string PredefinedClass(const std::string& name) {
  std::string upper;
  for (char c : name) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  if (upper == "\"BUTTON\"") return "#128";
  if (upper == "\"EDIT\"") return "#129";
  if (upper == "\"STATIC\"") return "#130";
  return name;
}

// One readable line for the dialog and one per control, so that a difference names its field.
std::vector<std::string> Describe(const uint16_t* words, size_t count) {
  TemplateReader in(words, count);
  std::vector<std::string> lines;
  const uint16_t version = in.Word(), signature = in.Word();
  in.DWord();  // help id
  const uint32_t exStyle = in.DWord(), style = in.DWord();
  const uint16_t items = in.Word();
  const int x = static_cast<int16_t>(in.Word()), y = static_cast<int16_t>(in.Word());
  const int cx = in.Word(), cy = in.Word();
  const std::string menu = in.NameOrOrdinal(), windowClass = in.NameOrOrdinal(), title = in.Text();
  const int points = in.Word(), weight = in.Word();
  const uint16_t italicCharset = in.Word();
  const std::string font = in.Text();
  lines.push_back("dialog v" + std::to_string(version) + " sig " + Hex(signature) + " style " + Hex(style) +
                  " ex " + Hex(exStyle) + " at " + std::to_string(x) + "," + std::to_string(y) + " size " +
                  std::to_string(cx) + "x" + std::to_string(cy) + " menu " + menu + " class " + windowClass +
                  " title \"" + title + "\" font " + std::to_string(points) + " \"" + font + "\" weight " +
                  std::to_string(weight) + " italic/charset " + Hex(italicCharset));
  for (int i = 0; i < items && !in.AtEnd(); ++i) {
    in.AlignToDWord();
    in.DWord();  // help id
    const uint32_t cExStyle = in.DWord(), cStyle = in.DWord();
    const int px = static_cast<int16_t>(in.Word()), py = static_cast<int16_t>(in.Word());
    const int w = in.Word(), h = in.Word();
    const int id = static_cast<int32_t>(in.DWord());
    const std::string cls = PredefinedClass(in.NameOrOrdinal()), text = in.NameOrOrdinal();
    const uint16_t extra = in.Word();
    lines.push_back("control " + std::to_string(id) + " class " + cls + " text " + text + " style " +
                    Hex(cStyle) + " ex " + Hex(cExStyle) + " at " + std::to_string(px) + "," +
                    std::to_string(py) + " size " + std::to_string(w) + "x" + std::to_string(h) +
                    " extra " + std::to_string(extra));
  }
  return lines;
}

class ExeResourcesTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char* exe = std::getenv("OVPATCH_EXE");
    ASSERT_NE(exe, nullptr) << "OVPATCH_EXE names the program under test";
    exe_ = exe;
    module_ = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  // The bytes of resource `id` of `type`; empty when missing.
  std::string Resource(int id, LPCSTR type) const {
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
    if (!found) return "";
    const void* data = LockResource(LoadResource(module_, found));
    return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
  }
  std::vector<std::string> ResourceTemplate(int id) const {
    const std::string bytes = Resource(id, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    return Describe(reinterpret_cast<const uint16_t*>(bytes.data()), bytes.size() / 2);
  }
  static std::vector<std::string> DataTemplate(const DialogTemplate& t) {
    const std::vector<uint16_t> words = BuildDialogTemplate(t);
    return Describe(words.data(), words.size());
  }

  std::string exe_;
  HMODULE module_ = nullptr;
};

TEST_F(ExeResourcesTest, DialogTemplatesMatchTheTemplateData) {
  const std::vector<std::string> main = ResourceTemplate(IDD_OVPATCH_DIALOG);
  ASSERT_EQ(main.size(), 13u);
  EXPECT_EQ(main, DataTemplate(MainDialogTemplate()));
  const std::vector<std::string> about = ResourceTemplate(IDD_ABOUTBOX);
  ASSERT_EQ(about.size(), 5u);
  EXPECT_EQ(about, DataTemplate(AboutDialogTemplate()));
  // Spot checks against the Windows constants themselves, not only against the data.
  EXPECT_NE(main[0].find("style " + Hex(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT)),
            std::string::npos) << main[0];
  EXPECT_NE(main[0].find("ex " + Hex(WS_EX_APPWINDOW)), std::string::npos) << main[0];
  EXPECT_NE(main[0].find("font 8 \"MS Sans Serif\""), std::string::npos) << main[0];
  EXPECT_NE(main[1].find("style " + Hex(WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_DEFPUSHBUTTON)), std::string::npos)
      << main[1];
  EXPECT_NE(main[8].find("style " + Hex(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_LEFTTEXT)),
            std::string::npos) << main[8];
}

TEST_F(ExeResourcesTest, StringIconVersionAndManifest) {
  char text[256] = {};
  ASSERT_GT(LoadStringA(module_, IDS_ABOUTBOX, text, sizeof text), 0);
  EXPECT_EQ(std::string(text), StringResources().at(IDS_ABOUTBOX));
  EXPECT_EQ(std::string(text), "&About OVPatch...");

  // Icon 128: a 32x32 and a 16x16 image with 16 colours (4 bits per pixel).
  const std::string group = Resource(IDR_MAINFRAME, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
  ASSERT_GE(group.size(), 6u + 2 * 14u);
  const auto* bytes = reinterpret_cast<const unsigned char*>(group.data());
  ASSERT_EQ(bytes[4] | (bytes[5] << 8), 2);
  for (int i = 0; i < 2; ++i) {
    const unsigned char* entry = bytes + 6 + 14 * i;
    const int size = i == 0 ? 32 : 16;
    EXPECT_EQ(entry[0], size);
    EXPECT_EQ(entry[1], size);
    EXPECT_EQ(entry[2], 16);                    // colours
    EXPECT_EQ(entry[6] | (entry[7] << 8), 4);   // bits per pixel
  }

  // Version record 1.0.0.1, U.S. English, Unicode code page.
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(exe_.c_str(), &ignored));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoA(exe_.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  auto value = [&](const char* name) {
    char* found = nullptr;
    UINT size = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    return VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&found), &size) && found
               ? std::string(found)
               : std::string("<missing>");
  };
  EXPECT_EQ(value("FileVersion"), "1, 0, 0, 1");
  EXPECT_EQ(value("ProductVersion"), "1, 0, 0, 1");
  EXPECT_EQ(value("InternalName"), "OVPatch");
  EXPECT_EQ(value("OriginalFilename"), "OVPatch.EXE");
  EXPECT_EQ(value("ProductName"), "OVPatch Application");

  // One manifest: administrator rights asked for outright, common controls 6, system DPI aware.
  const std::string manifest = Resource(1, MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
  EXPECT_EQ(Resource(2, MAKEINTRESOURCEA(24)), "");
}

}  // namespace
