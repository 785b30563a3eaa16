// IDirectDrawClipper on a window. SetHWnd only records the window: its client
// area is looked up at every blit, so moving or maximizing the window needs no
// call here, as on Windows.
#include "ddraw_clipper.h"

#include <windows.h>

namespace host {

HRESULT STDMETHODCALLTYPE DirectDrawClipper::QueryInterface(REFIID riid, void** object) {
  // FIXME: IID_IDirectDrawClipper is not known here; the game never asks.
  if (object != nullptr) *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DirectDrawClipper::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE DirectDrawClipper::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT STDMETHODCALLTYPE DirectDrawClipper::SetHWnd(DWORD flags, HWND hWnd) {
  if (flags != 0) return DDERR_INVALIDPARAMS;
  window_ = hWnd;
  return DD_OK;
}

bool ClientRectOnScreen(HWND window, RECT* rect) {
  RECT client{};
  POINT origin{0, 0};
  if (window == nullptr || !GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return false;
  *rect = RECT{origin.x, origin.y, origin.x + (client.right - client.left), origin.y + (client.bottom - client.top)};
  return true;
}

}  // namespace host
