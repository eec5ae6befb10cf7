#pragma once
// The program's string resources as data, for backends that have no resource file (headless).
#include <map>
#include <string>

const std::map<int, std::string>& StringResources();
