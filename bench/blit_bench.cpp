// How fast the host draws the game's pictures: the colour-keyed 5-6-5 copy
// that every sprite, tile and restored rectangle goes through, measured through
// IDirectDrawSurface::Blt and on the bare kernel, against SDL_BlitSurface with a
// colour key on the same pictures in the same memory; and the opaque copy
// against memcpy. One run prints Google Benchmark's table and then the ratios.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <ddraw.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "blit_kernels.h"
#include "host/control.h"

namespace {

constexpr uint16_t kKey = 0x001F;  // pure blue, the game's transparent colour
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// A keyed picture like the game's artwork: opaque shapes on the key colour,
// their edges a little ragged, about 40% of the pixels transparent. The shapes
// repeat every 86 x 97 pixels, the size of one tile.
std::vector<uint16_t> MakeKeyedPicture(int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint16_t> pixels(static_cast<size_t>(width) * height);
  constexpr double kTileWidth = 86, kTileHeight = 97, kShapeScale = 0.874;  // ellipse covers ~60%
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double u = (std::fmod(x, kTileWidth) + 0.5) / kTileWidth * 2 - 1;
      const double v = (std::fmod(y, kTileHeight) + 0.5) / kTileHeight * 2 - 1;
      bool opaque = u * u + v * v < kShapeScale * kShapeScale;
      if (random() % 50 == 0) opaque = !opaque;  // ragged edges and specks
      uint16_t colour = static_cast<uint16_t>(random());
      if (colour == kKey) colour = 0;
      pixels[static_cast<size_t>(y) * width + x] = opaque ? colour : kKey;
    }
  return pixels;
}

double KeyFraction(const std::vector<uint16_t>& pixels) {
  size_t keyed = 0;
  for (uint16_t pixel : pixels) keyed += pixel == kKey;
  return static_cast<double>(keyed) / static_cast<double>(pixels.size());
}

SDL_Surface* MakeSdlSurface(int width, int height, const std::vector<uint16_t>& pixels) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 16, SDL_PIXELFORMAT_RGB565);
  for (int y = 0; y < height; ++y)
    std::memcpy(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch, &pixels[static_cast<size_t>(y) * width],
                static_cast<size_t>(width) * 2);
  return surface;
}

LPDIRECTDRAWSURFACE MakeDirectDrawSurface(LPDIRECTDRAW directDraw, int width, int height,
                                          const std::vector<uint16_t>& pixels) {
  DDSURFACEDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  LPDIRECTDRAWSURFACE surface = nullptr;
  if (directDraw->CreateSurface(&desc, &surface, nullptr) != DD_OK) return nullptr;
  DDCOLORKEY key{kKey, kKey};
  surface->SetColorKey(DDCKEY_SRCBLT, &key);
  DDSURFACEDESC lock;
  std::memset(&lock, 0, sizeof lock);
  lock.dwSize = sizeof lock;
  surface->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr);
  for (int y = 0; y < height; ++y)
    std::memcpy(static_cast<uint8_t*>(lock.lpSurface) + y * lock.lPitch, &pixels[static_cast<size_t>(y) * width],
                static_cast<size_t>(width) * 2);
  surface->Unlock(nullptr);
  return surface;
}

// One picture blitted onto an 800 x 600 screen-sized destination, held both as
// SDL surfaces and as DirectDraw surfaces.
struct Scene {
  const char* name;
  int width;
  int height;
  int x;
  int y;
  double keyFraction = 0;
  SDL_Surface* sdlSource = nullptr;
  SDL_Surface* sdlRleSource = nullptr;  // SDL keeps only the run-length code of it
  SDL_Surface* sdlScreen = nullptr;
  LPDIRECTDRAWSURFACE ddSource = nullptr;
  LPDIRECTDRAWSURFACE ddScreen = nullptr;
  // Where the DirectDraw surfaces keep their pixels (host memory stays put after Unlock).
  DDSURFACEDESC ddSourcePixels{};
  DDSURFACEDESC ddScreenPixels{};

  int64_t Bytes() const { return int64_t{width} * height * 2; }
  host::blit::SourcePixels KernelSource() const {
    return {static_cast<const uint16_t*>(sdlSource->pixels), sdlSource->pitch};
  }
  host::blit::DestinationPixels KernelDestination() const {
    return {reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(sdlScreen->pixels) + y * sdlScreen->pitch) + x,
            sdlScreen->pitch};
  }
};

Scene scenes[] = {{"background800x600", 800, 600, 0, 0}, {"tile86x97", 86, 97, 357, 251}};

