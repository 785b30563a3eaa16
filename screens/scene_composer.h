// Erases what frames drew on the back surface by copying the background back
// over it, one filed rectangle at a time, when the buffer it was drawn on comes
// round again as the back surface.
//
// Whoever draws something movable (sprites, buttons, the cursor, the game's
// panels) files the rectangle it covered; Present switches lists after each flip
// and applies the list of the buffer that just became the back surface. The
// composer also holds the background (source of every restore, and where lasting
// decorations are painted) and the backdrop (a clean copy the background itself
// is refreshed from). Neither surface is owned. Main thread only.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "gfx/ptr_array.h"

// Request flags. Every request the game files carries both.
constexpr int32_t RestoreOnce = 0x0001;            // deleted once it has been applied
constexpr int32_t RestoreFromBackground = 0x1000;  // copies the background onto the back surface

struct RestoreRequest {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  int32_t flags;
  // The background current when the request was filed: a request is applied
  // only while that picture is the background again.
  LPDIRECTDRAWSURFACE ownerBackground;
};

class SceneComposer {
 public:
  SceneComposer();
  ~SceneComposer();
  SceneComposer(const SceneComposer&) = delete;
  SceneComposer& operator=(const SceneComposer&) = delete;

  // Pending one-shot requests belong to the old picture and are dropped, so a
  // new background never receives rectangles meant for the previous one.
  void SetBackground(LPDIRECTDRAWSURFACE surface);
  void SetBackdrop(LPDIRECTDRAWSURFACE surface);
  LPDIRECTDRAWSURFACE GetBackground();
  LPDIRECTDRAWSURFACE GetBackdrop();

  // Refreshes the whole background from the backdrop at once and files it for
  // the back surface. Does nothing while there is no background to measure.
  void RestoreAll();
  // The same for one rectangle.
  void RestoreRect(int32_t x, int32_t y, int32_t width, int32_t height);

  // Files a request with flagsA | flagsB; nothing is copied now.
  void AddRequest(int32_t x, int32_t y, int32_t width, int32_t height, int32_t flagsA, int32_t flagsB);
  void AddRequestRect(const RECT& rect, int32_t flagsA, int32_t flagsB);

  // Called after each flip, before UpdateBackSurface.
  void SwitchBuffer();
  // Applies the current list to back, in filing order, and drops its one-shot
  // requests.
  void UpdateBackSurface(LPDIRECTDRAWSURFACE back);

  // The list collecting requests now, in filing order (for inspection).
  const PtrArray& CurrentRequests() const { return lists[current]; }

 private:
  void File(RestoreRequest* request);
  // Copies each request's rectangle onto back (none when back is null) and
  // drops the one-shot requests, in filing order.
  void ApplyRequests(PtrArray* list, LPDIRECTDRAWSURFACE back);

  int32_t current;
  PtrArray lists[2];
  LPDIRECTDRAWSURFACE background;
  LPDIRECTDRAWSURFACE backdrop;
};

extern SceneComposer sceneComposer;
