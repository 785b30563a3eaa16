// IDirectDrawClipper: a clipper tied to a window with SetHWnd clips blits onto
// the surface it is attached to against the window's client area in screen
// coordinates, which is how a windowed program draws onto the desktop's primary
// surface without painting over other windows.
// FIXME: no clip lists of our own (SetClipList) and no overlapping windows: the
// client rectangle is the whole visible region.
#pragma once

#include <ddraw.h>

namespace host {

class DirectDrawClipper final : public IDirectDrawClipper {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND hWnd) override;

  HWND Window() const { return window_; }

 private:
  ~DirectDrawClipper() = default;

  ULONG references_ = 1;
  HWND window_ = nullptr;
};

// The window's client rectangle in screen coordinates; false when the window
// does not answer.
bool ClientRectOnScreen(HWND window, RECT* rect);

}  // namespace host
