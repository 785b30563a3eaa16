#include "screens/sprite.h"

#include <cstdio>

#include "gfx/surface_utils.h"
#include "platform/zq.h"
#include "screens/scene_composer.h"
#include "core/game_clock.h"

namespace {

// Positions are truncated toward zero, as a plain conversion does. Far-flung or
// broken (NaN) positions are pinned to a range where the conversion, and the
// rectangle's right and bottom edges, stay defined.
int32_t TruncateToPixel(float position) {
  const float limit = 1073741824.0f;  // 2^30
  if (!(position > -limit)) return position != position ? 0 : -1073741824;
  if (position >= limit) return 1073741824;
  return static_cast<int32_t>(position);
}

}  // namespace

Sprite::Sprite()
    : name{},
      x(0.0f),
      y(0.0f),
      vx(0.0f),
      vy(0.0f),
      width(0),
      height(0),
      animMode(AnimHold),
      playing(0),
      frames(),
      currentFrame(0),
      centred(0),
      bounds{},
      frameDelay(0),
      frameStep(1),
      frameTime(0),
      rangeStart(-1),
      rangeEnd(-1),
      trackDirty(1),
      visible(1) {}

Sprite::~Sprite() {
  for (int32_t i = 0; i < frames.Count(); ++i) {
    LPDIRECTDRAWSURFACE frame = FrameSurface(i);
    if (frame != NULL) frame->Release();
  }
}

void Sprite::SetPosition(int32_t newX, int32_t newY) {
  x = static_cast<float>(newX);
  y = static_cast<float>(newY);
}

void Sprite::DrawOnBackground() { Draw(sceneComposer.GetBackground()); }

void Sprite::DrawRegion(int32_t srcX, int32_t srcY, int32_t w, int32_t h, LPDIRECTDRAWSURFACE target, int32_t dstX,
                        int32_t dstY) {
  if (!HasFrame(currentFrame)) return;
  if (visible && target != NULL)
    BlitClipped(FrameSurface(currentFrame), srcX, srcY, w, h, target, dstX, dstY, kBlitKeyedWait);
  if (trackDirty) FileRect(dstX, dstY, w, h);
}

void Sprite::Draw(LPDIRECTDRAWSURFACE target) {
  if (!HasFrame(currentFrame)) return;
  int32_t px, py;
  if (centred) {
    // Halves are whole pixels; the subtraction stays in floating point.
    px = TruncateToPixel(x - static_cast<float>(width / 2));
    py = TruncateToPixel(y - static_cast<float>(height / 2));
  } else {
    px = TruncateToPixel(x);
    py = TruncateToPixel(y);
  }
  // With no surface to draw on (no background set yet) only the filing remains.
  if (visible && target != NULL) BlitWholeClipped(FrameSurface(currentFrame), target, px, py, kBlitKeyedWait);
  // The sprite's size, not the frame's: after LoadStrip this is the whole
  // strip, which is intended.
  if (trackDirty) FileRect(px, py, width, height);
}

void Sprite::Move() {
  x += vx;
  y += vy;
}

void Sprite::SetBounds(int32_t boundsX, int32_t boundsY, int32_t boundsWidth, int32_t boundsHeight) {
  bounds.x = boundsX;
  bounds.y = boundsY;
  bounds.width = boundsWidth;
  bounds.height = boundsHeight;
}

void Sprite::SetFrame(int32_t index) {
  if (HasFrame(index)) currentFrame = index;
}

void Sprite::SetVisible(int32_t flag) { visible = flag; }

void Sprite::SetFrameDelay(int32_t milliseconds) { frameDelay = milliseconds; }

void Sprite::SetColorKey(int32_t red, int32_t green, int32_t blue) {
  for (int32_t i = 0; i < frames.Count(); ++i) SetColorKeyRGB(FrameSurface(i), red, green, blue);
}

int32_t Sprite::StepFrame() {
  // frameTime is when the next step is due.
  if (frameTime >= GetTicks()) return 0;
  if (HasFrame(currentFrame + frameStep)) currentFrame += frameStep;
  frameTime = GetTicks() + frameDelay;
  return 1;
}

void Sprite::SetFrameIndex(int32_t index) { currentFrame = index; }

