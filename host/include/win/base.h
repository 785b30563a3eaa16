// Kernel services the game calls: profile (INI) files and the tick count.
//
// GetPrivateProfileStringA reads as Windows does: section and key names match
// case-insensitively; lines are trimmed; a value quoted at both ends with the same
// quote loses the quotes; only whole lines starting with ';' are comments; the
// first of two equal keys wins; "key=" is a real empty value; a line without '='
// reads as the default. The result counts the characters copied; a value too long
// for the buffer is cut and NUL-terminated (size - 1). A null section or key lists
// the names instead. File names are Windows paths (see host/paths.h).
#pragma once

#include "win/types.h"

DWORD WINAPI GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue, LPSTR returnedString,
                                      DWORD size, LPCSTR fileName);
DWORD WINAPI GetTickCount(void);
void WINAPI Sleep(DWORD milliseconds);

#define GetPrivateProfileString GetPrivateProfileStringA
