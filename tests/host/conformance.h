// The host's interface tests build twice from the same source: against host/ in the normal suite, and as a
// 32-bit Windows program against the real headers, run under Wine (make conformance). Two implementations
// must then agree on every value a case compares. Whatever needs one of the host's own hooks (stepped time,
// headless mode, planted failures, the software mixer) sits behind GLOOM_HOST_HOOKS and runs on the host only.
#pragma once

#include <windows.h>

#ifdef _WIN32
#define GLOOM_HOST_HOOKS 0
#else
#define GLOOM_HOST_HOOKS 1
#include "host/control.h"
#endif

namespace conformance {

// A clean host for the next case: no windows, timers or queued messages; headless, real time. Windows needs
// nothing of the sort.
inline void ResetHost() {
#if GLOOM_HOST_HOOKS
  host::ResetForTest();
  host::settings() = host::Settings{};
  host::settings().headless = true;
#endif
}

}  // namespace conformance
