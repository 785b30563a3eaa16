// An Xvfb display for the end-to-end tests, and a way to run shell commands
// (xdotool, ImageMagick) against it.
#pragma once

#include <string>

namespace xvfb {

// Starts Xvfb (1024 x 768 x 24) on a free display and sets DISPLAY for this
// process. False when Xvfb or xdotool is missing.
bool Start();
void Stop();
const std::string& Display();

// Runs a shell command and returns its standard output, trailing blanks cut.
std::string Shell(const std::string& command);

// The colour of a pixel of an X window, as ImageMagick names it ("srgb(...)").
std::string WindowPixel(const std::string& windowId, int x, int y);

}  // namespace xvfb
