// IDirectDrawSurface: everything but Blt (ddraw_blt.cpp).
//
// Windows behaviour reproduced: GetSurfaceDesc and Lock fill a DDSURFACEDESC
// whose dwSize the caller has set, and refuse any other size with
// DDERR_INVALIDPARAMS; Lock of a rectangle returns the pointer at that
// rectangle's corner with the whole surface's pitch; a second Lock before Unlock
// is DDERR_SURFACEBUSY and Unlock without Lock DDERR_NOTLOCKED. Colour keys are
// kept as given and reported with DDSD_CKSRCBLT; a key set without
// DDCKEY_COLORSPACE is one colour (its low value), with it an inclusive range.
// FIXME: only source blit keys; Flip ignores its flags (no vertical blank to wait
// for); QueryInterface knows no surface interfaces.
#include "ddraw_surface.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "ddraw_clipper.h"
#include "host/control.h"
#include "presenter.h"

namespace host {
namespace {

// Rows are padded past width * 2 so that code ignoring the pitch is caught.
int32_t PitchFor(int width) {
  constexpr int32_t kAlignment = 8;
  constexpr int32_t kPadding = 16;
  const int32_t rowBytes = width * static_cast<int32_t>(sizeof(uint16_t));
  return (rowBytes + kAlignment - 1) / kAlignment * kAlignment + kPadding;
}

void DescribePixelFormat(PixelLayout layout, DDPIXELFORMAT* format) {
  *format = DDPIXELFORMAT{};
  format->dwSize = sizeof(DDPIXELFORMAT);
  format->dwFlags = DDPF_RGB;
  format->dwRGBBitCount = 16;
  if (layout == PixelLayout::Rgb565) {
    format->dwRBitMask = 0xF800;
    format->dwGBitMask = 0x07E0;
  } else {
    format->dwRBitMask = 0x7C00;
    format->dwGBitMask = 0x03E0;
  }
  format->dwBBitMask = 0x001F;
}

bool IsInside(const RECT& rect, int width, int height) {
  return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
         rect.right <= width && rect.bottom <= height;
}

// The first picture on screen is traced with the system's monotonic clock, so
// that a benchmark can tell how long start-up took from outside.
void TraceFirstPicture() {
  static bool traced = false;
  if (traced) return;
  traced = true;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  Trace("DirectDraw: first picture shown at monotonic %lld us",
        static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000);
}

}  // namespace

bool PixelLayoutFromFormat(const DDPIXELFORMAT& format, PixelLayout* layout) {
  if ((format.dwFlags & DDPF_RGB) == 0 || format.dwRGBBitCount != 16 || format.dwBBitMask != 0x001F) return false;
  if (format.dwRBitMask == 0xF800 && format.dwGBitMask == 0x07E0) {
    *layout = PixelLayout::Rgb565;
    return true;
  }
  if (format.dwRBitMask == 0x7C00 && format.dwGBitMask == 0x03E0) {
    *layout = PixelLayout::Rgb555;
    return true;
  }
  return false;
}

bool IsAcceptedSurfaceDescSize(DWORD size) {
  return size == sizeof(DDSURFACEDESC) || size == kWindowsSurfaceDescSize;
}

DirectDrawSurface::DirectDrawSurface(SurfaceRole role, int width, int height, PixelLayout layout, DWORD caps,
                                     std::shared_ptr<DisplayState> display)
    : role_(role),
      width_(width),
      height_(height),
      pitchBytes_(PitchFor(width)),
      layout_(layout),
      caps_(caps),
      pixels_(static_cast<size_t>(PitchFor(width)) / sizeof(uint16_t) * static_cast<size_t>(height)),
      display_(std::move(display)) {
  if (role_ == SurfaceRole::DesktopPrimary || role_ == SurfaceRole::FrontBuffer) display_->primaryExists = true;
}

DirectDrawSurface::~DirectDrawSurface() {
  if (clipper_ != nullptr) clipper_->Release();
  if (backBuffer_ != nullptr) backBuffer_->Release();
  if (role_ == SurfaceRole::DesktopPrimary || role_ == SurfaceRole::FrontBuffer) display_->primaryExists = false;
}

void DirectDrawSurface::AttachBackBuffer(DirectDrawSurface* back) { backBuffer_ = back; }

HRESULT STDMETHODCALLTYPE DirectDrawSurface::QueryInterface(REFIID riid, void** object) {
  if (object != nullptr) *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DirectDrawSurface::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE DirectDrawSurface::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

blit::SourcePixels DirectDrawSurface::SourceAt(int x, int y) const {
  return {pixels_.data() + static_cast<size_t>(y) * (pitchBytes_ / 2) + x, pitchBytes_};
}

blit::DestinationPixels DirectDrawSurface::DestinationAt(int x, int y) {
  return {pixels_.data() + static_cast<size_t>(y) * (pitchBytes_ / 2) + x, pitchBytes_};
}

HRESULT STDMETHODCALLTYPE DirectDrawSurface::Flip(LPDIRECTDRAWSURFACE targetOverride, DWORD flags) {
  if (role_ != SurfaceRole::FrontBuffer || backBuffer_ == nullptr) return DDERR_NOTFLIPPABLE;
  if (targetOverride != nullptr && targetOverride != backBuffer_) return DDERR_INVALIDPARAMS;
  if (IsBusy() || backBuffer_->IsBusy()) return DDERR_SURFACEBUSY;
  // Only the memory changes hands: the objects keep their roles, so the program's
  // back-buffer pointer now reaches the picture that was on screen.
  std::swap(pixels_, backBuffer_->pixels_);
  // The back buffer now holds the picture shown until now: a game that waits
  // for the player flips the same picture again and again.
  PresentIfVisible(blit::Differ(SourceAt(0, 0), backBuffer_->SourceAt(0, 0), width_, height_));
  return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawSurface::GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* attachedSurface) {
  if (caps == nullptr || attachedSurface == nullptr) return DDERR_INVALIDPARAMS;
  *attachedSurface = nullptr;
  if (backBuffer_ == nullptr || (backBuffer_->caps_ & caps->dwCaps) != caps->dwCaps) return DDERR_NOTFOUND;
  backBuffer_->AddRef();
  *attachedSurface = backBuffer_;
  return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawSurface::GetDC(HDC* hdc) {
  if (hdc == nullptr) return DDERR_INVALIDPARAMS;
  if (dcOut_) return DDERR_DCALREADYCREATED;
  if (locked_) return DDERR_SURFACEBUSY;
  dcOut_ = true;
  *hdc = &dcToken_;
  return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawSurface::ReleaseDC(HDC hdc) {
  if (!dcOut_) return DDERR_NODC;
  if (hdc != &dcToken_) return DDERR_INVALIDPARAMS;
  dcOut_ = false;
  return DD_OK;
}

void DirectDrawSurface::FillDescription(DDSURFACEDESC* desc) const {
  const DWORD size = desc->dwSize;
  *desc = DDSURFACEDESC{};
  desc->dwSize = size;
  desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->dwHeight = static_cast<DWORD>(height_);
  desc->dwWidth = static_cast<DWORD>(width_);
  desc->lPitch = pitchBytes_;
  if (backBuffer_ != nullptr) {
    desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc->dwBackBufferCount = 1;
  }
  if (hasSourceKey_) {
    desc->dwFlags |= DDSD_CKSRCBLT;
    desc->ddckCKSrcBlt = sourceKey_;
  }
  DescribePixelFormat(layout_, &desc->ddpfPixelFormat);
  desc->ddsCaps.dwCaps = caps_;
}

HRESULT STDMETHODCALLTYPE DirectDrawSurface::GetSurfaceDesc(LPDDSURFACEDESC surfaceDesc) {
  if (surfaceDesc == nullptr || !IsAcceptedSurfaceDescSize(surfaceDesc->dwSize)) return DDERR_INVALIDPARAMS;
  FillDescription(surfaceDesc);
  return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawSurface::IsLost() { return DD_OK; }

HRESULT STDMETHODCALLTYPE DirectDrawSurface::Restore() { return DD_OK; }

HRESULT STDMETHODCALLTYPE DirectDrawSurface::Lock(LPRECT destRect, LPDDSURFACEDESC surfaceDesc, DWORD flags,
                                                  HANDLE event) {
  if (surfaceDesc == nullptr || !IsAcceptedSurfaceDescSize(surfaceDesc->dwSize)) return DDERR_INVALIDPARAMS;
  const RECT area = destRect != nullptr ? *destRect : Bounds();
  if (!IsInside(area, width_, height_)) return DDERR_INVALIDPARAMS;
  if (IsBusy()) return DDERR_SURFACEBUSY;
  locked_ = true;
  FillDescription(surfaceDesc);
  surfaceDesc->lpSurface = DestinationAt(area.left, area.top).first;
  return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawSurface::Unlock(LPVOID surfaceData) {
  if (!locked_) return DDERR_NOTLOCKED;
  locked_ = false;
  PresentIfVisible();
  return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawSurface::SetClipper(LPDIRECTDRAWCLIPPER clipper) {
  auto* ours = static_cast<DirectDrawClipper*>(clipper);
  if (ours != nullptr) ours->AddRef();
  if (clipper_ != nullptr) clipper_->Release();
  clipper_ = ours;
  return DD_OK;
}

HRESULT STDMETHODCALLTYPE DirectDrawSurface::SetColorKey(DWORD flags, LPDDCOLORKEY colorKey) {
  if ((flags & DDCKEY_SRCBLT) == 0) return DDERR_UNSUPPORTED;  // FIXME: destination and overlay keys
  hasSourceKey_ = colorKey != nullptr;
  sourceKey_ = colorKey != nullptr ? *colorKey : DDCOLORKEY{};
  sourceKeyIsRange_ = (flags & DDCKEY_COLORSPACE) != 0;
  return DD_OK;
}

bool DirectDrawSurface::ClipRegion(RECT* region) const {
  if (clipper_ == nullptr) {
    *region = Bounds();
    return true;
  }
  RECT client{};
  if (!ClientRectOnScreen(clipper_->Window(), &client)) return false;
  *region = RECT{std::max<LONG>(client.left, 0), std::max<LONG>(client.top, 0), std::min<LONG>(client.right, width_),
                 std::min<LONG>(client.bottom, height_)};
  return true;
}

void DirectDrawSurface::PresentIfVisible(bool changed) {
  if (IsVisible()) TraceFirstPicture();
  const bool is565 = layout_ == PixelLayout::Rgb565;
  if (role_ == SurfaceRole::FrontBuffer) {
    PresentPicture(pixels_.data(), pitchBytes_, width_, height_, is565, changed);
    return;
  }
  if (role_ != SurfaceRole::DesktopPrimary) return;
  const HWND window = clipper_ != nullptr && clipper_->Window() != nullptr ? clipper_->Window()
                                                                           : display_->cooperativeWindow;
  RECT client{};
  if (!ClientRectOnScreen(window, &client)) return;
  // FIXME: a window reaching past the desktop's edge shows only its part on the
  // desktop, shifted to the window's corner.
  const RECT shown{std::max<LONG>(client.left, 0), std::max<LONG>(client.top, 0), std::min<LONG>(client.right, width_),
                   std::min<LONG>(client.bottom, height_)};
  if (shown.left >= shown.right || shown.top >= shown.bottom) return;
  PresentPicture(SourceAt(shown.left, shown.top).first, pitchBytes_, shown.right - shown.left,
                 shown.bottom - shown.top, is565, changed);
}

}  // namespace host
