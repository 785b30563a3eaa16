// The host's entry point: reads the host settings and the input script (a
// broken script ends the run at once with 1), takes over SIGINT and SIGTERM,
// hands WinMain the command line as Windows would (command_line.h), runs the
// game, then closes the emulated screen. A test hook that failed on the way (a
// screenshot not written) turns a successful exit into 1.
#include <string>

#include "command_line.h"
#include "host/control.h"
#include "input_script.h"
#include "stop_signals.h"
#include "video.h"
#include "windows.h"

int main(int argc, char** argv) {
  host::LoadSettingsFromEnvironment();
  if (!host::LoadInputScript()) return 1;
  host::InstallStopSignals();
  std::string commandLine = host::WindowsCommandLine(argc, argv);
  host::Trace("WinMain \"%s\"", commandLine.c_str());
  static HINSTANCE__ moduleInstance;
  int exitCode = WinMain(&moduleInstance, nullptr, commandLine.data(), SW_SHOWNORMAL);
  host::ShutdownVideo();
  if (exitCode == 0 && host::TestHooksFailed()) exitCode = 1;
  return exitCode;
}
