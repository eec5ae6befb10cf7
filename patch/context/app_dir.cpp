#include "patch/context/settings.h"
#include "platform/module.h"
#include "platform/text.h"

namespace {

constexpr size_t kModuleNameBufferSize = 999;
constexpr const char* kAppPathErrorText =
    "Error obtaining application path !\n\nUnexpected results will occur.\nPlease exit now.\n";

}  // namespace

void DeriveAppDir(PatchContext& context, PatchView& view) {
  std::optional<std::string> ownName = platform::OwnFileName(kModuleNameBufferSize);
  if (!ownName) {
    view.ShowStopMessage(kAppPathErrorText, "Warning");
    context.m_strAppDir = "";
  } else {
    // Cut before the last separator; a name without one is taken whole.
    size_t cut = platform::FindLastSeparator(*ownName);
    context.m_strAppDir = cut == std::string::npos ? *ownName : ownName->substr(0, cut);
  }
  context.m_strIniFile = context.m_strAppDir + "\\" + kSettingsFileName;
}
