// Timed input for the headless game (GLOOMGRID_HOST_SCRIPT). One event per line,
// at a host time in milliseconds; '#' starts a comment:
//   <ms> move <x> <y>        mouse moved to client position x, y
//   <ms> ldown | lup | rdown | rup
//   <ms> keydown <key> | keyup <key>    key: escape, f1, space, return, or a letter
//   <ms> close | activate | deactivate | restore
//   <ms> maximize <w> <h>    client size after maximizing
//   <ms> screenshot <path>   PNG of the picture on screen now
// Events run, in file order, as soon as PeekMessageA sees their time has come.
// A line that is not one of these (a negative or malformed time, an unknown
// event, a missing or extra argument) makes the whole script invalid: the run
// would not be the one the test meant. A screenshot that cannot be written is
// reported too; both make the binary exit with 1 (see TestHooksFailed).
#pragma once

namespace host {

// Reads the script named in the settings once; false, after one line on
// standard error naming the file and line, when it cannot be read or a line is
// wrong. The binary calls it before the game starts; otherwise the first
// PeekMessageA does.
bool LoadInputScript();

void RunDueScriptEvents();
void ResetInputScript();

}  // namespace host
