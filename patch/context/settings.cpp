#include "patch/context/settings.h"

#include <climits>
#include <cstdint>

#include "platform/profile.h"

namespace {

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The decimal value as atoi reads it: leading white space, an optional sign, the digits up to the
// first non-digit; 0 without digits. Values beyond the 32-bit range are held at its ends instead
// of overflowing.
int32_t DecimalValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsAsciiSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<int32_t>(value);
}

}  // namespace

void LoadSettings(PatchContext& context) {
  std::string fsPath = platform::ReadProfileString(kSettingsSection, kSettingsFsPathKey, kProfileMissing,
                                                   kProfileBufferSize, context.m_strIniFile);
  // Even an empty value replaces the registry's folder.
  if (fsPath != kProfileMissing) context.m_strFsPath = fsPath;

  std::string status = platform::ReadProfileString(kSettingsSection, kSettingsStatusKey, kProfileMissing,
                                                   kProfileBufferSize, context.m_strIniFile);
  if (status != kProfileMissing) {
    context.m_nPatchStatus = DecimalValue(status);
  } else {
    platform::WriteProfileValue(kSettingsSection, kSettingsStatusKey, "0", context.m_strIniFile);
    context.m_nPatchStatus = 0;
  }
}
