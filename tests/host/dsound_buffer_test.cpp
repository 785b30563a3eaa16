// DirectSound buffers as the sound engine meets them: Lock regions, refused
// controls, duplicates, the notify interface, cursors and status, and the
// records' sizes and checks.
#include <cstring>

#include "host/dsound_helpers.h"

using sound_test::Bytes16;

namespace {

using sound_test::DirectSoundTest;

TEST_F(DirectSoundTest, LockReturnsTheTailThenTheStartWhenTheRangeWraps) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(std::vector<uint8_t>(1000, 0), 22050, 1, 16);
  struct Case {
    DWORD offset, bytes, flags;
    HRESULT result;
    DWORD firstOffset, firstBytes;  // first region as an offset into the buffer
    bool second;
    DWORD secondBytes;
  } cases[] = {
      {0, 1000, 0, DS_OK, 0, 1000, false, 0},
      {100, 200, 0, DS_OK, 100, 200, false, 0},
      {900, 300, 0, DS_OK, 900, 100, true, 200},
      {998, 1000, 0, DS_OK, 998, 2, true, 998},
      {500, 7, DSBLOCK_ENTIREBUFFER, DS_OK, 500, 500, true, 500},
      {1000, 4, 0, DSERR_INVALIDPARAM, 0, 0, false, 0},
      {5000, 4, 0, DSERR_INVALIDPARAM, 0, 0, false, 0},
      {0, 1001, 0, DSERR_INVALIDPARAM, 0, 0, false, 0},
      {10, 0, 0, DSERR_INVALIDPARAM, 0, 0, false, 0},
  };
  LPVOID base = nullptr;
  DWORD baseBytes = 0;
  ASSERT_EQ(buffer->Lock(0, 1000, &base, &baseBytes, nullptr, nullptr, 0), DS_OK);
  buffer->Unlock(base, baseBytes, nullptr, 0);
  for (const Case& c : cases) {
    LPVOID first = reinterpret_cast<LPVOID>(1), second = reinterpret_cast<LPVOID>(1);
    DWORD firstBytes = 77, secondBytes = 77;
    HRESULT result = buffer->Lock(c.offset, c.bytes, &first, &firstBytes, &second, &secondBytes, c.flags);
    SCOPED_TRACE(testing::Message() << "Lock(" << c.offset << ", " << c.bytes << ", " << c.flags << ")");
    ASSERT_EQ(result, c.result);
    if (result != DS_OK) continue;
    EXPECT_EQ(static_cast<uint8_t*>(first) - static_cast<uint8_t*>(base), static_cast<ptrdiff_t>(c.firstOffset));
    EXPECT_EQ(firstBytes, c.firstBytes);
    EXPECT_EQ(second, c.second ? base : nullptr);
    EXPECT_EQ(secondBytes, c.secondBytes);
    EXPECT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);
  }
}

