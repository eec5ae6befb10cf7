#include "patch/context/settings.h"
#include "platform/registry.h"

#include <optional>
#include <string>
#include <utility>

namespace {

constexpr const char* kFsRegistryKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0";
constexpr const char* kFsRegistryValue = "EXE Path";
constexpr size_t kRegistryBufferSize = 999;

}  // namespace

void ReadRegistryFsPath(PatchContext& context) {
  context.m_strFsPath = "";
  std::optional<std::string> value =
      platform::ReadMachineRegistryString(kFsRegistryKey, kFsRegistryValue, kRegistryBufferSize);
  if (!value) return;
  // The value is a zero-terminated text in a fixed buffer: it ends at its first zero, and one stored
  // without a terminating zero ends at the buffer's end.
  std::string text = std::move(*value);
  size_t end = text.find('\0');
  if (end == std::string::npos) end = text.size();
  if (end > kRegistryBufferSize) end = kRegistryBufferSize;
  text.resize(end);
  context.m_strFsPath = std::move(text);
}
