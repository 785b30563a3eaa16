// What the host's software mixer costs: the game's worst case of sixteen effects
// at once (22050 Hz, 16-bit mono, each a duplicate of one loaded sound) over the
// music ring (22050 Hz, 16-bit stereo, looping), mixed to the 44100 Hz stereo
// device in blocks of the size SDL asks for. The counter "realtime_%" is the CPU
// time one second of mixed sound takes, as a share of that second.
#include <benchmark/benchmark.h>
#include <dsound.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "host/audio_control.h"
#include "host/control.h"

namespace {

constexpr int kBlockFrames = 1024;  // one SDL callback's worth

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

LPDIRECTSOUNDBUFFER MakeBuffer(LPDIRECTSOUND directSound, WORD channels, DWORD seconds, double hertz) {
  WAVEFORMATEX format{WAVE_FORMAT_PCM, channels, 22050, 22050u * channels * 2, static_cast<WORD>(channels * 2), 16, 0};
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY;  // the engine's flags
  desc.dwBufferBytes = 22050 * format.nBlockAlign * seconds;
  desc.lpwfxFormat = &format;
  LPDIRECTSOUNDBUFFER buffer = nullptr;
  if (directSound->CreateSoundBuffer(&desc, &buffer, nullptr) != DS_OK) return nullptr;
  LPVOID memory = nullptr;
  DWORD bytes = 0;
  buffer->Lock(0, 0, &memory, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
  auto* samples = static_cast<int16_t*>(memory);
  for (DWORD i = 0; i < bytes / 2; ++i) samples[i] = static_cast<int16_t>(6000 * std::sin(i * hertz / 22050.0));
  buffer->Unlock(memory, bytes, nullptr, 0);
  return buffer;
}

void Mix16EffectsOverMusic(benchmark::State& state) {
  LPDIRECTSOUND directSound = nullptr;
  if (DirectSoundCreate(nullptr, &directSound, nullptr) != DS_OK) {
    state.SkipWithError("no audio device");
    return;
  }
  directSound->SetCooperativeLevel(reinterpret_cast<HWND>(1), DSSCL_EXCLUSIVE);
  std::vector<LPDIRECTSOUNDBUFFER> buffers;
  buffers.push_back(MakeBuffer(directSound, 2, 2, 440));  // the music ring
  buffers.push_back(MakeBuffer(directSound, 1, 1, 1000));  // the loaded effect
  for (int i = 1; i < 16; ++i) {
    LPDIRECTSOUNDBUFFER copy = nullptr;
    directSound->DuplicateSoundBuffer(buffers[1], &copy);
    buffers.push_back(copy);
  }
  // Every voice loops, so all seventeen play for the whole run, each from its
  // own place in the sound.
  for (size_t i = 0; i < buffers.size(); ++i) {
    buffers[i]->SetCurrentPosition(static_cast<DWORD>(i * 1000));
    buffers[i]->Play(0, 0, DSBPLAY_LOOPING);
  }
  std::vector<int16_t> out(kBlockFrames * 2);
  int64_t frames = 0;
  const double cpuStart = ThreadCpuSeconds();
  for (auto _ : state) {
    host::PumpAudio(kBlockFrames, out.data());
    benchmark::DoNotOptimize(out.data());
    frames += kBlockFrames;
  }
  const double mixedSeconds = static_cast<double>(frames) / host::kAudioDeviceRate;
  state.counters["realtime_%"] = 100.0 * (ThreadCpuSeconds() - cpuStart) / mixedSeconds;
  for (LPDIRECTSOUNDBUFFER buffer : buffers) buffer->Release();
  directSound->Release();
}
BENCHMARK(Mix16EffectsOverMusic);

}  // namespace

int main(int argc, char** argv) {
  // Manual time: nothing mixes but the benchmark, on a device that plays nowhere.
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  host::settings().headless = true;
  host::settings().timeMode = host::TimeMode::Manual;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
