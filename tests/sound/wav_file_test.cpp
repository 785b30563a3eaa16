// The WAV reader: which files load and what it reads from them, for files built
// byte by byte (the odd and the lying ones), made by sox, by libsndfile, and
// the game's own. A chunk is skipped by its stated size alone: see the odd one.
#include "sound/sound_helpers.h"

namespace {

using sound_test::WavBytes;

std::vector<uint8_t> Samples(size_t bytes) { return std::vector<uint8_t>(bytes, 0x11); }

struct Case {
  const char* what;
  std::vector<uint8_t> file;
  bool opens;
  DWORD dataSize = 0, channels = 0, rate = 0, bits = 0;
};

// Reads one file's header the way a load does; `opened` tells whether it passed.
SNDSample Read(const std::string& name, bool* opened) {
  SNDSample sample{};
  HANDLE file = sample.OpenSoundFile(name.c_str());
  *opened = file != INVALID_HANDLE_VALUE;
  if (*opened) CloseHandle(file);
  return sample;
}

TEST(WavFile, HeadersAcceptedAndRefused) {
  const std::vector<uint8_t> fiveBytes{1, 2, 3, 4, 5};
  const Case cases[] = {
      {"plain 16-bit mono", WavBytes().Format(1, 1, 22050, 16).Chunk("data", Samples(8)).File(), true, 8, 1, 22050, 16},
      {"odd chunk before data, skipped by its size alone",
       WavBytes().Format(1, 2, 11025, 8).Chunk("junk", fiveBytes).Chunk("data", Samples(6)).File(), true, 6, 2, 11025,
       8},
      {"data before format", WavBytes().Chunk("data", Samples(4)).Format(1, 1, 8000, 8).Chunk("LIST", Samples(4)).File(),
       true, 4, 1, 8000, 8},
      {"format tag 3 (float)", WavBytes().Format(3, 1, 22050, 16).Chunk("data", Samples(8)).File(), false},
      {"no data chunk", WavBytes().Format(1, 1, 22050, 16).Chunk("LIST", Samples(8)).File(), false},
      {"file ends inside the 20 format bytes", WavBytes().Chunk("data", Samples(4)).Format(1, 1, 8000, 8).File(), false},
      {"no format chunk", WavBytes().Chunk("data", Samples(8)).File(), false},
      {"0 channels", WavBytes().Format(1, 0, 22050, 16).Chunk("data", Samples(8)).File(), false},
      {"rate 0", WavBytes().Format(1, 1, 0, 16).Chunk("data", Samples(8)).File(), false},
      {"24 bits", WavBytes().Format(1, 1, 22050, 24).Chunk("data", Samples(9)).File(), false},
      {"data size beyond the file", WavBytes().Format(1, 1, 22050, 16).Chunk("data", Samples(8), 4000000).File(),
       false},
      {"chunk before data claims more than the file",
       WavBytes().Format(1, 1, 22050, 16).Chunk("junk", fiveBytes, 0xFFFFFFF0).Chunk("data", Samples(8)).File(),
       false},
      {"loop beyond the data",
       WavBytes().Format(1, 1, 22050, 16).Sampler(1, 0, 100).Chunk("data", Samples(8)).File(), false},
      {"loop start after its end",
       WavBytes().Format(1, 1, 22050, 16).Sampler(1, 3, 1).Chunk("data", Samples(8)).File(), false},
      {"sampler chunk without loops", WavBytes().Format(1, 1, 22050, 16).Sampler(0, 0, 0).Chunk("data", Samples(8)).File(),
       true, 8, 1, 22050, 16},
  };
  for (const Case& c : cases) {
    bool opened = false;
    SNDSample sample = Read(sound_test::WriteFile("case.wav", c.file), &opened);
    EXPECT_EQ(opened, c.opens) << c.what;
    if (!opened) continue;
    EXPECT_EQ(sample.m_dwDataSize, c.dataSize) << c.what;
    EXPECT_EQ(sample.m_dwChannels, c.channels) << c.what;
    EXPECT_EQ(sample.m_dwSampleRate, c.rate) << c.what;
    EXPECT_EQ(sample.m_dwBitsPerSample, c.bits) << c.what;
    EXPECT_EQ(sample.m_dwFlags, kSampleFormatRead) << c.what;
  }
}

TEST(WavFile, SamplerLoopFromLibsndfileBecomesByteOffsets) {
  bool opened = false;
  SNDSample sample = Read(sound_test::LoopingWav("loop.wav", 1000), &opened);
  ASSERT_TRUE(opened);
  EXPECT_EQ(sample.m_dwFlags, kSampleFormatRead | kSampleLooping);
  EXPECT_EQ(sample.m_dwDataSize, 2000u);
  EXPECT_EQ(sample.m_dwLoopStart, 0u);
  EXPECT_EQ(sample.m_dwLoopEnd, 999u * 2) << "the last frame (stored inclusive) times the 2-byte frame";
}

TEST(WavFile, SoxAndGameFilesReadAsTheyAre) {
  sound_test::Sox("-n -r 11025 -c 2 -b 8 -e unsigned-integer sox8.wav synth 0.1 sine 440");
  struct {
    std::string file;
    DWORD channels, rate, bits, dataSize;
  } files[] = {{"sox8.wav", 2, 11025, 8, 2 * 1103}, {sound_test::GameSound("click.wav"), 1, 22050, 16, 2204}};
  for (const auto& f : files) {
    bool opened = false;
    SNDSample sample = Read(f.file, &opened);
    ASSERT_TRUE(opened) << f.file;
    EXPECT_EQ(sample.m_dwChannels * 100000 + sample.m_dwSampleRate, f.channels * 100000 + f.rate) << f.file;
    EXPECT_EQ(sample.m_dwBitsPerSample, f.bits) << f.file;
    EXPECT_EQ(sample.m_dwDataSize, f.dataSize) << f.file;
  }
}

}  // namespace
