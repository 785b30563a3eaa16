// The emulated screen and native windows over SDL2.
//
// A visible game window becomes an SDL window of the same client size at the
// same place; its SDL events become window messages. Pictures that DirectDraw
// presents are shown in a window enlarged by a whole factor, or, once the
// display has been switched to full-screen, scaled to fill the screen with
// their aspect kept. The emulated display is 16-bit whatever the desktop's depth.
// The window's factor is what Windows does for a program that knows nothing
// of display scaling: the program is told of a desktop that much smaller, and
// its window, positions and mouse are enlarged and shrunk on the way, so that
// the game only ever sees its own 800 x 600 client coordinates. The factor is
// GLOOMGRID_SCALE, or the largest whole one at which the desktop the game is
// told of (the usable area shrunk by it) keeps room for the window twice across
// and one and a half times down, as a desktop scale would: 2 on a 3840 x 2160
// desktop, 1 on 1920 x 1080 and below. The largest factor that merely fits
// would cover most of the screen (3 on 3840 x 2160).
// The window's icon is icon.bmp of the game folder; without it there is none.
// Headless (GLOOMGRID_HOST_HEADLESS=1 or SDL_VIDEODRIVER=dummy: only ever asked
// for, never a fallback) there is no native window: pictures are only kept, for
// screenshots. Without a display that was not asked to be headless, the game's
// window cannot be created: one line on standard error (and a message box where
// one can be shown) says why, and CreateWindowExA fails, as it would on Windows.
// SDL would otherwise start its invisible "offscreen" driver and the game would
// run unseen.
// The SDL window is made once: with the OpenGL flag from the start when the
// OpenGL renderer is there (SDL would otherwise destroy the window and make a
// new one while creating that renderer), else plain with the software renderer.
// MessageBoxA writes its text to standard error and, with a display, shows it.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/control.h"
#include "input_state.h"
#include "png_writer.h"
#include "presenter.h"
#include "video.h"

namespace host {
namespace {

bool sdlStarted = false;
bool runHeadless = false;
std::string displayProblem;  // why no display could be opened; empty when one was
SDL_Window* sdlWindow = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
int textureWidth = 0, textureHeight = 0;
Uint32 textureFormat = 0;
Window* nativeOwner = nullptr;
bool fullScreenDisplay = false;
int displayWidth = 0, displayHeight = 0;
int windowScale = 1;  // screen pixels per client pixel of a window (see the opening note)

std::vector<uint16_t> lastPicture;
int lastWidth = 0, lastHeight = 0;
bool lastIs565 = true;

// Whether the window shows the picture presented last. The game presents every
// 10 ms frame, changed or not; drawing an unchanged picture again would keep a
// renderer busy while the game only waits for the player, so it is drawn only
// when DirectDraw says it differs from the last one, or when the window may
// have lost it (any window event).
bool windowShowsPicture = false;

void StartSdl() {
  if (sdlStarted) return;
  sdlStarted = true;
  runHeadless = settings().headless;
  windowScale = 1;
  // SIGINT and SIGTERM are the host's own (stop_signals.h), not SDL's.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (runHeadless) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    return;
  }
  // Only the kind of display the environment names is tried: probing for the
  // others prints their own complaints, and the failure is reported once here.
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  bool hasX11 = x11 && *x11, hasWayland = wayland && *wayland;
  if (!std::getenv("SDL_VIDEODRIVER")) {
    if (!hasX11 && !hasWayland) {
      displayProblem = "neither DISPLAY nor WAYLAND_DISPLAY is set";
      return;
    }
    if (hasX11 != hasWayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, hasX11 ? "x11" : "wayland");
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    displayProblem = hasX11 && !hasWayland ? std::string("the X display ") + x11 + " cannot be opened"
                                           : std::string(SDL_GetError());
    return;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
    displayProblem = std::string("only SDL's invisible \"") + driver + "\" video driver started";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return;
  }
  SDL_Rect usable;
  windowScale = settings().windowScale;
  if (windowScale == 0 && SDL_GetDisplayUsableBounds(0, &usable) == 0)
    windowScale = std::min(usable.w / 1600, usable.h / 900);
  windowScale = std::max(windowScale, 1);
  Trace("window scale %d", windowScale);
}

// The game's window on the screen, in screen pixels.
SDL_Rect ScreenRect(const Window* window) {
  return {window->x * windowScale, window->y * windowScale, window->clientWidth * windowScale,
          window->clientHeight * windowScale};
}

void SetIconFromGameFolder() {
  std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> icon(SDL_LoadBMP("icon.bmp"), SDL_FreeSurface);
  if (icon) SDL_SetWindowIcon(sdlWindow, icon.get());
}

int RenderDriverIndex(const char* name) {
  for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
    SDL_RendererInfo info;
    if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, name) == 0) return i;
  }
  return -1;
}

