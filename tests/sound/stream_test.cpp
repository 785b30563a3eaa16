// The music stream on the host's mixer in manual time: the test pumps a segment at a time, waits for the fill thread
// to handle the notification it fired, and compares what the device heard with the file.
#include <filesystem>

#include "sound/sound_helpers.h"
#include "sound/stream_fill.h"

namespace {

using sound_test::WavBytes;

// 44100 Hz mono: one device frame per file frame, so the output is the data.
constexpr int kSegment = 11025;  // frames of a quarter second

std::atomic<DWORD> handOvers{0};  // 100 a hand-over, plus the stream ID handed on
void RecordHandOver(DWORD id) { handOvers.fetch_add(100 + id); }

// A piece with no two neighbouring samples alike, and what the device plays for it.
struct Piece {
  std::vector<uint8_t> bytes;
  std::vector<int16_t> heard;
  int bits;
  Piece(int bitsPerSample, int frames) : bits(bitsPerSample) {
    for (int i = 0; i < frames; ++i) {
      const int s = bits == 8 ? i * 7 % 251 + 2 : i * 37 % 30011 - 15000;
      heard.push_back(static_cast<int16_t>(bits == 8 ? (s - 128) * 256 : s));
      bytes.push_back(static_cast<uint8_t>(s));
      if (bits == 16) bytes.push_back(static_cast<uint8_t>(s >> 8));
    }
  }
  std::string Write(const std::string& name) const {
    return sound_test::WriteFile(name, WavBytes().Format(1, 1, 44100, static_cast<uint16_t>(bits)).Chunk("data", bytes).File());
  }
};

class StreamTest : public sound_test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    handOvers.store(0);
    zqSound.SetStreamNextFunc(RecordHandOver);
  }
  void TearDown() override {
    zqSound.StopStream();
    zqSound.ClearStreamNextStreamFunc();
    EngineTest::TearDown();
  }

  static _SNDStream& Stream() { return *ZQSound::GetStreamInfoPtr(); }
  static bool Gone() { return Stream().pStreamSample.load() == nullptr; }

  // Pumps `segments` segments, each followed by the fill thread's turn (unless the stream is gone); returns the left
  // channel heard.
  static std::vector<int16_t> Play(int segments) {
    std::vector<int16_t> heard;
    for (int i = 0; i < segments; ++i) {
      const bool wasGone = Gone();
      const uint32_t before = StreamWakeupsHandledForTest();
      std::vector<int16_t> out = Pump(kSegment);
      for (size_t at = 0; at < out.size(); at += 2) heard.push_back(out[at]);
      EXPECT_TRUE(wasGone || Eventually([&] { return StreamWakeupsHandledForTest() > before; }));
    }
    return heard;
  }
  // Where `heard` first differs from `expected` (repeated when `loop`, else then silence); -1 if nowhere.
  static long FirstDifference(const std::vector<int16_t>& heard, const std::vector<int16_t>& expected, bool loop) {
    for (size_t i = 0; i < heard.size(); ++i) {
      const int16_t want = loop ? expected[i % expected.size()] : i < expected.size() ? expected[i] : 0;
      if (heard[i] != want) return static_cast<long>(i);
    }
    return -1;
  }
  static int SlotsInUse() {
    int count = 0;
    for (SNDSample* slot = ZQSound::g_SampleList; slot && slot < ZQSound::g_pEndSample; ++slot)
      count += (Flags(slot) & kSampleInUse) != 0;
    return count;
  }
  // Nothing of a stream left: no slot, thread, event, flag or file.
  static void ExpectNothingInUse() {
    int events = 0;
    for (HANDLE event : ZQSound::g_NotifyEvents) events += event != nullptr;
    EXPECT_EQ(std::vector<long>({!Gone(), long(Stream().dwFlags.load()), ZQSound::g_FillThread != nullptr,
                                 Stream().hFile != nullptr, events, SlotsInUse()}),
              std::vector<long>(6, 0)) << "sample, flags, thread, file, events, slots";
  }
};

