// The base of every screen the screen manager runs and of every popup: a name,
// the DirectDraw object and surface it draws on while active, its named images,
// its control panel of buttons, and Present, which shows a finished frame.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "gfx/ptr_array.h"

class Button;
class ControlPanel;
class ScreenImage;

class Screen {
 public:
  Screen();
  // Virtual, so a derived screen deleted through a Screen* is destroyed whole.
  virtual ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // Makes the image list and the control panel, where missing.
  virtual void Create();
  virtual void Activate(LPDIRECTDRAW newDirectDraw, LPDIRECTDRAWSURFACE surface);
  // Destroys the control panel with its buttons and frees every image.
  virtual void Deactivate();
  virtual int HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  virtual int Frame(int flag);
  virtual void SetName(const char* newName);
  virtual const char* GetName();
  // Loads a picture into the image list under its file name; null if it
  // cannot be loaded (nothing is added).
  virtual ScreenImage* LoadImage(const char* file);
  virtual void FreeImages();
  // Takes the image out of the list without destroying it.
  virtual void RemoveImage(ScreenImage* image);
  virtual void SetComposerBackground(LPDIRECTDRAWSURFACE surface);
  virtual void SetComposerBackdrop(LPDIRECTDRAWSURFACE surface);
  // Loads the images an image-set profile file names; always 0.
  virtual int LoadImageSet(const char* path);
  virtual ScreenImage* FindImage(const char* imageName);
  virtual int DrawImage(LPDIRECTDRAWSURFACE target, const char* imageName, int x, int y);
  virtual int DrawImageAtHome(LPDIRECTDRAWSURFACE target, const char* imageName);
  // Draws the cursor, flips, erases the cursor and lets the scene composer
  // catch up. Returns the flip's result: 0 means the display is gone.
  virtual int Present();
  virtual void SetOwner(Screen* newOwner);
  // The button takes the panel's origin; the panel owns it from then on.
  virtual void AddButton(Button* button);

  ControlPanel* GetPanel() const { return panel; }
  PtrArray* GetImages() const { return images; }

 protected:
  char name[256];
  LPDIRECTDRAW directDraw;
  LPDIRECTDRAWSURFACE drawSurface;
  ControlPanel* panel;
  PtrArray* images;
  ScreenImage* backgroundImage;
  ScreenImage* backdropImage;
  Screen* owner;
};