// The window and its renderer, the window made once (see the opening note).
bool OpenSdlWindow(const Window* window, Uint32 flags) {
  const SDL_Rect at = ScreenRect(window);
  int openGl = RenderDriverIndex("opengl");
  if (openGl >= 0) {
    sdlWindow = SDL_CreateWindow(window->title.c_str(), at.x, at.y, at.w, at.h, flags | SDL_WINDOW_OPENGL);
    if (sdlWindow) renderer = SDL_CreateRenderer(sdlWindow, openGl, 0);
    if (sdlWindow && renderer) return true;
    if (sdlWindow) SDL_DestroyWindow(sdlWindow);
    sdlWindow = nullptr;
  }
  sdlWindow = SDL_CreateWindow(window->title.c_str(), at.x, at.y, at.w, at.h, flags);
  if (sdlWindow) renderer = SDL_CreateRenderer(sdlWindow, RenderDriverIndex("software"), 0);
  if (sdlWindow && renderer) return true;
  if (sdlWindow) SDL_DestroyWindow(sdlWindow);
  sdlWindow = nullptr;
  return false;
}

void ReportNoWindow(const std::string& reason) {
  std::string text = "cannot open the game window: " + reason +
                     "; GLOOMGRID_HOST_HEADLESS=1 runs the game without a display";
  std::fprintf(stderr, "gloomgrid: %s\n", text.c_str());
  Trace("no window: %s", reason.c_str());
  if (displayProblem.empty()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Gloom Grid", text.c_str(), nullptr);
}

// A mouse position in the window as the game's client coordinate, rounded down
// also left of and above the window, where a held button takes the mouse.
// Full-screen, the renderer's logical size has already mapped it.
int ClientCoordinate(int windowPixel) {
  if (fullScreenDisplay) return windowPixel;
  return windowPixel >= 0 ? windowPixel / windowScale : -((windowScale - 1 - windowPixel) / windowScale);
}

int VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    default: return 0;
  }
}

void HandleWindowEvent(const SDL_WindowEvent& event) {
  Window* window = nativeOwner;
  if (!window || event.windowID != SDL_GetWindowID(sdlWindow)) return;
  windowShowsPicture = false;
  const int scale = windowScale;
  int width = 0, height = 0;
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      InjectClose();
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      WindowFocusChanged(window, true);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      WindowFocusChanged(window, false);
      break;
    case SDL_WINDOWEVENT_MOVED:
      if (!fullScreenDisplay) WindowMovedTo(window, event.data1 / scale, event.data2 / scale);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      if (!fullScreenDisplay) {
        window->clientWidth = event.data1 / scale;
        window->clientHeight = event.data2 / scale;
      }
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      SDL_GetWindowSize(sdlWindow, &width, &height);
      if (!fullScreenDisplay) WindowResized(window, width / scale, height / scale, true);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      SDL_GetWindowSize(sdlWindow, &width, &height);
      if (!fullScreenDisplay && window->maximized) WindowResized(window, width / scale, height / scale, false);
      break;
    default:
      break;
  }
}

void ShowPicture(const uint16_t* pixels, int pitchBytes, int width, int height, bool is565, bool changed) {
  Uint32 format = is565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB555;
  bool sameTexture = texture && width == textureWidth && height == textureHeight && format == textureFormat;
  if (sameTexture && windowShowsPicture && !changed) return;
  if (!sameTexture) {
    windowShowsPicture = false;
    if (texture) SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
    textureWidth = width;
    textureHeight = height;
    textureFormat = format;
    if (!texture) return;
  }
  SDL_UpdateTexture(texture, nullptr, pixels, pitchBytes);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  SDL_Rect target{0, 0, width * windowScale, height * windowScale};
  SDL_RenderCopy(renderer, texture, nullptr, fullScreenDisplay ? nullptr : &target);
  SDL_RenderPresent(renderer);
  windowShowsPicture = true;
}

}  // namespace

bool IsHeadless() {
  StartSdl();
  return runHeadless;
}

void DesktopSize(int* width, int* height) {
  *width = settings().screenWidth;
  *height = settings().screenHeight;
  SDL_DisplayMode mode;
  if (!IsHeadless() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    *width = mode.w / windowScale;
    *height = mode.h / windowScale;
  }
}

bool CreateNativeWindow(Window* window) {
  if (IsHeadless() || sdlWindow) return true;
  if (!displayProblem.empty()) {
    ReportNoWindow("no display, " + displayProblem);
    return false;
  }
  Uint32 flags = SDL_WINDOW_SHOWN;
  if (window->style & WS_MAXIMIZEBOX) flags |= SDL_WINDOW_RESIZABLE;
  if (!(window->style & WS_SYSMENU)) flags |= SDL_WINDOW_BORDERLESS;
  if (!OpenSdlWindow(window, flags)) {
    ReportNoWindow(SDL_GetError());
    return false;
  }
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SetIconFromGameFolder();
  nativeOwner = window;
  if (fullScreenDisplay) SetFullScreenDisplay(true, displayWidth, displayHeight);
  return true;
}

