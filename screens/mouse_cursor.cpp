#include "screens/mouse_cursor.h"

#include "gfx/surface_utils.h"
#include "platform/zq.h"
#include "screens/scene_composer.h"
#include "screens/screen_image.h"

MouseCursor mouseCursor;

namespace {

// The buttons seen by the previous poll; only the polling thread touches them.
int32_t previousLeft = 0;
int32_t previousRight = 0;

// Takes one press off the counter if there is one; returns the count left, or
// -1 when there was none to take.
int32_t ConsumeOnePress(std::atomic<int32_t>& presses) {
  int32_t count = presses.load(std::memory_order_relaxed);
  while (count > 0) {
    if (presses.compare_exchange_weak(count, count - 1, std::memory_order_relaxed)) return count - 1;
  }
  return -1;
}

}  // namespace

MouseCursor::MouseCursor()
    : image(nullptr),
      images(new PtrArray),
      saveSurface{nullptr, nullptr},
      saveIndex(0),
      savedX{-1, -1},
      savedY{0, 0},
      width(0),
      height(0),
      visible(0),
      flipMode(0),
      x(0),
      y(0),
      buttons(0),
      leftPresses(0),
      rightPresses(0),
      pollEnabled(1) {}

MouseCursor::~MouseCursor() { Release(); }

int MouseCursor::Init(const char* file) {
  if (file) {
    ScreenImage* picture = AddImage(file);
    // A picture that cannot be loaded leaves a cursor that never draws.
    if (picture && picture->surface) {
      int w = 0, h = 0;
      GetSurfaceSize(picture->surface, &w, &h);
      width = w;
      height = h;
      SetColorKeyRGB(picture->surface, 0, 0, 0);
      for (auto& save : saveSurface) save = CreateOffscreenSurface(width, height);
    }
  }
  saveIndex = 0;
  savedX[0] = savedX[1] = -1;
  visible = 0;
  flipMode = 0;
  return 1;
}

ScreenImage* MouseCursor::AddImage(const char* file) {
  auto* picture = new ScreenImage(file);
  if (!images) images = new PtrArray;
  images->Append(picture);
  return picture;
}

void MouseCursor::SelectImage(int32_t index) {
  image = (images && index >= 0 && index < images->Count()) ? images->At<ScreenImage>(index) : nullptr;
}

void MouseCursor::Hide() { visible = 0; }

void MouseCursor::SetFlipMode(int32_t mode) { flipMode = mode & 0xFF; }

void MouseCursor::SetPosition(int32_t newX, int32_t newY) {
  x = newX;
  y = newY;
}

void MouseCursor::GetState(int* px, int* py, int* pbuttons, int* pleft, int* pright) {
  if (px) *px = x;
  if (py) *py = y;
  if (pbuttons) *pbuttons = buttons.load(std::memory_order_relaxed);
  int32_t left = ConsumeOnePress(leftPresses);
  if (left >= 0 && pleft) *pleft = left;
  int32_t right = ConsumeOnePress(rightPresses);
  if (right >= 0 && pright) *pright = right;
}

void MouseCursor::Poll() {
  if (pollEnabled.load(std::memory_order_relaxed) == 0) return;
  int dx = 0, dy = 0, bits = 0;
  ZQGetMouseData(&dx, &dy, &bits);
  buttons.store(bits, std::memory_order_relaxed);
  int32_t left = bits & 1;
  int32_t right = (bits >> 1) & 1;
  if (left && !previousLeft) leftPresses.fetch_add(1, std::memory_order_relaxed);
  if (right && !previousRight) rightPresses.fetch_add(1, std::memory_order_relaxed);
  previousLeft = left;
  previousRight = right;
}

void MouseCursor::Draw(LPDIRECTDRAWSURFACE target) { DrawAt(target, x, y); }

void MouseCursor::DrawAt(LPDIRECTDRAWSURFACE target, int32_t drawX, int32_t drawY) {
  LPDIRECTDRAWSURFACE save = saveSurface[saveIndex];
  if (visible && target && save && image && image->surface) {
    RECT covered{drawX, drawY, drawX + width, drawY + height};
    save->Blt(nullptr, target, &covered, DDBLT_WAIT, nullptr);
    sceneComposer.AddRequestRect(covered, RestoreOnce, RestoreFromBackground);
    savedX[saveIndex] = drawX;
    savedY[saveIndex] = drawY;
    target->Blt(&covered, image->surface, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
  }
  saveIndex = flipMode == 1 ? 1 - saveIndex : 0;
}

void MouseCursor::Erase(LPDIRECTDRAWSURFACE target) {
  if (savedX[saveIndex] == -1) return;
  if (target && saveSurface[saveIndex]) {
    RECT saved{savedX[saveIndex], savedY[saveIndex], savedX[saveIndex] + width, savedY[saveIndex] + height};
    target->Blt(&saved, saveSurface[saveIndex], nullptr, DDBLT_WAIT, nullptr);
  }
  savedX[saveIndex] = -1;
}

void MouseCursor::Release() {
  if (images) {
    for (int32_t i = 0; i < images->Count(); ++i) delete images->At<ScreenImage>(i);
    delete images;
    images = nullptr;
  }
  image = nullptr;
  for (auto& save : saveSurface) {
    if (save) save->Release();
    save = nullptr;
  }
}

void MouseCursor::ResetPollHistoryForTest() {
  previousLeft = 0;
  previousRight = 0;
}
