// Host time, shared by the multimedia timer, GetTickCount and the message queue.
#pragma once

namespace host {

// Virtual time: lets one timer period pass (the shortest period of the live
// events, 10 ms when there are none), firing due events on this thread. Called
// by PeekMessageA when it finds the queue empty.
void AdvanceVirtualTimeOnePeriod();

void ResetTimers();

}  // namespace host
