// DirectDrawCreate and the DirectDraw object: cooperative level, display mode,
// surface and clipper creation, and the IDirectDraw7 interface that programs ask
// for only to prove that DirectX 7 is installed.
//
// Windows behaviour reproduced: DDSCL_EXCLUSIVE goes with DDSCL_FULLSCREEN and
// a window, DDSCL_NORMAL with neither; a primary surface needs a cooperative
// level first (DDERR_NOCOOPERATIVELEVELSET), takes no size of its own, and only
// one exists at a time (DDERR_PRIMARYSURFACEALREADYEXISTS); a flipping chain
// (DDSCAPS_FLIP | DDSCAPS_COMPLEX with a back-buffer count) and SetDisplayMode
// need exclusive full-screen mode (DDERR_NOEXCLUSIVEMODE). In normal mode the
// primary surface is the whole desktop. Releasing the object restores the
// desktop's display mode. Surfaces and clippers live on after the object is
// released until their own last Release.
// Host choices: the emulated display is always 16-bit 5-6-5, whatever the
// desktop's depth; off-screen surfaces take that format unless created with an
// explicit 5-5-5 or 5-6-5 DDPIXELFORMAT. Settings can make DirectDrawCreate fail
// or QueryInterface refuse IDirectDraw7, as on a machine without DirectX 7.
// FIXME: one back buffer at most; modes 640 x 480, 800 x 600 and 1024 x 768 at
// 16 bits only; SetDisplayMode needs exclusive mode (Windows would change the
// desktop's mode); no palettes, no IDirectDraw7 methods beyond IUnknown.
#include <ddraw.h>
#include <windows.h>

#include <memory>
#include <new>

#include "ddraw_clipper.h"
#include "ddraw_surface.h"
#include "host/control.h"
#include "presenter.h"