TEST(StreamSegments, AQuarterSecondRaisedToAWholeFrame) {
  const struct { DWORD rate, bits, channels, segment; } cases[] = {
      {22050, 16, 2, 22052}, {44100, 16, 2, 44100}, {22050, 8, 1, 5512}, {22050, 4, 1, 0}, {0xFFFFFFFF, 16, 2, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(StreamSegmentSize(c.rate, c.bits, c.channels), c.segment) << c.rate << " Hz " << c.bits << "-bit x" << c.channels;
}

TEST_F(StreamTest, RefusedLoadsLeaveNothingBehind) {
  const std::vector<uint8_t> data(20000, 1);
  const auto mono = [] { return WavBytes().Format(1, 1, 44100, 16); };
  const struct { const char* what; std::vector<uint8_t> file; bool musicOn = true, poolFull = false; } cases[] = {
      {"music switched off", mono().Chunk("data", data).File(), false},
      {"every sample slot taken", mono().Chunk("data", data).File(), true, true}, {"no file", {}},
      {"no data at all", mono().Chunk("data", {}).File()},
      {"sampler loop shorter than a segment", mono().Sampler(1, 0, 8999).Chunk("data", data).File()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove("refused.wav");
    if (!c.file.empty()) sound_test::WriteFile("refused.wav", c.file);
    zqSound.EnableMusic(c.musicOn);
    while (c.poolFull && ZQSound::AllocSample()) continue;
    EXPECT_EQ(zqSound.LoadStream("refused.wav", 1), 0);
    if (c.poolFull) ZQSound::ClearSampleList();
    ExpectNothingInUse();
  }
}

// Looping pieces continue across every wrap; once, they are heard to the last sample, then silence (0x80 for 8-bit
// data), and the stream is torn down after the segment holding the end has played, handing over with the ID. A file
// cut short while playing ends where its reads end.
TEST_F(StreamTest, PiecesLoopWithoutAGapOrPlayToTheirLastSample) {
  const struct { int frames; bool loop; int cutTo = 0; } cases[] = {  // cutTo: frames left in the file once loaded
      {1000, true}, {100003, true}, {1000, false}, {8 * kSegment, false}, {100003, false}, {200000, false, 100000}};
  for (const auto& c : cases) {
    for (int bits : {16, 8}) {
      SCOPED_TRACE(testing::Message() << c.frames << " frames, " << bits << "-bit" << (c.loop ? ", looping" : ""));
      handOvers.store(0);
      Piece piece(bits, c.frames);
      const std::string name = piece.Write("piece.wav");
      ASSERT_EQ(zqSound.LoadStream(name.c_str(), 7), 1);
      if (c.cutTo) std::filesystem::resize_file(name, 44 + c.cutTo * bits / 8), piece.heard.resize(c.cutTo);
      zqSound.PlayStream(c.loop ? kStreamLoop : 0);
      const int segments = c.loop ? 24 : (static_cast<int>(piece.heard.size()) + kSegment - 1) / kSegment;
      EXPECT_EQ(FirstDifference(Play(segments), piece.heard, c.loop), -1);
      EXPECT_EQ(Gone(), !c.loop) << "torn down once the end's segment has played, not before";
      EXPECT_EQ(zqSound.StopStream(), 1);
      ExpectNothingInUse();
      EXPECT_EQ(handOvers.load(), c.loop ? 0u : 107u) << "hand-overs * 100 + ID, a stop handing over to none";
    }
  }
}

// A stop before play or in the middle of a one-shot leaves nothing and hands over to no next stream; a second load
// ends the first stream, slot, ring and thread first.
TEST_F(StreamTest, StopsAndASecondLoadLeaveNothingOfTheStreamBefore) {
  for (bool play : {false, true}) {
    ASSERT_EQ(zqSound.LoadStream(Piece(16, 200000).Write("first.wav").c_str(), 1), 1);
    if (play) zqSound.PlayStream(0), Play(2);
    EXPECT_EQ(zqSound.StopStream(), 1);
    ExpectNothingInUse();
  }
  EXPECT_EQ(handOvers.load(), 0u) << "hand-overs * 100 + ID";
  ASSERT_EQ(zqSound.LoadStream("first.wav", 1), 1);
  zqSound.PlayStream(kStreamLoop);
  Play(2);
  HANDLE firstThread = ZQSound::g_FillThread;
  Piece second(8, 150000);
  ASSERT_EQ(zqSound.LoadStream(second.Write("second.wav").c_str(), 2), 1);
  EXPECT_NE(ZQSound::g_FillThread, firstThread);
  EXPECT_EQ(SlotsInUse() * 100 + ZQSound::GetStreamID(), 102) << "slots * 100 + ID";
  zqSound.PlayStream(0);
  EXPECT_EQ(FirstDifference(Play(10), second.heard, false), -1);
}

}  // namespace
