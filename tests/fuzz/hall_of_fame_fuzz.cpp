// The hall-of-fame loader: each input is a "hiscore.dat" loaded into the
// game's 20-place table. Every text stays terminated inside its 256 bytes;
// after a result is offered, the table saved and loaded into a fresh table
// reads back byte for byte, in a file of exactly 5204 bytes.
#include <sys/stat.h>

#include <cstring>

#include "fuzz/fuzz_support.h"
#include "game/hall_of_fame.h"

namespace {

constexpr off_t kFileBytes = 4 + kHallOfFameSize * (kHallOfFameTextSize + 4);

bool SameTables(const HallOfFame& a, const HallOfFame& b) {
  if (a.count != b.count) return false;
  for (int32_t i = 0; i < a.count; ++i)
    if (std::memcmp(a.entries[i].text, b.entries[i].text, kHallOfFameTextSize) != 0 ||
        a.entries[i].score != b.entries[i].score)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchPath("hiscore.dat");
  static const std::string saved = fuzz::ScratchPath("saved.dat");
  fuzz::Check(fuzz::WriteWholeFile(path, data, size), "the input written as a file");

  HallOfFame table;
  table.Resize(kHallOfFameSize);
  table.Load(path.c_str());
  for (int32_t i = 0; i < table.count; ++i)
    fuzz::Check(std::memchr(table.entries[i].text, '\0', kHallOfFameTextSize) != nullptr,
                "every loaded text is terminated inside its bytes");

  table.Insert("Fuzz:::Y", 4242);
  fuzz::Check(table.TopScore() >= 4242, "an offered result is at most the best score");
  fuzz::Check(table.Save(saved.c_str()) == 1, "the table is saved");
  struct stat file = {};
  fuzz::Check(stat(saved.c_str(), &file) == 0 && file.st_size == kFileBytes, "a saved table is 5204 bytes");

  HallOfFame reread;
  reread.Resize(kHallOfFameSize);
  fuzz::Check(reread.Load(saved.c_str()) == 1, "a saved table loads");
  fuzz::Check(SameTables(table, reread), "a saved table reads back as it was");
  return 0;
}
