#include "screens/popup_screen.h"

#include <cstdio>
#include <cstring>

#include "gfx/surface_utils.h"
#include "screens/button.h"
#include "screens/control_panel.h"
#include "screens/mouse_cursor.h"
#include "screens/scene_composer.h"
#include "screens/screen_image.h"
#include "core/game_clock.h"
#include "core/globals.h"
#include "core/message_pump.h"

namespace {

// The client size is the display only when windowed: full-screen, the window
// covers the desktop while the display is 800 x 600, and centring on the
// desktop would put the picture off-centre or off the display.
void DisplaySize(int* width, int* height) {
  *width = fullScreen ? 800 : clientWidth;
  *height = fullScreen ? 600 : clientHeight;
}

}  // namespace

PopupScreen::PopupScreen()
    : pictures(nullptr),
      picture(nullptr),
      done(0),
      rect{-1, -1, -1, -1},
      posX(0),
      posY(0),
      swapBackground(1),
      displayEnd(0),
      closeKey(0),
      ownerButtonsClose(0) {
  Create();
  name[0] = '\0';
}

PopupScreen::~PopupScreen() { PopupScreen::Deactivate(); }

void PopupScreen::Create() {
  DestroyPictures();
  pictures = new PtrArray;
}

void PopupScreen::Deactivate() {
  Screen::Deactivate();
  DestroyPictures();
}

void PopupScreen::DestroyPictures() {
  if (!pictures) return;
  for (int32_t i = 0; i < pictures->Count(); ++i) delete pictures->At<ScreenImage>(i);
  delete pictures;
  pictures = nullptr;
  picture = nullptr;
}

void PopupScreen::SetPosition(int32_t x, int32_t y) {
  if (x == -1 && y == -1) {
    if (rect.left == -1 && rect.top == -1 && picture && picture->surface) {
      int width = 0, height = 0;
      DisplaySize(&width, &height);
      CenterRect(picture->surface, 0, 0, width, height, &rect);
    }
  } else {
    rect.left = x;
    rect.top = y;
    rect.right = x + (picture ? picture->width : 0);
    rect.bottom = y + (picture ? picture->height : 0);
  }
  if (panel) panel->SetOrigin(rect.left, rect.top);
  posX = rect.left;
  posY = rect.top;
}

void PopupScreen::Close(const char* text) {
  if (text) std::snprintf(name, sizeof(name), "%s", text);
  done = 1;
}

int PopupScreen::Run(char* result, const char* pictureName) {
  done = 0;
  if (pictureName) {
    SelectPicture(pictureName);
  } else {
    picture = (pictures && pictures->Count() > 0) ? pictures->At<ScreenImage>(0) : nullptr;
  }
  LPDIRECTDRAWSURFACE previousBackground = nullptr;
  bool swapped = swapBackground == 1;
  if (swapped) {
    previousBackground = sceneComposer.GetBackground();
    sceneComposer.SetBackground(picture ? picture->surface : nullptr);
  }
  name[0] = '\0';

  while (done == 0) {
    int x = 0, y = 0, bits = 0;
    mouseCursor.GetState(&x, &y, &bits, nullptr, nullptr);
    if (PumpMessages() == 1) {
      if (swapped) sceneComposer.SetBackground(previousBackground);
      return 0;
    }
    if (picture) picture->Draw(backSurface, rect.left, rect.top);
    if (panel) {
      panel->Feed(x, y, bits);
      panel->Redraw();
    }
    if (FrameHook(x, y, bits) == 0) {
      if (swapped) sceneComposer.SetBackground(previousBackground);
      return 0;
    }
    if (done == 0 && owner && ownerButtonsClose != 0) {
      if (ControlPanel* ownerPanel = owner->GetPanel()) {
        ownerPanel->Feed(x, y, bits);
        ownerPanel->Redraw();
        if (Button* clicked = ownerPanel->ClickedButton()) {
          std::snprintf(name, sizeof(name), "%s", clicked->GetName());
          done = 1;
        }
      }
    }
    Present();
  }
  if (swapped) sceneComposer.SetBackground(previousBackground);
  if (result) std::snprintf(result, 256, "%s", name);
  return 1;
}

int PopupScreen::FrameHook(int, int, int) { return CheckDone(); }

int PopupScreen::CheckDone() {
  Button* clicked = panel ? panel->ClickedButton() : nullptr;
  if (closeKey != 0 && (GetAsyncKeyState(closeKey) & 0x8000)) {
    std::snprintf(name, sizeof(name), "key");
    done = 1;
  }
  if (clicked) {
    std::snprintf(name, sizeof(name), "%s", clicked->GetName());
    done = 1;
  }
  if (displayEnd != 0 && displayEnd < GetTicks()) done = 1;
  return 1;
}

ScreenImage* PopupScreen::SetPicture(ScreenImage* newPicture) {
  if (newPicture) {
    picture = newPicture;
    SetPosition(-1, -1);
  }
  return newPicture;
}

ScreenImage* PopupScreen::SelectPicture(const char* pictureName) {
  ScreenImage* found = FindPicture(pictureName);
  if (found) {
    picture = found;
  } else {
    picture = (pictures && pictures->Count() > 0) ? pictures->At<ScreenImage>(0) : nullptr;
  }
  SetPosition(-1, -1);
  return picture;
}

ScreenImage* PopupScreen::GetPicture() { return picture; }

ScreenImage* PopupScreen::FindPicture(const char* pictureName) {
  if (!pictures || !pictureName) return nullptr;
  for (int32_t i = 0; i < pictures->Count(); ++i) {
    ScreenImage* candidate = pictures->At<ScreenImage>(i);
    if (std::strcmp(candidate->name, pictureName) == 0) return candidate;
  }
  return nullptr;
}

ScreenImage* PopupScreen::AddPicture(const char* file, const char* pictureName) {
  auto* added = new ScreenImage(file);
  added->SetName(pictureName);
  if (!pictures) pictures = new PtrArray;
  pictures->Append(added);
  SetPicture(added);
  return added;
}

void PopupScreen::SetSwapBackground(int32_t value) { swapBackground = value; }

void PopupScreen::AddDefaultButton() {
  auto* button = new Button(0, 0, picture ? picture->width : 0, picture ? picture->height : 0);
  button->SetName("default");
  AddButton(button);
}

void PopupScreen::SetDisplayEnd(int32_t ticks) { displayEnd = ticks; }

void PopupScreen::SetCloseKey(int32_t virtualKey) { closeKey = virtualKey; }

void PopupScreen::SetOwnerButtonsClose(int32_t value) { ownerButtonsClose = value; }
