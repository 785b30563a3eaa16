// The WAV reader: each input is a ".wav" file opened through the engine's file
// hooks, as a sample (loaded, played, mixed, freed) and as the music stream
// (loaded, played looping for a few segments or once to its end, stopped), on
// a headless sound device in manual time where only this program mixes. Every
// file the hooks open must be closed again once the load, or the stream, is
// over.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "host/audio_control.h"
#include "host/control.h"
#include "sound/zq_sound.h"

namespace {

int opened = 0;
int closed = 0;

HANDLE CountingOpen(const char* name) {
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ++opened;
  return file;
}

int CountingClose(HANDLE file) {
  ++closed;
  return CloseHandle(file) ? 1 : 0;
}

// Mixes `frames` device frames in pieces, as the device would take them.
void Mix(int frames) {
  for (int done = 0; done < frames; done += 2048) host::PumpAudio(2048, nullptr);
}

// A sample's start, loop and end. A looping stream: its first segment and a
// half, so that the fill thread refills one (a segment is a quarter second);
// one played once: past the whole ring of eight, so that it ends by itself.
constexpr int kSampleFrames = 4096;
constexpr int kLoopFrames = host::kAudioDeviceRate * 3 / 8;
constexpr int kOnceFrames = host::kAudioDeviceRate * 9 / 4;

constexpr DWORD kSampleId = 10;
constexpr DWORD kStreamId = 20;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  host::settings().headless = true;
  host::settings().timeMode = host::TimeMode::Manual;
  host::audioSettings().noDevice = false;
  fuzz::Check(zqSound.Init(reinterpret_cast<HWND>(1), 200) == 1, "the engine on a headless device");
  // The notification thread waits until the engine ends; so must the process.
  std::atexit([] { zqSound.Exit(); });
  ZQSound::SetFileOpenFunc(CountingOpen);
  ZQSound::SetFileCloseFunc(CountingClose);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchPath("sound.wav");
  fuzz::Check(fuzz::WriteWholeFile(path, data, size), "the input written as a file");

  if (zqSound.LoadSample(path.c_str(), kSampleId)) {
    SNDSample* played = zqSound.PlaySample(kSampleId, 65535, 0x8000);
    fuzz::Check(played != nullptr, "a loaded sample plays");
    Mix(kSampleFrames);
    zqSound.FreeSample(played);
    zqSound.FreeSample(kSampleId);
    zqSound.FlushSamples();
  }
  fuzz::Check(opened == closed, "a sample load closes the file it opened");
  fuzz::Check(zqSound.FindSample(kSampleId) == nullptr, "a freed sample is gone");

  if (zqSound.LoadStream(path.c_str(), kStreamId)) {
    // Which of the two, the file's length decides, so that a kept input replays alike.
    const bool loop = size % 2 == 0;
    zqSound.PlayStream(loop ? kStreamLoop : 0);
    Mix(loop ? kLoopFrames : kOnceFrames);
    zqSound.StopStream();
  }
  fuzz::Check(opened == closed, "a stopped stream has closed its file");
  fuzz::Check(ZQSound::GetStreamInfoPtr()->pStreamSample.load() == nullptr, "a stopped stream is gone");
  return 0;
}
