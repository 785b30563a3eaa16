// The emulated screen: DirectDraw hands finished pictures to it, and it shows
// them in the SDL window (or keeps them, headless) and remembers the last one
// for screenshots. Main thread only.
#pragma once

#include <cstdint>

namespace host {

// A picture of width x height 16-bit pixels (5-6-5, or 5-5-5 when is565 is
// false), rows pitchBytes apart, is now on screen. `changed` false: the same
// pixels as the picture presented last (the caller compared them).
void PresentPicture(const uint16_t* pixels, int pitchBytes, int width, int height, bool is565, bool changed);

// Full-screen mode: the window covers the screen and shows the 800 x 600 display
// scaled with its aspect kept. Windowed: the window shows pictures 1:1.
void SetFullScreenDisplay(bool fullScreen, int width, int height);

}  // namespace host
