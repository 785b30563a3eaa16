// A drawable picture of one or more frames, each on its own surface, placed at
// a floating-point position, with a small animation engine on the game clock.
//
// Game code moves sprites by writing x and y directly, picks frames and draws
// them onto the back surface every frame. Each draw can file its rectangle with
// the scene composer, which restores it from the background two flips later, so
// a sprite redrawn every frame leaves no trail. The sprite owns its frame
// surfaces. Main thread only.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "gfx/ptr_array.h"

// What Animate does when the frame runs past either end of the range.
enum SpriteAnimMode : int32_t {
  AnimHold = 0,    // stop on the last frame (or the first, going backwards)
  AnimLoop = 1,    // start again
  AnimRewind = 2,  // stop on the first frame of the range
  AnimVanish = 3,  // stop and show nothing (frame -1)
};

struct SpriteBounds {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// No virtual destructor: a sprite is always destroyed as a Sprite, which
// `final` makes certain.
class Sprite final {
 public:
  Sprite();
  ~Sprite();
  Sprite(const Sprite&) = delete;
  Sprite& operator=(const Sprite&) = delete;

  virtual void SetPosition(int32_t newX, int32_t newY);
  // Paints the sprite into the scene composer's background, so later restores
  // bring it back.
  virtual void DrawOnBackground();
  // Draws the w x h part at (srcX, srcY) of the current frame at (dstX, dstY),
  // ignoring the sprite's position; the part must lie inside the frame.
  virtual void DrawRegion(int32_t srcX, int32_t srcY, int32_t w, int32_t h, LPDIRECTDRAWSURFACE target,
                          int32_t dstX, int32_t dstY);
  virtual void Draw(LPDIRECTDRAWSURFACE target);
  virtual void Move();
  virtual void SetBounds(int32_t boundsX, int32_t boundsY, int32_t boundsWidth, int32_t boundsHeight);
  // Ignores an index that is not a frame number.
  virtual void SetFrame(int32_t index);
  virtual void SetVisible(int32_t flag);
  virtual void SetFrameDelay(int32_t milliseconds);
  virtual void SetColorKey(int32_t red, int32_t green, int32_t blue);
  // One timed step forward, kept inside the frames; 1 when the step was due.
  virtual int32_t StepFrame();
  // Takes any index; one that is not a frame number draws nothing.
  virtual void SetFrameIndex(int32_t index);
  // Cuts the file into count frames side by side (vertical 0) or stacked.
  virtual void LoadStrip(const char* file, int32_t count, int32_t vertical);
  // Cuts the file into frames of the given size; returns the number of frames.
  virtual int32_t LoadGrid(const char* file, int32_t frameWidth, int32_t frameHeight);
  virtual void SetRange(int32_t start, int32_t end);
  virtual void SetName(const char* newName);
  virtual void SetPlaying(int32_t flag);
  virtual void SetAnimMode(int32_t mode);
  virtual void SetDirtyTracking(int32_t flag);
  // One timed animation step in the current mode.
  virtual void Animate();
  virtual void FitWidthToFrame();
  virtual void SetCentered(int32_t flag);

  // Takes ownership of the surface and keys it on pure blue; 1 always (a null
  // surface is ignored).
  int32_t AddFrame(LPDIRECTDRAWSURFACE surface);
  // Loads a BMP as a new frame; a missing file is reported in a message box.
  // 1 always.
  int32_t AddFrameFromFile(const char* file);

  int32_t FrameCount() const { return frames.Count(); }
  LPDIRECTDRAWSURFACE FrameSurface(int32_t index) const { return static_cast<LPDIRECTDRAWSURFACE>(frames.Get(index)); }

  char name[64];
  float x;
  float y;
  float vx;
  float vy;
  int32_t width;
  int32_t height;
  int32_t animMode;
  int32_t playing;
  PtrArray frames;
  int32_t currentFrame;
  int32_t centred;
  SpriteBounds bounds;
  int32_t frameDelay;
  int32_t frameStep;
  int32_t frameTime;
  int32_t rangeStart;
  int32_t rangeEnd;
  int32_t trackDirty;
  int32_t visible;

 private:
  bool HasFrame(int32_t index) const { return index >= 0 && index < frames.Count(); }
  void FileRect(int32_t left, int32_t top, int32_t w, int32_t h);
};
