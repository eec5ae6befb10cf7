#pragma once
// Which Area.001 to Area.998 sections SCENERY.CFG holds at all, with or without a Layer key. A
// section without Layer leaves its table slot empty, yet its number must not be handed out again:
// the profile reader would only ever see the first of two sections of one name.
#include <array>
#include <string>

#include "patch/context/patch_context.h"
#include "patch/engine/scenery_library.h"

extern std::array<bool, kHighestAreaNumber + 1> g_sceneryAreaSectionExists;

// "<m_strFsPath>\SCENERY.CFG".
std::string SceneryConfigPath(const PatchContext& context);

// The number N of a section name "Area.NNN" (three digits, any letter case) from 1 to 998; 0 for any
// other name.
int AreaNumberOfSection(const std::string& sectionName);
