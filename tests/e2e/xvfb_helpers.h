// An Xvfb display for the end-to-end tests, shell commands (xdotool,
// ImageMagick) against it, and windowed runs driven from outside.
#pragma once

#include <functional>
#include <string>

#include "support/game_process.h"

namespace xvfb {

// Starts Xvfb (1024 x 768 x 24) on a free display and sets DISPLAY for this
// process. False when Xvfb or xdotool is missing.
bool Start();
void Stop();

// Runs a shell command and returns its standard output, trailing blanks cut.
std::string Shell(const std::string& command);

// Runs the program windowed on the Xvfb display while `driver` acts on its
// window, titled "Gloom Grid" (and the player's name, for the game); fails the
// test when no such window appears.
testing_support::GameRun RunWindowed(testing_support::GameOptions options,
                                     const std::function<void(const std::string& windowId)>& driver);

// The colour of one pixel of a window, as ImageMagick names it.
std::string WindowPixel(const std::string& windowId, int x, int y);

}  // namespace xvfb