void DestroyNativeWindow(Window* window) {
  if (window != nativeOwner) return;
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  if (sdlWindow) SDL_DestroyWindow(sdlWindow);
  texture = nullptr;
  renderer = nullptr;
  sdlWindow = nullptr;
  nativeOwner = nullptr;
  windowShowsPicture = false;
}

void SetNativeTitle(Window* window) {
  if (window == nativeOwner && sdlWindow) SDL_SetWindowTitle(sdlWindow, window->title.c_str());
}

void PumpNativeEvents() {
  if (!sdlStarted || runHeadless) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_WINDOWEVENT:
        HandleWindowEvent(event.window);
        break;
      case SDL_MOUSEMOTION:
        InjectMouseMove(ClientCoordinate(event.motion.x), ClientCoordinate(event.motion.y));
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT) {
          SetCursorClientPosition(ClientCoordinate(event.button.x), ClientCoordinate(event.button.y));
          InjectMouseButton(event.button.button == SDL_BUTTON_LEFT ? VK_LBUTTON : VK_RBUTTON,
                            event.type == SDL_MOUSEBUTTONDOWN);
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (int vk = VirtualKey(event.key.keysym.sym)) InjectKey(vk, event.type == SDL_KEYDOWN);
        break;
      default:
        break;
    }
  }
}

void PresentPicture(const uint16_t* pixels, int pitchBytes, int width, int height, bool is565, bool changed) {
  // A copy of each picture is kept only where a screenshot may be asked for:
  // headless runs, scripted runs and runs that save one at exit.
  const Settings& s = settings();
  bool keepCopy = IsHeadless() || !s.screenshotPath.empty() || !s.scriptPath.empty();
  if (renderer) ShowPicture(pixels, pitchBytes, width, height, is565, changed);
  if (!keepCopy) return;
  if (!changed && !lastPicture.empty() && width == lastWidth && height == lastHeight && is565 == lastIs565)
    return;  // the copy holds it already
  lastPicture.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const uint16_t* row = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) + y * pitchBytes);
    std::copy(row, row + width, lastPicture.begin() + static_cast<size_t>(y) * width);
  }
  lastWidth = width;
  lastHeight = height;
  lastIs565 = is565;
}

void SetFullScreenDisplay(bool fullScreen, int width, int height) {
  fullScreenDisplay = fullScreen;
  displayWidth = width;
  displayHeight = height;
  windowShowsPicture = false;
  if (!sdlWindow) return;
  SDL_SetWindowFullscreen(sdlWindow, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  if (renderer) SDL_RenderSetLogicalSize(renderer, fullScreen ? width : 0, fullScreen ? height : 0);
}

bool SaveScreenshot(const char* pngPath) {
  if (lastPicture.empty()) return false;
  std::vector<uint8_t> rgb(lastPicture.size() * 3);
  for (size_t i = 0; i < lastPicture.size(); ++i) {
    uint16_t p = lastPicture[i];
    int r = lastIs565 ? (p >> 11) & 31 : (p >> 10) & 31;
    int g = lastIs565 ? ((p >> 5) & 63) : ((p >> 5) & 31) << 1;  // both as 6 bits
    int b = p & 31;
    rgb[i * 3] = static_cast<uint8_t>(r << 3 | r >> 2);
    rgb[i * 3 + 1] = static_cast<uint8_t>(g << 2 | g >> 4);
    rgb[i * 3 + 2] = static_cast<uint8_t>(b << 3 | b >> 2);
  }
  return WritePng(pngPath, rgb, lastWidth, lastHeight);
}

void ShutdownVideo() {
  const std::string& screenshot = settings().screenshotPath;
  if (!screenshot.empty() && !SaveScreenshot(screenshot.c_str()))
    ReportTestHookFailure("cannot write the screenshot %s%s", screenshot.c_str(),
                          lastPicture.empty() ? " (nothing was shown)" : "");
  if (nativeOwner) DestroyNativeWindow(nativeOwner);
  lastPicture.clear();
  fullScreenDisplay = false;
  if (sdlStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  sdlStarted = false;
}

}  // namespace host

int WINAPI MessageBoxA(HWND hWnd, LPCSTR text, LPCSTR caption, UINT type) {
  const char* shownCaption = caption ? caption : "Error";
  std::fprintf(stderr, "%s: %s\n", shownCaption, text ? text : "");
  host::Trace("MessageBoxA %s", text ? text : "");
  if (host::IsHeadless() || !host::displayProblem.empty()) return IDOK;
  Uint32 kind = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
  SDL_ShowSimpleMessageBox(kind, shownCaption, text ? text : "", nullptr);
  return IDOK;
}