void SetUpScene(Scene& scene, LPDIRECTDRAW directDraw, uint32_t seed) {
  const std::vector<uint16_t> picture = MakeKeyedPicture(scene.width, scene.height, seed);
  const std::vector<uint16_t> screen = MakeKeyedPicture(kScreenWidth, kScreenHeight, seed + 1);
  scene.keyFraction = KeyFraction(picture);
  scene.sdlSource = MakeSdlSurface(scene.width, scene.height, picture);
  scene.sdlScreen = MakeSdlSurface(kScreenWidth, kScreenHeight, screen);
  SDL_SetColorKey(scene.sdlSource, SDL_TRUE, kKey);
  scene.sdlRleSource = MakeSdlSurface(scene.width, scene.height, picture);
  SDL_SetColorKey(scene.sdlRleSource, SDL_TRUE, kKey);
  SDL_SetSurfaceRLE(scene.sdlRleSource, 1);
  scene.ddSource = MakeDirectDrawSurface(directDraw, scene.width, scene.height, picture);
  scene.ddScreen = MakeDirectDrawSurface(directDraw, kScreenWidth, kScreenHeight, screen);
  for (auto [surface, desc] : {std::pair{scene.ddSource, &scene.ddSourcePixels}, {scene.ddScreen, &scene.ddScreenPixels}}) {
    desc->dwSize = sizeof *desc;
    if (surface != nullptr && surface->Lock(nullptr, desc, DDLOCK_WAIT, nullptr) == DD_OK) surface->Unlock(nullptr);
  }
}

// The host's blits must produce the same screen as SDL's, or the comparison
// means nothing: the bare kernel, and Blt three times over, so that the later
// copies go through the runs the surface keeps (a keyed copy repeated gives
// the same picture).
bool BlittersAgreeWithSdl(const Scene& scene) {
  SDL_Surface* ours = SDL_DuplicateSurface(scene.sdlScreen);
  SDL_Surface* theirs = SDL_DuplicateSurface(scene.sdlScreen);
  uint16_t* corner = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(ours->pixels) + scene.y * ours->pitch) + scene.x;
  host::blit::CopyKeyed(scene.KernelSource(), {corner, ours->pitch}, scene.width, scene.height, {kKey, kKey});
  SDL_Rect at{scene.x, scene.y, scene.width, scene.height};
  SDL_BlitSurface(scene.sdlSource, nullptr, theirs, &at);
  const size_t rowBytes = static_cast<size_t>(kScreenWidth) * 2;
  bool same = std::memcmp(ours->pixels, theirs->pixels, static_cast<size_t>(ours->pitch) * ours->h) == 0;
  RECT target{scene.x, scene.y, scene.x + scene.width, scene.y + scene.height};
  for (int i = 0; i < 3; ++i) scene.ddScreen->Blt(&target, scene.ddSource, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
  DDSURFACEDESC lock;
  std::memset(&lock, 0, sizeof lock);
  lock.dwSize = sizeof lock;
  if (scene.ddScreen->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr) != DD_OK) return false;
  for (int y = 0; y < kScreenHeight && same; ++y)
    same = std::memcmp(static_cast<uint8_t*>(lock.lpSurface) + y * lock.lPitch,
                       static_cast<uint8_t*>(theirs->pixels) + y * theirs->pitch, rowBytes) == 0;
  scene.ddScreen->Unlock(nullptr);
  SDL_FreeSurface(ours);
  SDL_FreeSurface(theirs);
  return same;
}

