#pragma once
// The two forms of an FS2004 scenery file: NAME.BGL (active) and NAME.XXX (disabled).
#include <optional>
#include <string>

// "folder\name.extension".
std::string ScenerySubPath(const std::string& folder, const std::string& name,
                           const std::string& extension);

// The form the FS2004 file `name` under `fsPath` has now: "XXX" when the disabled form exists (also
// when both do), otherwise "BGL" when the active form exists, nullopt when neither does.
std::optional<std::string> CurrentSceneryForm(const std::string& fsPath, const std::string& name);