TEST_F(DirectSoundTest, ControlsWithoutTheirFlagAreRefusedAndChangeNothing) {
  // Exactly the engine's flags: no volume, pan or frequency control.
  LPDIRECTSOUNDBUFFER plain = MakeBuffer(Bytes16(std::vector<int16_t>(400, 10000)), 22050, 1, 16);
  EXPECT_EQ(plain->SetVolume(-1000), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetPan(10000), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetFrequency(44100), DSERR_CONTROLUNAVAIL);
  LONG value = 123;
  DWORD frequency = 123;
  EXPECT_EQ(plain->GetVolume(&value), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->GetPan(&value), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->GetFrequency(&frequency), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(value, 123);
  // Still full level, in the centre, at its own rate: 22050 Hz takes 2 device
  // frames per sample, so 100 frames move the cursor 50 samples.
  plain->Play(0, 0, DSBPLAY_LOOPING);
  std::vector<int16_t> out = Pump(100);
  EXPECT_EQ(out[50], 10000);
  EXPECT_EQ(out[51], 10000);
  EXPECT_EQ(PlayCursor(plain), 100u);

  LPDIRECTSOUNDBUFFER controlled =
      MakeBuffer(std::vector<uint8_t>(400, 0), 22050, 1, 16,
                 DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY);
  EXPECT_EQ(controlled->SetVolume(-1000), DS_OK);
  EXPECT_EQ(controlled->SetVolume(1), DSERR_INVALIDPARAM);
  EXPECT_EQ(controlled->GetVolume(&value), DS_OK);
  EXPECT_EQ(value, -1000);
  EXPECT_EQ(controlled->SetPan(-10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(controlled->SetFrequency(44100), DS_OK);
  EXPECT_EQ(controlled->SetFrequency(99), DSERR_INVALIDPARAM);
  EXPECT_EQ(controlled->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
  EXPECT_EQ(controlled->GetFrequency(&frequency), DS_OK);
  EXPECT_EQ(frequency, 22050u);
}

TEST_F(DirectSoundTest, DuplicatesShareDataButNotCursorStatusOrNotifications) {
  LPDIRECTSOUNDBUFFER original = MakeBuffer(Bytes16(std::vector<int16_t>(100, 0)), 44100, 1, 16);
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  LPDIRECTSOUNDNOTIFY notify = nullptr;
  ASSERT_EQ(original->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
  DSBPOSITIONNOTIFY stop{DSBPN_OFFSETSTOP, event};
  ASSERT_EQ(notify->SetNotificationPositions(1, &stop), DS_OK);
  notify->Release();
  original->SetCurrentPosition(40);
  original->Play(0, 0, DSBPLAY_LOOPING);

  LPDIRECTSOUNDBUFFER copy = Duplicate(original);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(Status(copy), 0u);
  EXPECT_EQ(PlayCursor(copy), 0u);
  EXPECT_EQ(Status(original), static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));

  // Written through the copy, heard through the original.
  Fill(copy, 0, Bytes16(std::vector<int16_t>(100, 3000)));
  EXPECT_EQ(Pump(4)[0], 3000);
  EXPECT_EQ(PlayCursor(original), 48u);
  EXPECT_EQ(PlayCursor(copy), 0u);

  copy->Play(0, 0, 0);
  copy->Stop();
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the copy has no notifications";
  original->Stop();
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(event);
}

TEST_F(DirectSoundTest, PrimaryBufferPlaysLoopingTakesAFormatAndCannotBeDuplicated) {
  DSBUFFERDESC desc{};
  desc.dwSize = 36;  // the size a 32-bit Windows program passes
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  LPDIRECTSOUNDBUFFER primary = nullptr;
  ASSERT_EQ(directSound->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  buffers.push_back(primary);
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 4, 16, 0};
  EXPECT_EQ(primary->SetFormat(&format), DS_OK);
  EXPECT_EQ(primary->Play(0, 0, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_EQ(Status(primary), static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
  LPDIRECTSOUNDBUFFER copy = reinterpret_cast<LPDIRECTSOUNDBUFFER>(1);
  EXPECT_EQ(directSound->DuplicateSoundBuffer(primary, &copy), DSERR_INVALIDCALL);
  EXPECT_EQ(copy, nullptr);
  LPVOID notify = reinterpret_cast<LPVOID>(1);
  EXPECT_EQ(primary->QueryInterface(IID_IDirectSoundNotify, &notify), E_NOINTERFACE);
  EXPECT_EQ(notify, nullptr);
}

TEST_F(DirectSoundTest, NotifyInterfaceOnlyWithThePositionNotifyFlag) {
  LPDIRECTSOUNDBUFFER plain = MakeBuffer(std::vector<uint8_t>(64, 0), 22050, 1, 16, DSBCAPS_STATIC);
  LPVOID notify = reinterpret_cast<LPVOID>(1);
  EXPECT_EQ(plain->QueryInterface(IID_IDirectSoundNotify, &notify), E_NOINTERFACE);
  EXPECT_EQ(notify, nullptr);

  LPDIRECTSOUNDBUFFER notifying = MakeBuffer(std::vector<uint8_t>(64, 0), 22050, 1, 16);
  ASSERT_EQ(notifying->QueryInterface(IID_IDirectSoundNotify, &notify), DS_OK);
  auto* positions = static_cast<LPDIRECTSOUNDNOTIFY>(notify);
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DSBPOSITIONNOTIFY outside{64, event}, inside{62, event};
  EXPECT_EQ(positions->SetNotificationPositions(1, &outside), DSERR_INVALIDPARAM);
  EXPECT_EQ(positions->SetNotificationPositions(1, &inside), DS_OK);
  notifying->Play(0, 0, DSBPLAY_LOOPING);
  EXPECT_EQ(positions->SetNotificationPositions(1, &inside), DSERR_INVALIDCALL) << "only while stopped";
  EXPECT_EQ(positions->Release(), 1u) << "one reference count for both interfaces";
  CloseHandle(event);
}

TEST_F(DirectSoundTest, StopKeepsTheCursorAndTheWriteCursorLeadsOnlyWhilePlaying) {
  LPDIRECTSOUNDBUFFER buffer = MakeBuffer(std::vector<uint8_t>(8820, 0), 22050, 1, 16);
  DWORD play = 1, write = 1;
  buffer->GetCurrentPosition(&play, &write);
  EXPECT_EQ(play, 0u);
  EXPECT_EQ(write, 0u);
  buffer->Play(0, 0, 0);
  EXPECT_EQ(Status(buffer), static_cast<DWORD>(DSBSTATUS_PLAYING));
  Pump(200);
  buffer->GetCurrentPosition(&play, &write);
  EXPECT_EQ(play, 200u);
  EXPECT_GT(write, play);
  buffer->Stop();
  EXPECT_EQ(Status(buffer), 0u);
  Pump(200);
  buffer->GetCurrentPosition(&play, &write);
  EXPECT_EQ(play, 200u);
  EXPECT_EQ(write, play);
  buffer->Play(0, 0, 0);
  Pump(200);
  EXPECT_EQ(PlayCursor(buffer), 400u) << "Play resumes where Stop left it";
  EXPECT_EQ(buffer->SetCurrentPosition(8820), DSERR_INVALIDPARAM);
  EXPECT_EQ(buffer->SetCurrentPosition(1001), DS_OK);
  EXPECT_EQ(PlayCursor(buffer), 1000u) << "positions fall on whole blocks";
}

TEST_F(DirectSoundTest, CreationChecksDescriptionFormatAndSize) {
  WAVEFORMATEX good{WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 4, 16, 0};
  struct Case {
    const char* what;
    DWORD size, bytes;
    WAVEFORMATEX format;
    HRESULT result;
    DWORD createdBytes;
  } cases[] = {
      {"36-byte record", 36, 1001, good, DS_OK, 1004},  // rounded up to whole blocks
      {"native record", sizeof(DSBUFFERDESC), 4, good, DS_OK, 4},
      {"odd record size", 37, 400, good, DSERR_INVALIDPARAM, 0},
      {"not PCM", 36, 400, {3, 2, 22050, 22050 * 4, 4, 16, 0}, DSERR_BADFORMAT, 0},
      {"24-bit", 36, 400, {WAVE_FORMAT_PCM, 1, 22050, 22050 * 3, 3, 24, 0}, DSERR_BADFORMAT, 0},
      {"wrong block", 36, 400, {WAVE_FORMAT_PCM, 2, 22050, 22050 * 2, 2, 16, 0}, DSERR_BADFORMAT, 0},
  };
  for (const Case& c : cases) {
    DSBUFFERDESC desc{};
    desc.dwSize = c.size;
    desc.dwFlags = DSBCAPS_STATIC;
    desc.dwBufferBytes = c.bytes;
    WAVEFORMATEX format = c.format;
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    EXPECT_EQ(directSound->CreateSoundBuffer(&desc, &buffer, nullptr), c.result) << c.what;
    if (!buffer) continue;
    DSBCAPS caps{};
    caps.dwSize = sizeof caps;
    EXPECT_EQ(buffer->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwBufferBytes, c.createdBytes) << c.what;
    buffer->Release();
  }
  EXPECT_EQ(sizeof(DSCAPS), 96u);
  EXPECT_EQ(sizeof(WAVEFORMATEX), 18u);
}

TEST(DirectSoundCreate, FailsWithNoDriverWhenThereIsNoDevice) {
  host::ResetForTest();
  host::audioSettings().noDevice = true;
  LPDIRECTSOUND directSound = reinterpret_cast<LPDIRECTSOUND>(1);
  EXPECT_EQ(DirectSoundCreate(nullptr, &directSound, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(directSound, nullptr);
  host::audioSettings().noDevice = false;
}

}  // namespace
