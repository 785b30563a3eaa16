// File moves and deletions the game calls, with Windows file names (see
// host/paths.h). MoveFileExA fails when the target exists unless
// MOVEFILE_REPLACE_EXISTING is given, and then replaces it in one step;
// MOVEFILE_WRITE_THROUGH returns only once the move is on the disk. Both return
// nonzero on success and FALSE on failure.
#pragma once

#include "win/types.h"

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_COPY_ALLOWED 0x00000002
#define MOVEFILE_WRITE_THROUGH 0x00000008

BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
BOOL WINAPI DeleteFileA(LPCSTR fileName);

#define MoveFileEx MoveFileExA
#define DeleteFile DeleteFileA
