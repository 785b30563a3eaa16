// A clean host between tests that share one process.
#include <cstdlib>

#include "host/audio_control.h"
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
  ResetAudio();
}
}  // namespace host
