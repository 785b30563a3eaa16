// The game's one record of the mouse: position (from window messages), buttons
// (polled on the clock's timer thread), presses not yet consumed, and an
// optional drawn cursor that Present draws before each flip and erases after.
//
// Poll runs on the timer thread; everything else on the main thread. The button
// word and the press counters are shared between the two and are atomics.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <atomic>
#include <cstdint>

#include "gfx/ptr_array.h"

class ScreenImage;

class MouseCursor {
 public:
  MouseCursor();
  ~MouseCursor();
  MouseCursor(const MouseCursor&) = delete;
  MouseCursor& operator=(const MouseCursor&) = delete;

  // With a file: loads the cursor picture (black is transparent) and makes the
  // two surfaces that keep what lies under it. Always returns 1.
  int Init(const char* file);
  ScreenImage* AddImage(const char* file);
  void SelectImage(int32_t index);
  void Hide();
  void SetFlipMode(int32_t mode);
  void SetPosition(int32_t newX, int32_t newY);
  int32_t GetX() const { return x; }
  int32_t GetY() const { return y; }
  // Any pointer may be null. Consumes at most one left and one right press per
  // call; a press count is written only when a press was consumed.
  void GetState(int* px, int* py, int* pbuttons, int* pleft, int* pright);
  // Timer thread: reads the buttons and counts new presses.
  void Poll();
  void Draw(LPDIRECTDRAWSURFACE target);
  void DrawAt(LPDIRECTDRAWSURFACE target, int32_t drawX, int32_t drawY);
  void Erase(LPDIRECTDRAWSURFACE target);
  // Frees the pictures and save surfaces; safe to call again.
  void Release();

  // Forgets the buttons seen by the previous poll (tests only).
  static void ResetPollHistoryForTest();

 private:
  friend struct MouseCursorTestPeer;  // the game never shows the cursor; tests do

  ScreenImage* image;
  PtrArray* images;
  LPDIRECTDRAWSURFACE saveSurface[2];
  int32_t saveIndex;
  int32_t savedX[2];
  int32_t savedY[2];
  int32_t width;
  int32_t height;
  int32_t visible;
  int32_t flipMode;
  int32_t x;
  int32_t y;
  std::atomic<int32_t> buttons;
  std::atomic<int32_t> leftPresses;
  std::atomic<int32_t> rightPresses;
  std::atomic<int32_t> pollEnabled;
};

extern MouseCursor mouseCursor;
