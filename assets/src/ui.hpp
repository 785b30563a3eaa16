#pragma once
// The interface pictures: background, buttons, digit fonts, board markers,
// timer pieces, popups and level titles.
#include <string>
#include <vector>

#include "canvas.hpp"
#include "raster.hpp"

namespace gg {

// Frames laid side by side (a strip) or one below the other.
Image sideBySide(const std::vector<Image>& frames);
Image stacked(const std::vector<Image>& frames);

enum class ButtonState { Normal, Over, Pressed };
// One 88 x 57 button picture with its label.
Image buttonFace(const std::string& label, ButtonState state);
// The three states side by side, as the game cuts them.
Image buttonStrip(const std::string& label);
// Level arrow button, 40 x 40 per state; up or down.
Image levelArrowStrip(bool up);

Image scoreFont();          // 10 digits of 18 x 28
Image roundCompleteFont();  // 10 digits of 32 x 40
Image selectionMarker();    // 80 x 80
Image moveArrows();         // 4 frames of 80 x 80: up, right, down, left

Image timerStart(bool active);  // 44 x 38, drawn at (722, 269)
Image timeDrop();               // 30 x 12, drawn at (729, 306 + 2 used)
Image timeUnit();               // 20 x 2, drawn at (734, 306 + 2 i)
Image gameOverFrame(int frame);  // 296 x 43, frame 0 is the idle strip
inline constexpr int kGameOverFrames = 35;

Image background();
Image levelName(int level);  // 189 x 78
Image tryAgainPopup();
Image roundCompletePopup();
Image congratsPopup(const Image& finalScene);
Image hallOfFamePopup();
Image howToPlay();

// Shared by the popups and the background's plaques.
void plaque(cairo_t* cr, double x, double y, double w, double h, double corner);
void goldRule(cairo_t* cr, double x0, double x1, double y);

}  // namespace gg
