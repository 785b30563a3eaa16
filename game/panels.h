// The panels the game paints onto the scene composer's background every frame:
// the timer bar on the right, which fills downwards over the last 138 seconds
// of a level and ends in the game-over animation, and the score panel on the
// left with the best score, the score and the level number.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

class Sprite;

void DrawTimerBar(LPDIRECTDRAWSURFACE surface);
void DrawScorePanel(LPDIRECTDRAWSURFACE surface);
// Draws `text` with a font sprite of the ten digits side by side so that it
// ends at x; characters other than digits leave a gap of one digit.
void DrawNumber(Sprite* font, int32_t x, int32_t y, const char* text, LPDIRECTDRAWSURFACE surface);
