// The graphics and input library: display set-up, the primary and back
// surfaces, flipping, BMP loading, mouse and keyboard, and one small text font.
//
// Every call comes from the main thread except ZQGetMouseData, which the game
// clock makes from its timer thread. Results are plain integers (nonzero means
// success) or null pointers; nothing here throws. Surfaces handed out are plain
// IDirectDrawSurface interfaces in the display's pixel format.
#pragma once

#include <windows.h>
#include <ddraw.h>

// The module instance, called before display set-up and again before
// ZQInitMouse. Kept for the input devices, though polling the buttons needs
// nothing from it.
void ZQSetInstance(HINSTANCE instance);

// 1 also writes every error the library records to stderr; the game passes 0.
void ZQDebugEnable(int enable);

// Full-screen display: exclusive mode, width x height at bitsPerPixel, and a
// primary surface with one attached back buffer for page flipping.
// Returns 0 on failure (the reason is kept for ZQPrintError).
int ZQInitDirectX(HWND window, int width, int height, int bitsPerPixel);

// Windowed display: the desktop's primary surface, clipped to the window, and an
// off-screen back surface of width x height copied to the window on each flip.
// Returns 0 on failure (the reason is kept for ZQPrintError).
int ZQInitDirectX(HWND window, int width, int height);

// The part of the back surface that a windowed flip shows; clipped to the back
// surface. Returns 0 when nothing of it is left or no display is set up.
int ZQSetViewport(int x, int y, int width, int height);

// The DirectDraw object of the display; null before ZQInitDirectX.
LPDIRECTDRAW ZQGetLPDD();

// The primary surface and the back surface (the target of all drawing); either
// pointer may be null. Both receive null before ZQInitDirectX. The library keeps
// ownership; callers do not release them.
void ZQGetDDInfo(LPDIRECTDRAWSURFACE* primary, LPDIRECTDRAWSURFACE* back);

// Shows the back surface; 0 on failure. Full-screen this is a real page flip, so
// afterwards the back surface holds the frame before last. Windowed, the back
// surface is copied to the window and keeps its picture.
int ZQFlip();

// Screen position of the picture's top-left corner for windowed flips (the window
// moved or was maximized).
void ZQSetWindowXY(int x, int y);

// Loads a BMP file into a new off-screen surface of the picture's size in the
// display's pixel format; colours are cut to the format's bits, so pure blue is
// exactly the format's blue mask. bitsPerPixel is the display depth the caller
// expects (always 16). The caller owns and releases the surface; null if the file
// is missing, malformed or the surface cannot be made.
LPDIRECTDRAWSURFACE ZQLoadBitmap(char* path, int bitsPerPixel);

// The number of red, green, blue and alpha bits of a pixel format (5, 6, 5, 0
// for 5-6-5). Null outputs are skipped; a null format gives zeros.
void ZQGetRGBABits(DDPIXELFORMAT* format, int* redBits, int* greenBits, int* blueBits, int* alphaBits);

// Input devices. The game reads keys from window messages; the mouse buttons are
// polled through ZQGetMouseData while the mouse is acquired. Each returns 1 on
// success.
int ZQInitMouse();
int ZQInitKeyboard();
// 1 while the game is active, 0 when it is not. Acquiring needs ZQInitMouse.
int ZQAcquireMouse(int acquire);

// Safe on the timer thread. dx and dy receive 0 (the game takes positions from
// window messages); buttons gets bit 0 for the left and bit 1 for the right
// button held down. While the mouse is not acquired all three are 0 and the
// result is 0; otherwise 1. Null outputs are skipped.
int ZQGetMouseData(int* dx, int* dy, int* buttons);

// The font is built in: nothing is loaded or freed, but the calls keep their
// places in start-up and shutdown.
int ZQInitFont(HWND window);
void ZQFreeFont();

// Draws text in white with the built-in font, top-left corner at (x, y) of the
// back surface, clipped to it; the background between the strokes stays.
// Returns 0 when there is no back surface or it cannot be locked.
int ZQPrintString(char* text, int x, int y);

// Releases the input devices, then the display. Both are safe to call twice or
// without set-up.
void ZQFreeDirectInput();
void ZQFreeDirectX();

// Shows the last recorded error in a message box (no owner, error icon); does
// nothing when no error was recorded.
void ZQPrintError();