void Sprite::LoadStrip(const char* file, int32_t count, int32_t vertical) {
  // A strip of no frames cannot be cut (it would divide by zero).
  if (count <= 0) return;
  // The library's loader takes a char* but only reads the name.
  LPDIRECTDRAWSURFACE picture = ZQLoadBitmap(const_cast<char*>(file), 16);
  if (picture == NULL) return;
  int stripWidth = 0, stripHeight = 0;
  GetSurfaceSize(picture, &stripWidth, &stripHeight);
  const int frameWidth = vertical ? stripWidth : stripWidth / count;
  const int frameHeight = vertical ? stripHeight / count : stripHeight;
  SliceIntoFrames(picture, &frames, frameWidth, frameHeight);
  picture->Release();
  // The whole strip's size; callers wanting one frame divide by the count.
  width = stripWidth;
  height = stripHeight;
  rangeStart = 0;
  rangeEnd = frames.Count();
}

int32_t Sprite::LoadGrid(const char* file, int32_t frameWidth, int32_t frameHeight) {
  LoadFrames(file, &frames, frameWidth, frameHeight);
  width = frameWidth;
  height = frameHeight;
  rangeStart = 0;
  rangeEnd = frames.Count();
  return frames.Count();
}

void Sprite::SetRange(int32_t start, int32_t end) {
  rangeStart = start;
  rangeEnd = end;
}

void Sprite::SetName(const char* newName) { std::snprintf(name, sizeof(name), "%s", newName ? newName : ""); }

void Sprite::SetPlaying(int32_t flag) { playing = flag; }

void Sprite::SetAnimMode(int32_t mode) { animMode = mode; }

void Sprite::SetDirtyTracking(int32_t flag) { trackDirty = flag; }

void Sprite::Animate() {
  if (rangeStart == -1) return;  // no frames loaded yet
  // Strictly greater: with no delay the sprite still steps at most once per
  // tick of the clock.
  if (!(TicksSince(frameTime) > frameDelay)) return;
  frameTime = GetTicks();
  if (playing == 1) currentFrame += frameStep;

  if (currentFrame >= rangeEnd) {
    switch (animMode) {
      case AnimLoop:
        currentFrame = 0;  // frame 0, not the range's start: intended
        break;
      case AnimHold:
        playing = 0;
        currentFrame = rangeEnd - 1;
        break;
      case AnimVanish:
        playing = 0;
        currentFrame = -1;
        break;
      case AnimRewind:
        playing = 0;
        currentFrame = rangeStart;
        break;
      default:
        break;
    }
  }
  if (currentFrame < 0) {
    switch (animMode) {
      case AnimLoop:
        currentFrame = rangeEnd - 1;
        break;
      case AnimHold:
      case AnimRewind:
        playing = 0;
        currentFrame = rangeStart;
        break;
      case AnimVanish:
        playing = 0;
        currentFrame = -1;
        break;
      default:
        break;
    }
  }
}

void Sprite::FitWidthToFrame() {
  if (frames.Count() > 0) width /= frames.Count();
}

void Sprite::SetCentered(int32_t flag) { centred = flag; }

int32_t Sprite::AddFrame(LPDIRECTDRAWSURFACE surface) {
  if (surface == NULL) return 1;
  SetColorKeyRGB(surface, 0, 0, 255);
  int frameWidth = 0, frameHeight = 0;
  GetSurfaceSize(surface, &frameWidth, &frameHeight);
  SetBounds(0, 0, frameWidth, frameHeight);
  frames.Append(surface);
  rangeStart = 0;
  rangeEnd = frames.Count();
  width = frameWidth;
  height = frameHeight;
  return 1;
}

int32_t Sprite::AddFrameFromFile(const char* file) {
  LPDIRECTDRAWSURFACE surface = ZQLoadBitmap(const_cast<char*>(file), 16);
  AddFrame(surface);
  if (surface == NULL) MessageBoxA(NULL, file, "ERROR: can't find file!", MB_OK);
  return 1;
}

void Sprite::FileRect(int32_t left, int32_t top, int32_t w, int32_t h) {
  RECT drawn = {left, top, left + w, top + h};
  sceneComposer.AddRequestRect(drawn, RestoreOnce, RestoreFromBackground);
}
