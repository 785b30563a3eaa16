// The music stream against the host's mixer in manual time: the test pumps the
// mixer one segment at a time, waits until the fill thread has handled the
// notification that segment fired, and compares what the device heard with the
// file's samples.
#include <filesystem>

#include "host/control.h"
#include "sound/sound_helpers.h"
#include "sound/stream_fill.h"

namespace {

using sound_test::WavBytes;

// 44100 Hz mono: one device frame per file frame, so the output is the data.
constexpr DWORD kRate = 44100;
constexpr int kSegmentFrames = 11025;  // a quarter second
constexpr int kRingFrames = 8 * kSegmentFrames;

std::atomic<int> handOvers{0};
std::atomic<DWORD> handedOverId{0};
void RecordHandOver(DWORD id) {
  handedOverId.store(id);
  handOvers.fetch_add(1);
}

// A piece of music with no two neighbouring samples alike, and what the
// device plays for it.
struct Piece {
  int bits;
  int frames;
  std::vector<uint8_t> bytes;
  std::vector<int16_t> heard;
  Piece(int bitsPerSample, int frameCount) : bits(bitsPerSample), frames(frameCount) {
    for (int i = 0; i < frames; ++i) {
      if (bits == 8) {
        const uint8_t b = static_cast<uint8_t>(i * 7 % 251 + 2);
        bytes.push_back(b);
        heard.push_back(static_cast<int16_t>((b - 128) * 256));
      } else {
        const int16_t s = static_cast<int16_t>(i * 37 % 30011 - 15000);
        bytes.push_back(static_cast<uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
        heard.push_back(s);
      }
    }
  }
  std::string Write(const std::string& name) const {
    return sound_test::WriteFile(name, WavBytes().Format(1, 1, kRate, static_cast<uint16_t>(bits)).Chunk("data", bytes).File());
  }
};

class StreamTest : public sound_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    handOvers.store(0);
    handedOverId.store(0);
    zqSound.SetStreamNextFunc(RecordHandOver);
  }
  void TearDown() override {
    zqSound.StopStream();
    zqSound.ClearStreamNextStreamFunc();
    EngineTest::TearDown();
  }

  static _SNDStream& Stream() { return *ZQSound::GetStreamInfoPtr(); }
  static bool Gone() { return Stream().pStreamSample.load() == nullptr; }

  // Pumps one segment's worth of frames, then waits until the fill thread has
  // handled the notification it fired (or has torn the stream down). Appends
  // the left channel to `heard`.
  static void PumpSegment(std::vector<int16_t>* heard) {
    const bool wasGone = Gone();
    const uint32_t before = StreamWakeupsHandledForTest();
    std::vector<int16_t> out = Pump(kSegmentFrames);
    for (size_t i = 0; i < out.size(); i += 2) heard->push_back(out[i]);
    if (!wasGone) {
      ASSERT_TRUE(Eventually([&] { return StreamWakeupsHandledForTest() > before; }));
    }
  }

  // Where `heard` first differs from `expected` over `count` samples; -1 if nowhere.
  static int FirstDifference(const std::vector<int16_t>& heard, const std::vector<int16_t>& expected, size_t count) {
    for (size_t i = 0; i < count && i < heard.size(); ++i)
      if (heard[i] != expected[i]) return static_cast<int>(i);
    return heard.size() < count ? static_cast<int>(heard.size()) : -1;
  }

