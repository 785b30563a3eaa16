#include "command_line.h"

namespace host {

std::string WindowsCommandLine(int argc, const char* const* argv) {
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  return commandLine;
}

}  // namespace host
