#include "stop_signals.h"

#include <signal.h>

#include <atomic>

#include "host/control.h"
#include "window.h"

namespace host {
namespace {

std::atomic<int> pendingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

// Async-signal-safe: only an atomic store. SA_RESETHAND puts the default action
// back, so a second signal is not caught.
void OnStopSignal(int signalNumber) { pendingSignal.store(signalNumber); }

}  // namespace

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void ActOnStopSignal() {
  if (pendingSignal.load(std::memory_order_relaxed) == 0) return;
  Window* window = InputWindow();
  if (!window) return;  // kept until the main window exists
  int signalNumber = pendingSignal.exchange(0);
  Trace("signal %d: WM_CLOSE posted", signalNumber);
  PostMessageA(static_cast<HWND>(window), WM_CLOSE, 0, 0);
}

}  // namespace host
