// The WAV reader on files built byte by byte, made by sox, and the game's own. A chunk is skipped by its stated size
// alone: see the odd one.
#include <cstdlib>

#include "sound/sound_helpers.h"

namespace {

using sound_test::WavBytes;

std::vector<uint8_t> Bytes(size_t count) { return std::vector<uint8_t>(count, 0x11); }
std::string Case(const std::vector<uint8_t>& file) {
  static int made = 0;
  return sound_test::WriteFile("case" + std::to_string(++made) + ".wav", file);
}

// What a load reads from a file's header, or "refused".
std::string Read(const std::string& name) {
  SNDSample sample{};
  HANDLE file = sample.OpenSoundFile(name.c_str());
  if (file == INVALID_HANDLE_VALUE) return "refused";
  CloseHandle(file);
  std::string text = std::to_string(sample.m_dwDataSize) + " bytes " + std::to_string(sample.m_dwChannels) + "x" +
                     std::to_string(sample.m_dwBitsPerSample) + " " + std::to_string(sample.m_dwSampleRate) + " Hz";
  if (sample.m_dwFlags & kSampleLooping)
    text += " loop " + std::to_string(sample.m_dwLoopStart) + "-" + std::to_string(sample.m_dwLoopEnd);
  return text;
}

TEST(WavFile, HeadersAcceptedAndRefused) {
  ASSERT_EQ(std::system("sox -n -r 11025 -c 2 -b 8 -e unsigned-integer sox8.wav synth 0.1 sine 440 2>&1"), 0);
  const auto pcm16 = [] { return WavBytes().Format(1, 1, 22050, 16); };
  const std::vector<uint8_t> five{1, 2, 3, 4, 5};
  const struct { const char* what; std::string file, read; } cases[] = {
      {"plain", Case(pcm16().Chunk("data", Bytes(8)).File()), "8 bytes 1x16 22050 Hz"},
      {"odd chunk before data",
       Case(WavBytes().Format(1, 2, 11025, 8).Chunk("junk", five).Chunk("data", Bytes(6)).File()), "6 bytes 2x8 11025 Hz"},
      {"data before format", Case(WavBytes().Chunk("data", Bytes(4)).Format(1, 1, 8000, 8).Chunk("LIST", Bytes(4)).File()),
       "4 bytes 1x8 8000 Hz"},
      {"sampler loop in frames", Case(pcm16().Sampler(1, 2, 999).Chunk("data", Bytes(2000)).File()),
       "2000 bytes 1x16 22050 Hz loop 4-1998"},
      {"sampler without loops", Case(pcm16().Sampler(0, 0, 0).Chunk("data", Bytes(10)).File()), "10 bytes 1x16 22050 Hz"},
      {"sox 8-bit stereo", "sox8.wav", "2206 bytes 2x8 11025 Hz"},
      {"the game's click", sound_test::GameSound("click.wav"), "2204 bytes 1x16 22050 Hz"},
      {"non-PCM tag 3", Case(WavBytes().Format(3, 1, 22050, 16).Chunk("data", Bytes(12)).File()), "refused"},
      {"no data chunk", Case(pcm16().Chunk("LIST", Bytes(14)).File()), "refused"},
      {"file ends inside the 20 format bytes", Case(WavBytes().Chunk("data", Bytes(4)).Format(1, 1, 8000, 8).File()),
       "refused"},
      {"no format chunk", Case(WavBytes().Chunk("data", Bytes(16)).File()), "refused"},
      {"0 channels", Case(WavBytes().Format(1, 0, 22050, 16).Chunk("data", Bytes(18)).File()), "refused"},
      {"rate 0", Case(WavBytes().Format(1, 1, 0, 16).Chunk("data", Bytes(20)).File()), "refused"},
      {"24 bits", Case(WavBytes().Format(1, 1, 22050, 24).Chunk("data", Bytes(9)).File()), "refused"},
      {"data size beyond the file", Case(pcm16().Chunk("data", Bytes(22), 4000000).File()), "refused"},
      {"chunk before data lies", Case(pcm16().Chunk("junk", five, 0xFFFFFFF0).Chunk("data", Bytes(24)).File()), "refused"},
      {"loop beyond the data", Case(pcm16().Sampler(1, 0, 100).Chunk("data", Bytes(26)).File()), "refused"},
      {"loop start after its end", Case(pcm16().Sampler(1, 3, 1).Chunk("data", Bytes(28)).File()), "refused"},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.file), c.read) << c.what;
}

}  // namespace
