// The game's own main window (its class and window procedure) with the
// graphics library's display on it, headless: for tests of what reaches the
// game through window messages.
#pragma once

#include "support/display.h"

namespace shell_test {

class GameWindowTest : public testing_support::DisplayTest {
 protected:
  // Creates the main window as start-up does and brings the display up on it
  // (800 x 600 at 16 bits full-screen, the client size windowed), setting the
  // globals the game draws with. The window is destroyed after the test.
  bool StartGameWindow(bool fullScreen);
  // Where the window's client area lies on the emulated screen; windowed
  // flips land there on the primary surface.
  POINT ClientOrigin() const;
};

}  // namespace shell_test
