#include "screens/button.h"

#include <cstdio>
#include <utility>

#include "gfx/surface_utils.h"
#include "platform/zq.h"
#include "screens/scene_composer.h"
#include "core/globals.h"

namespace {

ButtonStateImage* EntryAt(const PtrArray* images, int index) { return images->At<ButtonStateImage>(index); }

void ReleaseSurfaces(PtrArray* surfaces) {
  for (int32_t i = 0; i < surfaces->Count(); ++i) surfaces->At<IDirectDrawSurface>(i)->Release();
}

}  // namespace

Button::Button(int x, int y) : Button(x, y, 0, 0) {}

Button::Button(int x, int y, int width, int height)
    : x(x),
      y(y),
      width(width),
      height(height),
      hitX(x),
      hitY(y),
      hitW(width),
      hitH(height),
      originX(0),
      originY(0),
      state(ButtonNormal),
      frameOffset(0),
      images(new PtrArray()),
      clicked(0),
      clickButton(0),
      name{},
      enabled(1),
      singleImage(0),
      trackDirty(0),
      pixelHitTest(0),
      mouseOver(0),
      forcedFrame(-1) {}

Button::~Button() {
  for (int32_t i = 0; i < images->Count(); ++i) {
    ButtonStateImage* entry = EntryAt(images, i);
    entry->surface->Release();
    delete entry;
  }
  delete images;
}

int Button::AddStateImage(int stateNumber, LPDIRECTDRAWSURFACE surface) {
  if (surface == NULL) return 0;
  SetColorKeyRGB(surface, 0, 0, 255);
  ButtonStateImage* entry = new ButtonStateImage;
  entry->state = stateNumber;
  entry->surface = surface;
  images->Append(entry);
  int surfaceWidth = 0;
  int surfaceHeight = 0;
  GetSurfaceSize(surface, &surfaceWidth, &surfaceHeight);
  width = hitW = surfaceWidth;
  height = hitH = surfaceHeight;
  return 1;
}

int Button::AddStateImageFromFile(int stateNumber, const char* file) {
  if (file == NULL) return 0;
  // The library's loader takes a char* but only reads the name.
  LPDIRECTDRAWSURFACE picture = ZQLoadBitmap(const_cast<char*>(file), 16);
  if (picture == NULL) return 0;
  return AddStateImage(stateNumber, picture);
}

void Button::LoadStates(const char* file, int count, int vertical) {
  // A count of zero or less would divide by zero; such a call adds nothing.
  if (file == NULL || count <= 0) return;
  LPDIRECTDRAWSURFACE picture = ZQLoadBitmap(const_cast<char*>(file), 16);
  if (picture == NULL) return;

  int pictureWidth = 0;
  int pictureHeight = 0;
  GetSurfaceSize(picture, &pictureWidth, &pictureHeight);
  const int stateWidth = vertical ? pictureWidth : pictureWidth / count;
  const int stateHeight = vertical ? pictureHeight / count : pictureHeight;

  PtrArray cut;
  const int sliced = SliceIntoFrames(picture, &cut, stateWidth, stateHeight);
  // A picture that does not hold exactly count states is the wrong artwork;
  // half a set of states would show the wrong picture for some state.
  if (!sliced || cut.Count() != count) {
    ReleaseSurfaces(&cut);
    picture->Release();
    return;
  }
  for (int i = 0; i < count; ++i) AddStateImage(i, cut.At<IDirectDrawSurface>(i));
  picture->Release();
}

bool Button::HitFeed(int mouseX, int mouseY) const {
  const int left = hitX + originX;
  const int top = hitY + originY;
  return left <= mouseX && mouseX < left + hitW && top <= mouseY && mouseY < top + hitH;
}

bool Button::HitMessage(int mouseX, int mouseY) const {
  // One pixel wider and taller than the polled test: intended.
  const int left = hitX + originX;
  const int top = hitY + originY;
  return left <= mouseX && mouseX <= left + hitW && top <= mouseY && mouseY <= top + hitH;
}

bool Button::OnKeyedPixel(int mouseX, int mouseY) const {
  LPDIRECTDRAWSURFACE picture = EntryAt(images, 0)->surface;
  const int pictureX = mouseX - hitX - originX;
  const int pictureY = mouseY - hitY - originY;
  // A hit rectangle set larger than the picture: the part beyond it has no
  // pixels to be transparent, so it counts as solid.
  int pictureWidth = 0;
  int pictureHeight = 0;
  GetSurfaceSize(picture, &pictureWidth, &pictureHeight);
  if (pictureX < 0 || pictureY < 0 || pictureX >= pictureWidth || pictureY >= pictureHeight) return false;
  return GetPixelValue(picture, pictureX, pictureY) == ColorFromRGB(picture, 0, 0, 255);
}

// Each change of state made by the mouse is drawn at once.
void Button::EnterState(int newState) {
  if (state == newState) return;
  SetState(newState);
  Draw(NULL);
}

