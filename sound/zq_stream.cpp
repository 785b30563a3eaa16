// The music stream of the sound engine. Not streaming yet: loading reports
// failure, so the game runs without music; the rest does nothing.
#include "sound/zq_sound.h"

_SNDStream ZQSound::g_StreamInfo;
HANDLE ZQSound::g_NotifyEvents[9];
HANDLE ZQSound::g_FillThread;
DWORD ZQSound::g_FillThreadID;

int ZQSound::LoadStream(const char*, DWORD) { return 0; }
int ZQSound::PlayStream(int) { return 1; }
int ZQSound::StopStream() { return 1; }
int ZQSound::PauseStream() { return 1; }
int ZQSound::CleanupStream() { return 1; }
_SNDStream* ZQSound::GetStreamInfoPtr() { return &g_StreamInfo; }
void ZQSound::SetStreamVolume(int) {}
int ZQSound::GetStreamVolume() { return 0; }
DWORD ZQSound::GetStreamID() { return 0; }
SNDStreamNextFunc ZQSound::SetStreamNextFunc(SNDStreamNextFunc next) { return g_StreamInfo.pNextStreamFunc.exchange(next); }
SNDStreamNextFunc ZQSound::GetStreamNextFunc() { return g_StreamInfo.pNextStreamFunc.load(); }
void ZQSound::ClearStreamNextStreamFunc() { g_StreamInfo.pNextStreamFunc.store(nullptr); }
void ZQSound::FadeMusic(int, int, DWORD) {}
void ZQSound::FadeMusicIn(DWORD) {}
void ZQSound::FadeMusicOut(DWORD) {}
unsigned long WINAPI ZQSound::FillStream(void*) { return 0; }
void ZQSound::init_stream_buffer() {}
