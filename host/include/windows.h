// The Linux stand-in for <windows.h>: only what the game calls.
#pragma once

#include "win/types.h"
#include "win/base.h"
#include "win/files.h"
#include "win/gdi.h"
#include "win/user.h"

// The game's entry point, called by the host's main() with the command line
// joined as Windows passes it (program name removed, arguments separated by one
// space, arguments containing blanks quoted).
int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR cmdLine, int cmdShow);
