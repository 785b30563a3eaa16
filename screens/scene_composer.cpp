#include "screens/scene_composer.h"

#include "gfx/surface_utils.h"

SceneComposer sceneComposer;

namespace {

// Every copy keeps the rectangle's place and honours the source's colour key.
// A missing surface on either side (no background yet, a popup between
// pictures) simply copies nothing.
void CopyRect(LPDIRECTDRAWSURFACE source, LPDIRECTDRAWSURFACE destination, const RestoreRequest& rect) {
  if (source == NULL || destination == NULL) return;
  BlitClipped(source, rect.x, rect.y, rect.width, rect.height, destination, rect.x, rect.y, kBlitKeyedWait);
}

RestoreRequest* NewRequest(int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags) {
  RestoreRequest* request = new RestoreRequest;
  request->x = x;
  request->y = y;
  request->width = width;
  request->height = height;
  request->flags = flags;
  request->ownerBackground = NULL;
  return request;
}

}  // namespace

SceneComposer::SceneComposer() : current(0), background(NULL), backdrop(NULL) {}

SceneComposer::~SceneComposer() {
  for (PtrArray& list : lists) {
    for (int32_t i = 0; i < list.Count(); ++i) delete list.At<RestoreRequest>(i);
  }
}

void SceneComposer::SetBackground(LPDIRECTDRAWSURFACE surface) {
  // Applying onto no surface copies nothing: it only drops the one-shot requests.
  ApplyRequests(&lists[0], NULL);
  ApplyRequests(&lists[1], NULL);
  background = surface;
}

void SceneComposer::SetBackdrop(LPDIRECTDRAWSURFACE surface) { backdrop = surface; }

LPDIRECTDRAWSURFACE SceneComposer::GetBackground() { return background; }

LPDIRECTDRAWSURFACE SceneComposer::GetBackdrop() { return backdrop; }

void SceneComposer::RestoreAll() {
  // Without a background there is nothing to measure, refresh or restore from.
  if (background == NULL) return;
  int width = 0, height = 0;
  GetSurfaceSize(background, &width, &height);
  RestoreRect(0, 0, width, height);
}

void SceneComposer::RestoreRect(int32_t x, int32_t y, int32_t width, int32_t height) {
  RestoreRequest* request = NewRequest(x, y, width, height, RestoreOnce | RestoreFromBackground);
  CopyRect(backdrop, background, *request);
  File(request);
}

void SceneComposer::AddRequest(int32_t x, int32_t y, int32_t width, int32_t height, int32_t flagsA,
                               int32_t flagsB) {
  File(NewRequest(x, y, width, height, flagsA | flagsB));
}

void SceneComposer::AddRequestRect(const RECT& rect, int32_t flagsA, int32_t flagsB) {
  File(NewRequest(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, flagsA | flagsB));
}

void SceneComposer::SwitchBuffer() { current = 1 - current; }

void SceneComposer::UpdateBackSurface(LPDIRECTDRAWSURFACE back) { ApplyRequests(&lists[current], back); }

void SceneComposer::File(RestoreRequest* request) {
  request->ownerBackground = background;
  lists[current].Append(request);
}

void SceneComposer::ApplyRequests(PtrArray* list, LPDIRECTDRAWSURFACE back) {
  int32_t i = 0;
  while (i < list->Count()) {
    RestoreRequest* request = list->At<RestoreRequest>(i);
    if ((request->flags & RestoreFromBackground) != 0 && request->ownerBackground == background)
      CopyRect(background, back, *request);
    if ((request->flags & RestoreOnce) != 0) {
      // The next request slides into this place, so the index stays: every
      // request is visited, none is skipped.
      list->Remove(request);
      delete request;
    } else {
      ++i;
    }
  }
}
