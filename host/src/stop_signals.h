// Ctrl+C (SIGINT) and SIGTERM end the game the way its close button does: the
// next PeekMessageA posts WM_CLOSE to the main window, whose procedure destroys
// it and so runs the whole shutdown before the quit message ends the loop. The
// same headless and with a display (SDL is told to leave these signals alone).
// A second signal, should the shutdown itself hang, ends the program at once.
#pragma once

namespace host {

void InstallStopSignals();

// Called by PeekMessageA: posts WM_CLOSE to the input window once a stop signal
// has come and a window exists to receive it.
void ActOnStopSignal();

}  // namespace host
