#include "gfx/debug_log.h"

#include <cstdarg>
#include <cstdio>

int logEnabled = 0;

namespace {

// Opened by the first message and kept for the rest of the run; flushed after
// every message so that the log survives a crash, which is when it is read.
FILE* logFile = NULL;

}  // namespace

void DebugLog(const char* format, ...) {
  if (!logEnabled) return;
  if (logFile == NULL) {
    logFile = std::fopen("debug.log", "wb+");
    if (logFile == NULL) return;
  }
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(logFile, format, arguments);
  va_end(arguments);
  std::fflush(logFile);
}
