// A clickable rectangle with a picture per state (normal, mouse over, pressed).
//
// The game polls the mouse once per frame and hands it to Feed; popups and
// anything driven by window messages use HandleMouseMessage instead. Each state
// change is drawn on the back surface at once. Main thread only.
//
// Every operation calls the others through the virtual table, so a derived
// button may override any step. The control panel owns its buttons and deletes
// them as Button*, hence the virtual destructor.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "gfx/ptr_array.h"

// One picture of a button: the state it was added for (only recorded: pictures
// are chosen by their place in the list) and its surface, which the button owns.
struct ButtonStateImage {
  int32_t state;
  LPDIRECTDRAWSURFACE surface;
};

enum ButtonState : int32_t { ButtonNormal = 0, ButtonMouseOver = 1, ButtonPressed = 2 };

class Button {
 public:
  // A picture button: its size comes from the pictures added to it.
  Button(int x, int y);
  // A hit area of a given size, which may have no pictures at all.
  Button(int x, int y, int width, int height);
  virtual ~Button();
  Button(const Button&) = delete;
  Button& operator=(const Button&) = delete;

  // Keys the surface on pure blue and takes it over; the button's drawn and hit
  // sizes become the surface's. 0 (and nothing taken) for a null surface.
  virtual int AddStateImage(int stateNumber, LPDIRECTDRAWSURFACE surface);
  // As above with a BMP file; 0 when it cannot be loaded.
  virtual int AddStateImageFromFile(int stateNumber, const char* file);
  // Cuts one picture into count equal states, side by side (vertical 0) or
  // stacked; adds nothing unless the picture divides into exactly count.
  virtual void LoadStates(const char* file, int count, int vertical);
  // WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP with the position
  // in lParam; right and bottom edges count as inside. Returns the state.
  virtual int HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // One polled update: mouse position and button bits (bit 0 left held); right
  // and bottom edges count as outside. Returns the state.
  virtual int Feed(int mouseX, int mouseY, int buttonBits);
  // Onto target, or onto the back surface when target is null.
  virtual void Draw(LPDIRECTDRAWSURFACE target);
  virtual void SetFrameOffset(int offset);
  // Unclipped: the button must lie wholly inside the target.
  virtual void DrawTo(LPDIRECTDRAWSURFACE target);
  virtual void Redraw();
  // 1 only during the update in which a click completed.
  virtual int WasClicked();
  virtual void Reset();
  virtual void SetName(const char* newName);
  virtual void SetOrigin(int x, int y);
  virtual void SetEnabled(int flag);
  // Paints the button into the scene composer's backdrop and background, so the
  // restored background shows it.
  virtual void DrawOnBackgrounds(int flag);
  virtual void SwapFirstTwoImages();
  virtual void SetSingleImage(int flag);
  virtual void SetState(int newState);
  virtual int GetState();
  virtual void SetHitRect(int x, int y, int width, int height);
  virtual void SetDirtyTracking(int flag);
  virtual void SetPixelHitTest(int flag);
  virtual int IsMouseOver();
  virtual void SetForcedFrame(int index);
  virtual int GetForcedFrame();

  // Not virtual: what the control panel and popups read.
  const char* GetName() const { return name; }
  // 1 left, 2 right; 0 while no click is reported.
  int GetClickButton() const { return clickButton; }
  int GetImageCount() const { return images->Count(); }
  LPDIRECTDRAWSURFACE GetImageSurface(int index) const;
  int GetWidth() const { return width; }
  int GetHeight() const { return height; }

 private:
  void EnterState(int newState);
  bool HitFeed(int mouseX, int mouseY) const;
  bool HitMessage(int mouseX, int mouseY) const;
  // True when the point lands on a transparent pixel of picture 0.
  bool OnKeyedPixel(int mouseX, int mouseY) const;

  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  int32_t hitX;
  int32_t hitY;
  int32_t hitW;
  int32_t hitH;
  int32_t originX;
  int32_t originY;
  int32_t state;
  int32_t frameOffset;
  PtrArray* images;
  int32_t clicked;
  int32_t clickButton;
  char name[64];
  int32_t enabled;
  int32_t singleImage;
  int32_t trackDirty;
  int32_t pixelHitTest;
  int32_t mouseOver;
  int32_t forcedFrame;
};
