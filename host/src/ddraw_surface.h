// IDirectDrawSurface over real 16-bit pixels. A surface is one of four kinds:
// an off-screen plain surface of any size; the windowed primary, which stands
// for the whole desktop; or the front or back buffer of a full-screen flipping
// chain. The DirectDraw object creates them (ddraw_object.cpp); Blt lives in
// ddraw_blt.cpp.
//
// Windows behaviour reproduced: the pitch is in bytes and wider than the row
// (callers that assume width * 2 go wrong here as they would on some cards);
// Flip swaps the memory behind the front and back objects, so the back buffer
// then holds the frame before last; a locked surface, or one whose DC is out,
// refuses blits with DDERR_SURFACEBUSY; GetDC twice is DDERR_DCALREADYCREATED.
// Whatever lands on a visible surface (the front buffer, or the desktop primary
// under the window) is handed to the emulated screen at once.
// FIXME: surfaces are never lost; memory starts black rather than undefined;
// the DC is a token that no GDI call can draw with.
#pragma once

#include <ddraw.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "blit_kernels.h"

namespace host {

class DirectDrawClipper;

enum class PixelLayout { Rgb565, Rgb555 };

// What a DirectDraw object shares with the surfaces it made: they outlive it
// when a program releases the object first.
struct DisplayState {
  HWND cooperativeWindow = nullptr;
  DWORD cooperativeFlags = 0;  // 0 until SetCooperativeLevel
  int modeWidth = 0;           // set by SetDisplayMode; 0 while the desktop's mode holds
  int modeHeight = 0;
  bool primaryExists = false;

  bool IsExclusiveFullScreen() const {
    return (cooperativeFlags & (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) == (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  }
};

enum class SurfaceRole { OffScreen, DesktopPrimary, FrontBuffer, BackBuffer };

// Structure sizes a 32-bit Windows program writes into dwSize. Ours are larger
// (64-bit pointers), and both are accepted.
constexpr DWORD kWindowsSurfaceDescSize = 108;
constexpr DWORD kWindowsBltFxSize = 100;

class DirectDrawSurface final : public IDirectDrawSurface {
 public:
  DirectDrawSurface(SurfaceRole role, int width, int height, PixelLayout layout, DWORD caps,
                    std::shared_ptr<DisplayState> display);

  // The front buffer keeps its back buffer alive and hands it out through
  // GetAttachedSurface; it takes over the reference passed in.
  void AttachBackBuffer(DirectDrawSurface* back);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE srcSurface, LPRECT srcRect, DWORD flags,
                                LPDDBLTFX bltFx) override;
  HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE targetOverride, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* attachedSurface) override;
  HRESULT STDMETHODCALLTYPE GetDC(HDC* hdc) override;
  HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC surfaceDesc) override;
  HRESULT STDMETHODCALLTYPE IsLost() override;
  HRESULT STDMETHODCALLTYPE Lock(LPRECT destRect, LPDDSURFACEDESC surfaceDesc, DWORD flags, HANDLE event) override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hdc) override;
  HRESULT STDMETHODCALLTYPE Restore() override;
  HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
  HRESULT STDMETHODCALLTYPE SetColorKey(DWORD flags, LPDDCOLORKEY colorKey) override;
  HRESULT STDMETHODCALLTYPE Unlock(LPVOID surfaceData) override;

 private:
  ~DirectDrawSurface();

  bool IsBusy() const { return locked_ || dcOut_; }
  RECT Bounds() const { return RECT{0, 0, width_, height_}; }
  blit::SourcePixels SourceAt(int x, int y) const;
  blit::DestinationPixels DestinationAt(int x, int y);
  void FillDescription(DDSURFACEDESC* desc) const;
  // Shows the surface's picture if it is on screen: the whole front buffer, or
  // the part of the desktop primary under the window's client area. `changed`
  // false: the pixels are those shown last, so the screen need not be redrawn.
  void PresentIfVisible(bool changed = true);
  bool IsVisible() const { return role_ == SurfaceRole::FrontBuffer || role_ == SurfaceRole::DesktopPrimary; }
  // Where a blit onto this surface may draw: the whole surface, or with a
  // clipper the window's client area on it. False: the clipper has no window.
  bool ClipRegion(RECT* region) const;
  HRESULT ColorFill(const RECT& visible, uint16_t pixel);
  HRESULT Copy(const RECT& destination, const RECT& visible, DirectDrawSurface& source, const RECT& sourceRect,
               bool keyed);

  ULONG references_ = 1;
  SurfaceRole role_;
  int width_;
  int height_;
  int32_t pitchBytes_;
  PixelLayout layout_;
  DWORD caps_;
  std::vector<uint16_t> pixels_;  // height_ rows, pitchBytes_ apart
  bool hasSourceKey_ = false;
  DDCOLORKEY sourceKey_{};
  bool sourceKeyIsRange_ = false;  // set with DDCKEY_COLORSPACE
  bool locked_ = false;
  bool dcOut_ = false;
  HDC__ dcToken_{};
  DirectDrawClipper* clipper_ = nullptr;      // referenced
  DirectDrawSurface* backBuffer_ = nullptr;   // referenced; front buffers only
  std::shared_ptr<DisplayState> display_;
};

// The pixel format a DDPIXELFORMAT names, if it is one the host draws.
bool PixelLayoutFromFormat(const DDPIXELFORMAT& format, PixelLayout* layout);
bool IsAcceptedSurfaceDescSize(DWORD size);

}  // namespace host