extern "C" const GUID IID_IDirectDraw7 = {0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

namespace host {
namespace {

constexpr int kLargestSurfaceSide = 16384;

struct DisplayMode {
  int width;
  int height;
};
constexpr DisplayMode kDisplayModes[] = {{640, 480}, {800, 600}, {1024, 768}};

DisplayMode DesktopSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// Holds the DirectDraw object alive and answers nothing but IUnknown.
class DirectDraw7Interface final : public IDirectDraw7 {
 public:
  explicit DirectDraw7Interface(IDirectDraw* owner) : owner_(owner) { owner_->AddRef(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IDirectDraw7)) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IDirectDraw7*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  ~DirectDraw7Interface() { owner_->Release(); }

  ULONG references_ = 1;
  IDirectDraw* owner_;
};

class DirectDrawObject final : public IDirectDraw {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IDirectDraw7) || settings().directDraw7Missing) return E_NOINTERFACE;
    *object = static_cast<IDirectDraw7*>(new DirectDraw7Interface(this));
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override {
    if (clipper == nullptr || outer != nullptr) return DDERR_INVALIDPARAMS;
    *clipper = new DirectDrawClipper();
    return DD_OK;
  }

  HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC surfaceDesc, LPDIRECTDRAWSURFACE* surface,
                                          IUnknown* outer) override {
    if (surface == nullptr) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (surfaceDesc == nullptr || outer != nullptr || !IsAcceptedSurfaceDescSize(surfaceDesc->dwSize) ||
        (surfaceDesc->dwFlags & DDSD_CAPS) == 0)
      return DDERR_INVALIDPARAMS;
    if ((surfaceDesc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) return CreatePrimary(*surfaceDesc, surface);
    return CreateOffScreen(*surfaceDesc, surface);
  }

  HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override {
    if (display_->modeWidth == 0) return DD_OK;
    display_->modeWidth = display_->modeHeight = 0;
    const DisplayMode desktop = DesktopSize();
    SetFullScreenDisplay(false, desktop.width, desktop.height);
    Trace("DirectDraw: desktop display mode restored");
    return DD_OK;
  }

  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hWnd, DWORD flags) override {
    const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    const bool fullScreen = (flags & DDSCL_FULLSCREEN) != 0;
    const bool normal = (flags & DDSCL_NORMAL) != 0;
    if (exclusive != fullScreen || normal == exclusive || (exclusive && hWnd == nullptr)) return DDERR_INVALIDPARAMS;
    display_->cooperativeWindow = hWnd;
    display_->cooperativeFlags = flags;
    Trace("DirectDraw: cooperative level %s", exclusive ? "exclusive full-screen" : "normal");
    return DD_OK;
  }

  HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp) override {
    if (!display_->IsExclusiveFullScreen()) return DDERR_NOEXCLUSIVEMODE;
    bool known = false;
    for (const DisplayMode& mode : kDisplayModes)
      known = known || (static_cast<DWORD>(mode.width) == width && static_cast<DWORD>(mode.height) == height);
    if (!known || bpp != 16) return DDERR_INVALIDMODE;
    display_->modeWidth = static_cast<int>(width);
    display_->modeHeight = static_cast<int>(height);
    SetFullScreenDisplay(true, display_->modeWidth, display_->modeHeight);
    Trace("DirectDraw: display mode %ux%ux%u", width, height, bpp);
    return DD_OK;
  }

 private:
  ~DirectDrawObject() { RestoreDisplayMode(); }

  DisplayMode CurrentMode() const {
    return display_->modeWidth != 0 ? DisplayMode{display_->modeWidth, display_->modeHeight} : DesktopSize();
  }

  HRESULT CreatePrimary(const DDSURFACEDESC& desc, LPDIRECTDRAWSURFACE* surface) {
    const DWORD caps = desc.ddsCaps.dwCaps;
    if (display_->cooperativeFlags == 0) return DDERR_NOCOOPERATIVELEVELSET;
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_LPSURFACE)) != 0)
      return DDERR_INVALIDPARAMS;
    if ((caps & (DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER | DDSCAPS_OFFSCREENPLAIN)) != 0) return DDERR_INVALIDCAPS;
    if (display_->primaryExists) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    const DisplayMode mode = CurrentMode();

    if ((caps & DDSCAPS_FLIP) == 0) {
      if ((caps & DDSCAPS_COMPLEX) != 0 || (desc.dwFlags & DDSD_BACKBUFFERCOUNT) != 0) return DDERR_INVALIDCAPS;
      *surface = new DirectDrawSurface(SurfaceRole::DesktopPrimary, mode.width, mode.height, PixelLayout::Rgb565,
                                       DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY, display_);
      Trace("DirectDraw: primary surface %dx%d", mode.width, mode.height);
      return DD_OK;
    }

    if (!display_->IsExclusiveFullScreen()) return DDERR_NOEXCLUSIVEMODE;
    if ((caps & DDSCAPS_COMPLEX) == 0 || (desc.dwFlags & DDSD_BACKBUFFERCOUNT) == 0 || desc.dwBackBufferCount == 0)
      return DDERR_INVALIDCAPS;
    if (desc.dwBackBufferCount != 1) return DDERR_INVALIDPARAMS;  // FIXME: triple buffering
    constexpr DWORD kChainCaps = DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    auto* front = new DirectDrawSurface(SurfaceRole::FrontBuffer, mode.width, mode.height, PixelLayout::Rgb565,
                                        kChainCaps | DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER, display_);
    front->AttachBackBuffer(new DirectDrawSurface(SurfaceRole::BackBuffer, mode.width, mode.height,
                                                  PixelLayout::Rgb565, kChainCaps | DDSCAPS_BACKBUFFER, display_));
    *surface = front;
    Trace("DirectDraw: flipping chain %dx%d", mode.width, mode.height);
    return DD_OK;
  }

  HRESULT CreateOffScreen(const DDSURFACEDESC& desc, LPDIRECTDRAWSURFACE* surface) {
    const DWORD caps = desc.ddsCaps.dwCaps;
    constexpr DWORD kChainOnly = DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    if ((caps & kChainOnly) != 0) return DDERR_INVALIDCAPS;
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) || desc.dwWidth == 0 ||
        desc.dwHeight == 0 || (desc.dwFlags & DDSD_LPSURFACE) != 0)  // FIXME: client memory
      return DDERR_INVALIDPARAMS;
    if (desc.dwWidth > kLargestSurfaceSide || desc.dwHeight > kLargestSurfaceSide) return DDERR_OUTOFMEMORY;
    PixelLayout layout = PixelLayout::Rgb565;
    if ((desc.dwFlags & DDSD_PIXELFORMAT) != 0 && !PixelLayoutFromFormat(desc.ddpfPixelFormat, &layout))
      return DDERR_INVALIDPIXELFORMAT;
    const DWORD memory = (caps & DDSCAPS_VIDEOMEMORY) != 0 ? 0 : DDSCAPS_SYSTEMMEMORY;
    DirectDrawSurface* created = nullptr;
    try {  // no exception reaches the game: memory running out is a result code
      created = new DirectDrawSurface(SurfaceRole::OffScreen, static_cast<int>(desc.dwWidth),
                                      static_cast<int>(desc.dwHeight), layout, caps | memory, display_);
    } catch (const std::bad_alloc&) {
      return DDERR_OUTOFMEMORY;
    }
    if ((desc.dwFlags & DDSD_CKSRCBLT) != 0) created->SetColorKey(DDCKEY_SRCBLT, const_cast<DDCOLORKEY*>(&desc.ddckCKSrcBlt));
    *surface = created;
    return DD_OK;
  }

  ULONG references_ = 1;
  std::shared_ptr<DisplayState> display_ = std::make_shared<DisplayState>();
};

}  // namespace
}  // namespace host

HRESULT WINAPI DirectDrawCreate(GUID* driverGuid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
  if (directDraw == nullptr || outer != nullptr) return DDERR_INVALIDPARAMS;
  *directDraw = nullptr;
  if (host::settings().directDrawCreateFails) {
    host::Trace("DirectDrawCreate: refused (no DirectX)");
    return DDERR_GENERIC;
  }
  *directDraw = new host::DirectDrawObject();
  return DD_OK;
}
