// ShellExecuteA with the "open" verb: starts the program at the (Windows) path
// with the parameters and working directory given, and does not wait for it.
// Returns a value above 32 on success, as Windows does.
#pragma once

#include "windows.h"

HINSTANCE WINAPI ShellExecuteA(HWND hWnd, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               int showCmd);
#define ShellExecute ShellExecuteA
