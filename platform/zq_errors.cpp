#include "platform/zq_errors.h"

#include <cstdarg>
#include <cstdio>

#include "platform/zq.h"

namespace {

char lastError[256] = "";
int debugEnabled = 0;

}  // namespace

void ZQDebugEnable(int enable) { debugEnabled = enable; }

void RecordLibraryError(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  vsnprintf(lastError, sizeof lastError, format, arguments);
  va_end(arguments);
  if (debugEnabled) fprintf(stderr, "graphics library: %s\n", lastError);
}

const char* LastLibraryError() { return lastError; }

void ZQPrintError() {
  if (lastError[0] == '\0') return;
  // No owner: the window may be half set up when this is called.
  MessageBoxA(NULL, lastError, NULL, MB_ICONERROR);
}
