// A picture shown over the running game with its own modal loop: it pumps the
// window messages, reads the mouse, draws and presents until it is clicked, its
// display time ends, its close key is held, or the program is asked to quit.
#pragma once

#include <cstdint>

#include "screens/screen.h"

class PopupScreen : public Screen {
 public:
  PopupScreen();
  ~PopupScreen() override;

  void Create() override;
  void Deactivate() override;

  // (-1, -1) centres the picture on the display unless it was placed before.
  virtual void SetPosition(int32_t x, int32_t y);
  virtual void Close(const char* text);
  // 1 when closed (result receives the closing text; at least 256 bytes), 0
  // when the program is quitting (result untouched).
  virtual int Run(char* result, const char* pictureName);
  virtual int FrameHook(int mouseX, int mouseY, int buttonBits);
  virtual int CheckDone();
  virtual ScreenImage* SetPicture(ScreenImage* newPicture);
  virtual ScreenImage* SelectPicture(const char* pictureName);
  virtual ScreenImage* GetPicture();
  virtual ScreenImage* FindPicture(const char* pictureName);
  virtual ScreenImage* AddPicture(const char* file, const char* pictureName);
  virtual void SetSwapBackground(int32_t value);
  // A hit area over the whole picture named "default": a click anywhere closes.
  virtual void AddDefaultButton();
  // Game clock time after which the popup closes by itself; 0 = never.
  virtual void SetDisplayEnd(int32_t ticks);
  virtual void SetCloseKey(int32_t virtualKey);
  virtual void SetOwnerButtonsClose(int32_t value);

  const RECT& GetRect() const { return rect; }
  int32_t IsDone() const { return done; }

 protected:
  PtrArray* pictures;
  ScreenImage* picture;
  int32_t done;
  RECT rect;
  int32_t posX;
  int32_t posY;
  int32_t swapBackground;
  int32_t displayEnd;
  int32_t closeKey;
  int32_t ownerButtonsClose;

 private:
  void DestroyPictures();
};
