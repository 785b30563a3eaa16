// The buttons of one screen, in the order they were added.
//
// The panel owns its buttons: destroying it destroys every one. Each frame the
// game feeds the panel the polled mouse and then asks which named button was
// clicked in that update. Main thread only.
#pragma once

#include <cstdint>

#include "gfx/ptr_array.h"
#include "screens/button.h"

class ControlPanel {
 public:
  ControlPanel();
  ~ControlPanel();
  ControlPanel(const ControlPanel&) = delete;
  ControlPanel& operator=(const ControlPanel&) = delete;

  // Takes the button over as it is; the screen's AddButton gives it the panel's
  // origin first. A null button is ignored.
  void Add(Button* button);
  // Every button's Feed with the same values, in order.
  void Feed(int mouseX, int mouseY, int buttonBits);
  void Redraw();
  // The first button whose click completed in this update, or null.
  Button* ClickedButton();
  // 1 when the clicked button (the first one, if several were) has this name,
  // compared exactly; else 0.
  int WasClicked(const char* buttonName);
  // Moves the panel and every button in it.
  void SetOrigin(int x, int y);
  // The first button with exactly this name, or null.
  Button* Find(const char* buttonName);

  int GetOriginX() const { return originX; }
  int GetOriginY() const { return originY; }
  int GetButtonCount() const { return buttons->Count(); }
  Button* GetButton(int index) const { return buttons->At<Button>(index); }

 private:
  PtrArray* buttons;
  int32_t originX;
  int32_t originY;
};