int Button::Feed(int mouseX, int mouseY, int buttonBits) {
  if (!enabled) return state;
  const bool inside = HitFeed(mouseX, mouseY);
  mouseOver = inside ? 1 : 0;
  clicked = 0;
  clickButton = 0;
  const bool hasPicture = images->Count() > 0;

  if (buttonBits & 1) {
    if (inside) {
      if (state != ButtonPressed) {
        const bool transparent = pixelHitTest && (!hasPicture || OnKeyedPixel(mouseX, mouseY));
        if (!transparent) EnterState(ButtonPressed);
      }
    } else {
      EnterState(ButtonNormal);
    }
    return state;
  }

  if (inside) {
    if (pixelHitTest && !hasPicture) return state;
    if (pixelHitTest && OnKeyedPixel(mouseX, mouseY)) {
      // Redrawn on every update over a transparent pixel, even when already
      // normal: intended.
      SetState(ButtonNormal);
      Draw(NULL);
      return state;
    }
    if (state == ButtonPressed) {
      clicked = 1;
      clickButton = 1;
    }
    EnterState(ButtonMouseOver);
  } else {
    EnterState(ButtonNormal);
  }
  return state;
}

int Button::HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!enabled) return state;
  const int mouseX = static_cast<int>(lParam & 0xFFFF);
  const int mouseY = static_cast<int>((lParam >> 16) & 0xFFFF);
  const bool inside = HitMessage(mouseX, mouseY);
  mouseOver = inside ? 1 : 0;
  clicked = 0;
  clickButton = 0;

  switch (message) {
    case WM_MOUSEMOVE:
      if (!inside) {
        EnterState(ButtonNormal);
      } else if (state != ButtonPressed) {
        EnterState(ButtonMouseOver);
      }
      break;
    case WM_LBUTTONDOWN:
      EnterState(inside ? ButtonPressed : ButtonNormal);
      break;
    case WM_LBUTTONUP:
      if (inside) {
        // Any release over the button is a click, pressed first or not.
        clicked = 1;
        clickButton = 1;
        EnterState(ButtonMouseOver);
      } else {
        EnterState(ButtonNormal);
      }
      break;
    case WM_RBUTTONUP:
      if (inside) {
        clicked = 1;
        clickButton = 2;
      }
      break;
    default:
      break;
  }
  return state;
}

void Button::Draw(LPDIRECTDRAWSURFACE target) { DrawTo(target != NULL ? target : backSurface); }

void Button::SetFrameOffset(int offset) {
  frameOffset = offset;
  Redraw();
}

void Button::DrawTo(LPDIRECTDRAWSURFACE target) {
  RECT rect;
  rect.left = x + originX;
  rect.top = y + originY;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;

  int index = state + frameOffset;
  if (singleImage) index = 0;
  if (forcedFrame != -1) index = forcedFrame;

  const int count = images->Count();
  LPDIRECTDRAWSURFACE picture = NULL;
  // The overflow test looks at state + frameOffset even when a single or forced
  // picture was asked for, so an overflow still shows the last one: intended.
  if (state + frameOffset < count) {
    if (index >= 0 && index < count) picture = EntryAt(images, index)->surface;
  } else if (count > 0) {
    picture = EntryAt(images, count - 1)->surface;
  }

  if (trackDirty) sceneComposer.AddRequestRect(rect, RestoreOnce, RestoreFromBackground);
  if (picture != NULL && target != NULL) target->Blt(&rect, picture, NULL, DDBLT_KEYSRC | DDBLT_WAIT, NULL);
}

void Button::Redraw() {
  if (enabled) Draw(NULL);
}

int Button::WasClicked() { return clicked; }

void Button::Reset() {
  SetState(ButtonNormal);
  Redraw();
}

void Button::SetName(const char* newName) { std::snprintf(name, sizeof(name), "%s", newName != NULL ? newName : ""); }

void Button::SetOrigin(int newX, int newY) {
  originX = newX;
  originY = newY;
}

void Button::SetEnabled(int flag) { enabled = flag; }

void Button::DrawOnBackgrounds(int flag) {
  if (!flag) return;
  // Without a backdrop or background a null target would mean the back
  // surface, where the button would not last; leave such a surface out.
  LPDIRECTDRAWSURFACE backdrop = sceneComposer.GetBackdrop();
  if (backdrop != NULL) Draw(backdrop);
  LPDIRECTDRAWSURFACE background = sceneComposer.GetBackground();
  if (background != NULL) Draw(background);
}

void Button::SwapFirstTwoImages() {
  if (images->Count() >= 2) std::swap(*EntryAt(images, 0), *EntryAt(images, 1));
  Redraw();
}

void Button::SetSingleImage(int flag) { singleImage = flag; }

void Button::SetState(int newState) { state = newState; }

int Button::GetState() { return state; }

void Button::SetHitRect(int newX, int newY, int newWidth, int newHeight) {
  hitX = newX;
  hitY = newY;
  hitW = newWidth;
  hitH = newHeight;
}

void Button::SetDirtyTracking(int flag) { trackDirty = flag; }

void Button::SetPixelHitTest(int flag) { pixelHitTest = flag; }

int Button::IsMouseOver() { return mouseOver; }

void Button::SetForcedFrame(int index) { forcedFrame = index; }

int Button::GetForcedFrame() { return forcedFrame; }

LPDIRECTDRAWSURFACE Button::GetImageSurface(int index) const {
  if (index < 0 || index >= images->Count()) return NULL;
  return EntryAt(images, index)->surface;
}
