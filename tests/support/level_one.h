// Level 1 solved by clicks: the input script a headless run plays to finish a level and enter the hall of fame.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// Script lines that click "newgame" and then slide level 1's deal for GLOOMGRID_HOST_SEED=seed into its picture by
// the board's own rules, the shortest way. *lastClickMs is when the last click ends. Empty when the deal or a
// solution cannot be found.
std::string LevelOneScript(unsigned seed, int32_t* lastClickMs);

}  // namespace testing_support
