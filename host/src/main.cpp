// The host's entry point: reads the host settings, joins the command line the
// way Windows hands it to WinMain (program name removed, arguments separated by
// single spaces, arguments with blanks quoted), runs the game, then closes the
// emulated screen.
#include <string>

#include "host/control.h"
#include "video.h"
#include "windows.h"

int main(int argc, char** argv) {
  host::LoadSettingsFromEnvironment();
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    std::string argument = argv[i];
    bool quote = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
    commandLine += quote ? "\"" + argument + "\"" : argument;
  }
  static HINSTANCE__ moduleInstance;
  int exitCode = WinMain(&moduleInstance, nullptr, commandLine.data(), SW_SHOWNORMAL);
  host::ShutdownVideo();
  return exitCode;
}
