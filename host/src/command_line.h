// The command line WinMain receives, rebuilt from the arguments Linux hands to
// main().
//
// On Windows, lpCmdLine is the raw text after the program name, exactly as the
// starting program wrote it; nothing is quoted or unquoted on the way. The game
// takes it whole as its launcher's directory, which its launcher passes as it
// stands: "C:\Program Files\Orvane Launcher", blanks and all, no quotes (quotes
// would end up in the directory name and make it unusable). On Linux a shell or
// a launcher has already split that text into arguments, so we join them with
// single blanks and add no quotes: `gloomgrid "/opt/Orvane Launcher"` and
// `gloomgrid /opt/Orvane Launcher` both give "/opt/Orvane Launcher". Where the
// host differs from Windows: runs of blanks between arguments become one, and
// quotes the shell removed are not brought back.
#pragma once

#include <string>

namespace host {

std::string WindowsCommandLine(int argc, const char* const* argv);

}  // namespace host
