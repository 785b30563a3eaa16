// A clean host between tests that share one process.
#include <cstdlib>

#include "host/control.h"
#include "input_script.h"
#include "input_state.h"
#include "timer.h"
#include "video.h"
#include "window.h"

namespace host {
void ResetMessageQueue();

void ResetForTest() {
  ResetTimers();
  ResetWindows();
  ResetMessageQueue();
  ResetInputState();
  ResetInputScript();
}
}  // namespace host