  // Nothing of a stream left: no slot, thread, event, flag or file.
  static void ExpectNothingInUse() {
    EXPECT_EQ(Stream().pStreamSample.load(), nullptr);
    EXPECT_EQ(Stream().dwFlags.load(), 0u) << std::hex << Stream().dwFlags.load();
    EXPECT_EQ(ZQSound::g_FillThread, nullptr);
    EXPECT_EQ(Stream().hFile, nullptr);
    for (HANDLE event : ZQSound::g_NotifyEvents) EXPECT_EQ(event, nullptr);
    EXPECT_EQ(SlotsInUse(), 0);
  }
  static int SlotsInUse() {
    int count = 0;
    for (SNDSample* slot = ZQSound::g_SampleList; slot && slot < ZQSound::g_pEndSample; ++slot)
      if (Flags(slot) & kSampleInUse) ++count;
    return count;
  }
  // The ring's bytes as they stand.
  static std::vector<uint8_t> Ring() {
    IDirectSoundBuffer* ring = Stream().pStreamSample.load()->m_lpBuffer;
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    EXPECT_EQ(ring->Lock(0, Stream().dwBufferSize, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
    std::vector<uint8_t> bytes(static_cast<uint8_t*>(first), static_cast<uint8_t*>(first) + firstBytes);
    ring->Unlock(first, firstBytes, second, secondBytes);
    return bytes;
  }
};

TEST(StreamSegments, AQuarterSecondRaisedToAWholeFrame) {
  struct Case {
    DWORD rate, bits, channels, segment;
  } cases[] = {
      {22050, 16, 2, 22052}, {44100, 16, 2, 44100}, {22050, 8, 1, 5512},  {11025, 8, 2, 5512},
      {22050, 4, 1, 0},      {0, 16, 2, 0},         {22050, 16, 0, 0},    {0xFFFFFFFF, 16, 2, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StreamSegmentSize(c.rate, c.bits, c.channels), c.segment) << c.rate << " Hz " << c.bits << "-bit x" << c.channels;
}

TEST_F(StreamTest, LoadSetsUpTheRingForTheFilesFormat) {
  struct Case {
    DWORD rate;
    uint16_t bits, channels;
    DWORD segment, ring;
  } cases[] = {{22050, 16, 2, 22052, 176416}, {44100, 16, 2, 44100, 352800}, {22050, 8, 1, 5512, 44096}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz " << c.bits << "-bit x" << c.channels);
    std::string name = sound_test::WriteFile(
        "format.wav", WavBytes().Format(1, c.channels, c.rate, c.bits).Chunk("data", std::vector<uint8_t>(4000, 1)).File());
    ASSERT_EQ(zqSound.LoadStream(name.c_str(), 3), 1);
    EXPECT_EQ(Stream().dwSegmentSize, c.segment);
    EXPECT_EQ(Stream().dwBufferSize, c.ring);
    EXPECT_EQ(Stream().dwDataStart, 44u);
    EXPECT_EQ(Stream().dwFlags.load(), kStreamLoaded | kStreamThreadRunning);
    EXPECT_EQ(ZQSound::GetStreamID(), 3u);
    EXPECT_EQ(SlotsInUse(), 1);
    zqSound.StopStream();
    ExpectNothingInUse();
  }
}

TEST_F(StreamTest, RefusedLoadsLeaveNothingBehind) {
  const std::vector<uint8_t> data(20000, 1);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    bool musicOn = true;
    bool poolFull = false;
  } cases[] = {
      {"every sample slot taken", WavBytes().Format(1, 1, kRate, 16).Chunk("data", data).File(), true, true},
      {"music switched off", WavBytes().Format(1, 1, kRate, 16).Chunk("data", data).File(), false},
      {"no file", {}},
      {"not a WAV file", std::vector<uint8_t>(100, 'x')},
      {"no data at all", WavBytes().Format(1, 1, kRate, 16).Chunk("data", {}).File()},
      {"data claimed beyond the file", WavBytes().Format(1, 1, kRate, 16).Chunk("data", data, 900000).File()},
      // 9000 frames of loop are less than one segment of 11025.
      {"sampler loop shorter than a segment",
       WavBytes().Format(1, 1, kRate, 16).Sampler(1, 0, 8999).Chunk("data", data).File()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove("refused.wav");
    if (!c.file.empty()) sound_test::WriteFile("refused.wav", c.file);
    zqSound.EnableMusic(c.musicOn);
    while (c.poolFull && ZQSound::AllocSample()) {
    }
    EXPECT_EQ(zqSound.LoadStream("refused.wav", 1), 0);
    if (c.poolFull) ZQSound::ClearSampleList();
    ExpectNothingInUse();
    EXPECT_EQ(zqSound.PlayStream(kStreamLoop), 1);
    EXPECT_EQ(zqSound.StopStream(), 1);
  }
}

// Looping pieces whose length is no multiple of the segment: shorter than a
// segment, inside the ring, longer than the ring. Three passes of the ring
// continue the file's samples across every wrap.
TEST_F(StreamTest, LoopingStreamWrapsWithoutAGap) {
  for (int frames : {1000, 25000, 100003}) {
    for (int bits : {16, 8}) {
      SCOPED_TRACE(testing::Message() << frames << " frames, " << bits << "-bit");
      Piece piece(bits, frames);
      ASSERT_EQ(zqSound.LoadStream(piece.Write("loop.wav").c_str(), 5), 1);
      ASSERT_EQ(zqSound.PlayStream(kStreamLoop), 1);
      std::vector<int16_t> heard;
      for (int segment = 0; segment < 3 * 8; ++segment) PumpSegment(&heard);
      std::vector<int16_t> expected;
      for (size_t i = 0; i < heard.size(); ++i) expected.push_back(piece.heard[i % frames]);
      EXPECT_EQ(FirstDifference(heard, expected, heard.size()), -1);
      EXPECT_FALSE(Gone());
      EXPECT_EQ(handOvers.load(), 0);
      zqSound.StopStream();
      ExpectNothingInUse();
    }
  }
}

// Played once, every filled segment is heard to the last sample, then silence
// (0x80 for 8-bit data, never 0); the stream is torn down once the segment
// holding the end has played, and the next-stream function gets the ID.
TEST_F(StreamTest, OneShotStreamPlaysToItsEndThenHandsOver) {
  for (int frames : {1000, 25000, kSegmentFrames, kRingFrames, 100003}) {
    for (int bits : {16, 8}) {
      SCOPED_TRACE(testing::Message() << frames << " frames, " << bits << "-bit");
      handOvers.store(0);
      Piece piece(bits, frames);
      ASSERT_EQ(zqSound.LoadStream(piece.Write("once.wav").c_str(), 7), 1);
      ASSERT_EQ(zqSound.PlayStream(0), 1);
      std::vector<int16_t> heard;
      int pumped = 0;
      while (!Gone() && pumped < 100) {
        PumpSegment(&heard);
        ++pumped;
      }
      const int segmentsOfData = (frames + kSegmentFrames - 1) / kSegmentFrames;
      // Each pump plays a whole segment, so the end's segment is over after
      // the pump that played it, and not before.
      EXPECT_EQ(pumped, segmentsOfData) << "torn down once the end's segment has played";
      EXPECT_EQ(FirstDifference(heard, piece.heard, frames), -1) << "every sample heard";
      for (size_t i = frames; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], 0) << "silence after the end, at frame " << i;
      EXPECT_EQ(handOvers.load(), 1);
      EXPECT_EQ(handedOverId.load(), 7u);
      EXPECT_EQ(ZQSound::GetStreamID(), 0u);
      EXPECT_EQ(ZQSound::GetStreamVolume(), 0);
      zqSound.StopStream();  // lets go of the ended thread's handle
      ExpectNothingInUse();
    }
  }
}

TEST_F(StreamTest, NeverFilledTailOfTheRingIsSilence) {
  for (int bits : {8, 16}) {
    SCOPED_TRACE(testing::Message() << bits << "-bit");
    Piece piece(bits, 3000);
    ASSERT_EQ(zqSound.LoadStream(piece.Write("short.wav").c_str(), 1), 1);
    std::vector<uint8_t> ring = Ring();
    ASSERT_EQ(ring.size(), Stream().dwBufferSize);
    EXPECT_TRUE(std::equal(piece.bytes.begin(), piece.bytes.end(), ring.begin()));
    const uint8_t silence = bits == 8 ? 0x80 : 0x00;
    const size_t wrong = std::find_if(ring.begin() + piece.bytes.size(), ring.end(), [&](uint8_t b) { return b != silence; }) -
                         ring.begin();
    EXPECT_EQ(wrong, ring.size()) << "not silence at byte " << wrong;
    zqSound.StopStream();
  }
}

// A stop returns with nothing of the stream left in use, whatever state the
// stream was in; the ring's own stop notification is not needed (a paused or
// ended ring sends none).
TEST_F(StreamTest, StopReturnsWhenNothingIsInUse) {
  enum class State { Loaded, Playing, Paused, Ended };
  const struct {
    const char* what;
    State state;
  } cases[] = {{"loaded, never played", State::Loaded},
               {"playing", State::Playing},
               {"paused", State::Paused},
               {"ended by itself", State::Ended}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    handOvers.store(0);
    Piece piece(16, c.state == State::Ended ? 1000 : 200000);
    ASSERT_EQ(zqSound.LoadStream(piece.Write("stop.wav").c_str(), 2), 1);
    std::vector<int16_t> heard;
    if (c.state != State::Loaded) {
      zqSound.PlayStream(0);
      PumpSegment(&heard);
      PumpSegment(&heard);
    }
    if (c.state == State::Paused) {
      const uint32_t before = StreamWakeupsHandledForTest();
      zqSound.PauseStream();
      ASSERT_TRUE(Eventually([&] { return StreamWakeupsHandledForTest() > before; }));
    }
    EXPECT_EQ(Gone(), c.state == State::Ended);
    EXPECT_EQ(zqSound.StopStream(), 1);
    ExpectNothingInUse();
    EXPECT_EQ(handOvers.load(), c.state == State::Ended ? 1 : 0) << "a stop hands over to no next stream";
    EXPECT_EQ(zqSound.StopStream(), 1) << "and again, with nothing to stop";
  }
}

// A pause is a stop of the ring the fill thread must not take for the end:
// after it the piece goes on where it stopped.
TEST_F(StreamTest, PauseKeepsTheStreamAndResumesWhereItStopped) {
  Piece piece(16, 200000);
  ASSERT_EQ(zqSound.LoadStream(piece.Write("pause.wav").c_str(), 4), 1);
  zqSound.PlayStream(0);
  std::vector<int16_t> heard;
  PumpSegment(&heard);
  PumpSegment(&heard);
  const uint32_t before = StreamWakeupsHandledForTest();
  zqSound.PauseStream();
  ASSERT_TRUE(Eventually([&] { return StreamWakeupsHandledForTest() > before; }));
  EXPECT_FALSE(Gone());
  EXPECT_EQ(Stream().dwFlags.load() & kStreamPaused, kStreamPaused);
  std::vector<int16_t> whilePaused = Pump(kSegmentFrames);
  EXPECT_TRUE(std::all_of(whilePaused.begin(), whilePaused.end(), [](int16_t s) { return s == 0; }));
  zqSound.PauseStream();
  for (int segment = 0; segment < 10; ++segment) PumpSegment(&heard);
  EXPECT_EQ(FirstDifference(heard, piece.heard, heard.size()), -1);
  EXPECT_EQ(handOvers.load(), 0);
}

// A second load ends the first stream (its slot, ring and thread) before it
// takes over; only the new piece is heard.
TEST_F(StreamTest, SecondLoadReplacesThePlayingStream) {
  Piece first(16, 200000), second(8, 150000);
  ASSERT_EQ(zqSound.LoadStream(first.Write("first.wav").c_str(), 1), 1);
  zqSound.PlayStream(kStreamLoop);
  std::vector<int16_t> heard;
  PumpSegment(&heard);
  PumpSegment(&heard);
  HANDLE firstThread = ZQSound::g_FillThread;
  ASSERT_EQ(zqSound.LoadStream(second.Write("second.wav").c_str(), 2), 1);
  EXPECT_NE(ZQSound::g_FillThread, firstThread);
  EXPECT_EQ(SlotsInUse(), 1);
  EXPECT_EQ(ZQSound::GetStreamID(), 2u);
  EXPECT_EQ(handOvers.load(), 0);
  zqSound.PlayStream(0);
  heard.clear();
  for (int segment = 0; segment < 10; ++segment) PumpSegment(&heard);
  EXPECT_EQ(FirstDifference(heard, second.heard, heard.size()), -1);
}

// The next-stream function runs on the ended stream's fill thread and may start
// the next piece there; the new stream keeps its own thread's bit.
void PlayTheNextPiece(DWORD id) {
  RecordHandOver(id);
  zqSound.LoadStream("next.wav", id + 1);
  zqSound.PlayStream(0);
}

TEST_F(StreamTest, NextStreamFunctionStartsTheNextPiece) {
  Piece first(16, 1000), next(8, 30000);
  next.Write("next.wav");
  zqSound.SetStreamNextFunc(PlayTheNextPiece);
  ASSERT_EQ(zqSound.LoadStream(first.Write("first.wav").c_str(), 20), 1);
  zqSound.PlayStream(0);
  std::vector<int16_t> heard;
  PumpSegment(&heard);
  ASSERT_TRUE(Eventually([] { return ZQSound::GetStreamID() == 21; }));
  EXPECT_EQ(handedOverId.load(), 20u);
  EXPECT_EQ(Stream().dwFlags.load(), kStreamLoaded | kStreamPlaying | kStreamThreadRunning);
  zqSound.SetStreamNextFunc(RecordHandOver);
  heard.clear();
  for (int segment = 0; segment < 3; ++segment) PumpSegment(&heard);
  EXPECT_EQ(FirstDifference(heard, next.heard, next.heard.size()), -1);
  EXPECT_TRUE(Gone());
  zqSound.StopStream();
  ExpectNothingInUse();
  EXPECT_EQ(handOvers.load(), 2);
}

// The file shrinks under a playing stream: what the reads really bring is
// played, then the stream ends as at the end of its data.
TEST_F(StreamTest, FileCutShortWhilePlayingEndsTheStreamWhereTheFileEnds) {
  Piece piece(16, 200000);
  const std::string name = piece.Write("cut.wav");
  ASSERT_EQ(zqSound.LoadStream(name.c_str(), 9), 1);
  const int kept = 100000;
  std::filesystem::resize_file(name, 44 + 2 * kept);
  zqSound.PlayStream(0);
  std::vector<int16_t> heard;
  for (int pumped = 0; !Gone() && pumped < 40; ++pumped) PumpSegment(&heard);
  EXPECT_TRUE(Gone());
  EXPECT_EQ(FirstDifference(heard, piece.heard, kept), -1);
  EXPECT_TRUE(std::all_of(heard.begin() + kept, heard.end(), [](int16_t s) { return s == 0; }));
  EXPECT_EQ(handOvers.load(), 1);
}

// Fades spin on the tick count, which the host moves on for a spinning reader
// in manual time too; each ends exactly at its target.
TEST_F(StreamTest, FadesReachTheirTargetInVirtualTime) {
  Piece piece(16, 200000);
  ASSERT_EQ(zqSound.LoadStream(piece.Write("fade.wav").c_str(), 1), 1);
  zqSound.PlayStream(kStreamLoop);
  struct Case {
    const char* what;
    void (*fade)();
    int before, after;
    DWORD ms;
  } cases[] = {
      {"in over 300 ms, to the music volume", [] { zqSound.FadeMusicIn(300); }, 0x7FFF, 0x8000, 300},
      {"out over 200 ms", [] { zqSound.FadeMusicOut(200); }, 0x8000, 0, 200},
      {"0 ms: at once", [] { zqSound.FadeMusic(100, 5000, 0); }, 0, 5000, 0},
      {"downwards", [] { zqSound.FadeMusic(0xC000, 0x100, 50); }, 0, 0x100, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ZQSound::SetStreamVolume(c.before);
    const uint32_t start = host::HostMilliseconds();
    c.fade();
    EXPECT_EQ(ZQSound::GetStreamVolume(), c.after);
    EXPECT_GE(host::HostMilliseconds() - start, c.ms);
  }
}

}  // namespace
