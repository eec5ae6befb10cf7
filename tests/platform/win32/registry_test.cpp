// Reads values that the test itself writes under HKEY_LOCAL_MACHINE in the Wine prefix, through
// the real registry calls. The values go into the 32-bit view, where the simulator's installer
// writes: a 64-bit build that does not ask for that view finds none of them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"

namespace {

// A key of its own under HKLM\SOFTWARE in the 32-bit view, removed again when the test ends.
class ScratchKey {
public:
  ScratchKey()
      : path_("SOFTWARE\\OVPatchTests\\Run" + std::to_string(GetCurrentProcessId()) + "_" +
              std::to_string(counter_++)) {
    created_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0,
                               KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key_, nullptr) == ERROR_SUCCESS;
  }
  ~ScratchKey() {
    if (created_) RegCloseKey(key_);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), KEY_WOW64_32KEY, 0);
  }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  bool created() const { return created_; }
  const std::string& path() const { return path_; }

  // Stores exactly `bytes` (no terminating zero is added).
  bool Set(const std::string& name, DWORD type, const std::string& bytes) {
    return RegSetValueExA(key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
  }

private:
  static inline int counter_ = 0;
  std::string path_;
  HKEY key_ = nullptr;
  bool created_ = false;
};

TEST(MachineRegistry, ReadsStringValuesAndReportsMissingOnes) {
  ScratchKey key;
  ASSERT_TRUE(key.created());
  ASSERT_TRUE(key.Set("EXE Path", REG_SZ, std::string("C:\\Games\\FS9\\", 13) + '\0'));
  ASSERT_TRUE(key.Set("Empty", REG_SZ, std::string(1, '\0')));

  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "EXE Path", 999), "C:\\Games\\FS9\\");
  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "exe path", 999), "C:\\Games\\FS9\\");
  // The key path matches without regard to case.
  std::string upper = key.path();
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(platform::ReadMachineRegistryString(upper, "EXE Path", 999), "C:\\Games\\FS9\\");
  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "Empty", 999), "");

  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "Missing", 999), std::nullopt);
  EXPECT_EQ(platform::ReadMachineRegistryString(key.path() + "\\Missing", "EXE Path", 999),
            std::nullopt);
}

TEST(MachineRegistry, ValuesWithoutATerminatingZeroEndWithTheirData) {
  ScratchKey key;
  ASSERT_TRUE(key.created());
  ASSERT_TRUE(key.Set("Binary", REG_BINARY, "D:\\FS9"));
  ASSERT_TRUE(key.Set("Text", REG_SZ, "E:\\FS9"));
  ASSERT_TRUE(key.Set("Full", REG_BINARY, std::string(16, 'x')));

  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "Binary", 999), "D:\\FS9");
  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "Text", 999), "E:\\FS9");
  // Data exactly as long as the buffer fits; nothing beyond it is read.
  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "Full", 16), std::string(16, 'x'));
  // A zero inside binary data ends the text.
  ASSERT_TRUE(key.Set("Split", REG_BINARY, std::string("ab\0cd", 5)));
  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "Split", 999), "ab");
}

TEST(MachineRegistry, ValuesLongerThanTheBufferAreNotRead) {
  ScratchKey key;
  ASSERT_TRUE(key.created());
  ASSERT_TRUE(key.Set("Long", REG_SZ, std::string(1200, 'p') + '\0'));
  ASSERT_TRUE(key.Set("Binary", REG_BINARY, std::string(17, 'y')));

  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "Long", 999), std::nullopt);
  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "Long", 1201), std::string(1200, 'p'));
  EXPECT_EQ(platform::ReadMachineRegistryString(key.path(), "Binary", 16), std::nullopt);
}

}  // namespace
