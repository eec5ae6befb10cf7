#include "patch/engine/scenery_file_form.h"

#include "platform/files.h"

std::string ScenerySubPath(const std::string& folder, const std::string& name,
                           const std::string& extension) {
  return folder + "\\" + name + "." + extension;
}

std::optional<std::string> CurrentSceneryForm(const std::string& fsPath, const std::string& name) {
  if (platform::PathExists(ScenerySubPath(fsPath, name, "XXX"))) return "XXX";
  if (platform::PathExists(ScenerySubPath(fsPath, name, "BGL"))) return "BGL";
  return std::nullopt;
}
