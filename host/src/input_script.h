// Timed input for the headless game (GLOOMGRID_HOST_SCRIPT). One event per line,
// at a host time in milliseconds; '#' starts a comment:
//   <ms> move <x> <y>        mouse moved to client position x, y
//   <ms> ldown | lup | rdown | rup
//   <ms> keydown <key> | keyup <key>    key: escape, f1, space, return, or a letter
//   <ms> close | activate | deactivate | restore
//   <ms> maximize <w> <h>    client size after maximizing
//   <ms> screenshot <path>   PNG of the picture on screen now
// Events run, in file order, as soon as PeekMessageA sees their time has come.
#pragma once

namespace host {

void RunDueScriptEvents();
void ResetInputScript();

}  // namespace host