void RegisterSceneBenchmarks(Scene& scene) {
  const std::string prefix = scene.name;
  auto finish = [&scene](benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * scene.Bytes());
    state.counters["key%"] = scene.keyFraction * 100;
  };
  benchmark::RegisterBenchmark((prefix + "/keyed/Blt").c_str(), [&scene, finish](benchmark::State& state) {
    RECT target{scene.x, scene.y, scene.x + scene.width, scene.y + scene.height};
    for (auto _ : state) scene.ddScreen->Blt(&target, scene.ddSource, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    finish(state);
  });
  benchmark::RegisterBenchmark((prefix + "/keyed/kernel").c_str(), [&scene, finish](benchmark::State& state) {
    for (auto _ : state) {
      host::blit::CopyKeyed(scene.KernelSource(), scene.KernelDestination(), scene.width, scene.height, {kKey, kKey});
      benchmark::ClobberMemory();
    }
    finish(state);
  });
  benchmark::RegisterBenchmark((prefix + "/keyed/SDL").c_str(), [&scene, finish](benchmark::State& state) {
    for (auto _ : state) {
      SDL_Rect at{scene.x, scene.y, scene.width, scene.height};
      SDL_BlitSurface(scene.sdlSource, nullptr, scene.sdlScreen, &at);
    }
    finish(state);
  });
  benchmark::RegisterBenchmark((prefix + "/keyed/SDL_RLE").c_str(), [&scene, finish](benchmark::State& state) {
    for (auto _ : state) {
      SDL_Rect at{scene.x, scene.y, scene.width, scene.height};
      SDL_BlitSurface(scene.sdlRleSource, nullptr, scene.sdlScreen, &at);
    }
    finish(state);
  });
  benchmark::RegisterBenchmark((prefix + "/opaque/Blt").c_str(), [&scene, finish](benchmark::State& state) {
    RECT target{scene.x, scene.y, scene.x + scene.width, scene.y + scene.height};
    for (auto _ : state) scene.ddScreen->Blt(&target, scene.ddSource, nullptr, DDBLT_WAIT, nullptr);
    finish(state);
  });
  benchmark::RegisterBenchmark((prefix + "/opaque/kernel").c_str(), [&scene, finish](benchmark::State& state) {
    for (auto _ : state) {
      host::blit::CopyOpaque(scene.KernelSource(), scene.KernelDestination(), scene.width, scene.height);
      benchmark::ClobberMemory();
    }
    finish(state);
  });
  // memcpy row by row between the same surfaces: what an opaque blit cannot beat.
  benchmark::RegisterBenchmark((prefix + "/opaque/memcpy_rows").c_str(), [&scene, finish](benchmark::State& state) {
    const host::blit::SourcePixels from = scene.KernelSource();
    const host::blit::DestinationPixels to = scene.KernelDestination();
    for (auto _ : state) {
      for (int row = 0; row < scene.height; ++row)
        std::memcpy(reinterpret_cast<uint8_t*>(to.first) + row * to.pitchBytes,
                    reinterpret_cast<const uint8_t*>(from.first) + row * from.pitchBytes,
                    static_cast<size_t>(scene.width) * 2);
      benchmark::ClobberMemory();
    }
    finish(state);
  });
  // memcpy row by row between the DirectDraw surfaces opaque/Blt copies
  // between: the same rows in the same memory, what Blt is measured against.
  benchmark::RegisterBenchmark((prefix + "/opaque/memcpy_Blt_rows").c_str(), [&scene, finish](benchmark::State& state) {
    const auto from = static_cast<const uint8_t*>(scene.ddSourcePixels.lpSurface);
    auto* to = static_cast<uint8_t*>(scene.ddScreenPixels.lpSurface) + scene.y * scene.ddScreenPixels.lPitch + scene.x * 2;
    for (auto _ : state) {
      for (int row = 0; row < scene.height; ++row)
        std::memcpy(to + row * scene.ddScreenPixels.lPitch, from + row * scene.ddSourcePixels.lPitch,
                    static_cast<size_t>(scene.width) * 2);
      benchmark::ClobberMemory();
    }
    finish(state);
  });
  // The same number of bytes in one contiguous memcpy: the machine's floor.
  benchmark::RegisterBenchmark((prefix + "/opaque/memcpy_flat").c_str(), [&scene, finish](benchmark::State& state) {
    std::vector<uint8_t> from(static_cast<size_t>(scene.Bytes()), 1), to(static_cast<size_t>(scene.Bytes()));
    for (auto _ : state) {
      std::memcpy(to.data(), from.data(), to.size());
      benchmark::ClobberMemory();
    }
    finish(state);
  });
}

// Keeps each benchmark's CPU time per iteration (the median when repeated) while
// the console reporter prints as usual.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only for a terminal, so that the report can go to a file.
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.run_name.function_name;
      if (run.run_type == Run::RT_Iteration && times_.count(name) == 0) times_[name] = run.GetAdjustedCPUTime();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        times_[name] = run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatio(const std::string& scene, const std::string& ours, const std::string& theirs) const {
    const auto a = times_.find(scene + "/" + ours), b = times_.find(scene + "/" + theirs);
    if (a == times_.end() || b == times_.end()) return;
    const double ratio = a->second / b->second;
    std::printf("  %-18s %-14s / %-19s = %5.2f  (%s %.1fx)\n", scene.c_str(), ours.c_str(), theirs.c_str(), ratio,
                ratio <= 1 ? "faster" : "SLOWER", ratio <= 1 ? 1 / ratio : ratio);
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  host::settings().headless = true;
  LPDIRECTDRAW directDraw = nullptr;
  if (DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK) return 1;
  uint32_t seed = 1;
  for (Scene& scene : scenes) {
    SetUpScene(scene, directDraw, seed += 10);
    if (scene.ddSource == nullptr || scene.ddScreen == nullptr || !BlittersAgreeWithSdl(scene)) {
      std::fprintf(stderr, "%s: our keyed copy and SDL's disagree; not measuring\n", scene.name);
      return 1;
    }
    RegisterSceneBenchmarks(scene);
  }

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nCPU time ratios (below 1: ours is faster):\n");
  for (const Scene& scene : scenes) {
    reporter.PrintRatio(scene.name, "keyed/Blt", "keyed/SDL");
    reporter.PrintRatio(scene.name, "keyed/kernel", "keyed/SDL");
    reporter.PrintRatio(scene.name, "keyed/Blt", "keyed/SDL_RLE");
    reporter.PrintRatio(scene.name, "opaque/Blt", "opaque/memcpy_Blt_rows");
    reporter.PrintRatio(scene.name, "opaque/kernel", "opaque/memcpy_rows");
    reporter.PrintRatio(scene.name, "opaque/kernel", "opaque/memcpy_flat");
  }
  benchmark::Shutdown();

  for (Scene& scene : scenes) {
    SDL_FreeSurface(scene.sdlSource);
    SDL_FreeSurface(scene.sdlRleSource);
    SDL_FreeSurface(scene.sdlScreen);
    scene.ddSource->Release();
    scene.ddScreen->Release();
  }
  directDraw->Release();
  return 0;
}
