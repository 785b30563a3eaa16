// The emulated screen and native windows over SDL2.
//
// A visible game window becomes an SDL window of the same client size at the
// same place; its SDL events become window messages. Pictures that DirectDraw
// presents are shown 1:1 in a window, or, once the display has been switched to
// full-screen, scaled to fill the screen with their aspect kept. The emulated
// display is 16-bit whatever the desktop's depth.
// Headless (SDL's dummy driver, or no display to be had) there is no native
// window: pictures are only kept, for screenshots.
// MessageBoxA writes its text to standard error and, with a display, shows it.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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
SDL_Window* sdlWindow = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
int textureWidth = 0, textureHeight = 0;
Uint32 textureFormat = 0;
Window* nativeOwner = nullptr;
bool fullScreenDisplay = false;
int displayWidth = 0, displayHeight = 0;

std::vector<uint16_t> lastPicture;
int lastWidth = 0, lastHeight = 0;
bool lastIs565 = true;

void StartSdl() {
  if (sdlStarted) return;
  sdlStarted = true;
  runHeadless = settings().headless;
  if (!runHeadless && SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
    // SDL's dummy driver (chosen through SDL_VIDEODRIVER) has no display either.
    const char* driver = SDL_GetCurrentVideoDriver();
    runHeadless = driver != nullptr && std::strcmp(driver, "dummy") == 0;
    return;
  }
  if (!runHeadless) std::fprintf(stderr, "gloomgrid: no display (%s); running headless\n", SDL_GetError());
  runHeadless = true;
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  SDL_InitSubSystem(SDL_INIT_VIDEO);
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
      if (!fullScreenDisplay) WindowMovedTo(window, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      if (!fullScreenDisplay) {
        window->clientWidth = event.data1;
        window->clientHeight = event.data2;
      }
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      SDL_GetWindowSize(sdlWindow, &width, &height);
      if (!fullScreenDisplay) WindowResized(window, width, height, true);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      SDL_GetWindowSize(sdlWindow, &width, &height);
      if (!fullScreenDisplay && window->maximized) WindowResized(window, width, height, false);
      break;
    default:
      break;
  }
}

void ShowPicture(const uint16_t* pixels, int pitchBytes, int width, int height, bool is565) {
  Uint32 format = is565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB555;
  if (!texture || width != textureWidth || height != textureHeight || format != textureFormat) {
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
  SDL_Rect target{0, 0, width, height};
  SDL_RenderCopy(renderer, texture, nullptr, fullScreenDisplay ? nullptr : &target);
  SDL_RenderPresent(renderer);
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
    *width = mode.w;
    *height = mode.h;
  }
}

void CreateNativeWindow(Window* window) {
  if (IsHeadless() || sdlWindow) return;
  Uint32 flags = SDL_WINDOW_SHOWN;
  if (window->style & WS_MAXIMIZEBOX) flags |= SDL_WINDOW_RESIZABLE;
  if (!(window->style & WS_SYSMENU)) flags |= SDL_WINDOW_BORDERLESS;
  sdlWindow = SDL_CreateWindow(window->title.c_str(), window->x, window->y, window->clientWidth,
                               window->clientHeight, flags);
  if (!sdlWindow) {
    std::fprintf(stderr, "gloomgrid: cannot open a window: %s\n", SDL_GetError());
    return;
  }
  renderer = SDL_CreateRenderer(sdlWindow, -1, 0);
  if (!renderer) renderer = SDL_CreateRenderer(sdlWindow, -1, SDL_RENDERER_SOFTWARE);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  nativeOwner = window;
  if (fullScreenDisplay) SetFullScreenDisplay(true, displayWidth, displayHeight);
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
        InjectMouseMove(event.motion.x, event.motion.y);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT || event.button.button == SDL_BUTTON_RIGHT) {
          SetCursorClientPosition(event.button.x, event.button.y);
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

void PresentPicture(const uint16_t* pixels, int pitchBytes, int width, int height, bool is565) {
  // A copy of each picture is kept only where a screenshot may be asked for:
  // headless runs, scripted runs and runs that save one at exit.
  const Settings& s = settings();
  bool keepCopy = IsHeadless() || !s.screenshotPath.empty() || !s.scriptPath.empty();
  if (renderer) ShowPicture(pixels, pitchBytes, width, height, is565);
  if (!keepCopy) return;
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
  if (!settings().screenshotPath.empty()) SaveScreenshot(settings().screenshotPath.c_str());
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
  if (host::settings().headless || host::runHeadless) return IDOK;
  Uint32 kind = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
  SDL_ShowSimpleMessageBox(kind, shownCaption, text ? text : "", nullptr);
  return IDOK;
}
