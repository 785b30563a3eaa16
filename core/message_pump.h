// The message pump shared by the main loop and the popups' modal loops. Main
// thread only.
#pragma once

#include <windows.h>

// Dispatches every waiting message. Returns 1 when the quit message was met (it
// is posted again, so an enclosing loop sees it too), else 0 once the queue is
// empty.
int PumpMessages();
