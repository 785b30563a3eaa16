// Windows file names on a Linux file system.
//
// The game names its files the Windows way ("sounds\click.wav", ".\setup.ini",
// "..\options.ini") and Windows finds them whatever the case of the letters on
// disk. Every host service that takes a file name from the game (profile files,
// fopen, ShellExecuteA) passes it through MapWindowsPath first.
#pragma once

#include <string>

namespace host {

// Turns a Windows path into a Linux one, relative to the current directory
// unless it was rooted. Backslashes become slashes and runs of separators
// collapse to one. Each component that does not exist with its exact spelling
// is matched case-insensitively (ASCII) against its directory's entries; from
// the first component that matches nothing on, the rest is kept as written, so
// that a file about to be created gets the name the game gave it.
// A drive letter ("C:\games\x.ini") is dropped and the rest taken from the root.
// FIXME: there is only one drive; "C:x.ini" (drive-relative) reads as "x.ini".
// A null path gives an empty string. A Linux path that exists is returned as is.
std::string MapWindowsPath(const char* windowsPath);

}  // namespace host
