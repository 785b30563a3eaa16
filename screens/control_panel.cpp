#include "screens/control_panel.h"

#include <cstring>

ControlPanel::ControlPanel() : buttons(new PtrArray()), originX(0), originY(0) {}

ControlPanel::~ControlPanel() {
  for (int32_t i = 0; i < buttons->Count(); ++i) delete buttons->At<Button>(i);
  delete buttons;
}

void ControlPanel::Add(Button* button) {
  if (button != NULL) buttons->Append(button);
}

void ControlPanel::Feed(int mouseX, int mouseY, int buttonBits) {
  for (int32_t i = 0; i < buttons->Count(); ++i) buttons->At<Button>(i)->Feed(mouseX, mouseY, buttonBits);
}

void ControlPanel::Redraw() {
  for (int32_t i = 0; i < buttons->Count(); ++i) buttons->At<Button>(i)->Redraw();
}

Button* ControlPanel::ClickedButton() {
  for (int32_t i = 0; i < buttons->Count(); ++i) {
    Button* button = buttons->At<Button>(i);
    if (button->WasClicked()) return button;
  }
  return NULL;
}

int ControlPanel::WasClicked(const char* buttonName) {
  if (buttonName == NULL) return 0;
  // Only the first clicked button counts: a second one clicked by the same
  // release (overlapping buttons) is not reported.
  Button* clickedButton = ClickedButton();
  if (clickedButton == NULL || std::strcmp(clickedButton->GetName(), buttonName) != 0) return 0;
  return clickedButton->WasClicked() ? 1 : 0;
}

void ControlPanel::SetOrigin(int x, int y) {
  originX = x;
  originY = y;
  for (int32_t i = 0; i < buttons->Count(); ++i) buttons->At<Button>(i)->SetOrigin(x, y);
}

Button* ControlPanel::Find(const char* buttonName) {
  if (buttonName == NULL) return NULL;
  for (int32_t i = 0; i < buttons->Count(); ++i) {
    Button* button = buttons->At<Button>(i);
    if (std::strcmp(button->GetName(), buttonName) == 0) return button;
  }
  return NULL;
}
