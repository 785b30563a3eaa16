// The hall of fame: the 20 best results, best first, and its file
// "hiscore.dat" (little-endian: the entry count, then per entry 256 text bytes
// and a 4-byte score; 5204 bytes for 20 entries). A score of 0 is an empty
// place. Main thread only.
#pragma once

#include <cstdint>

constexpr int32_t kHallOfFameSize = 20;
constexpr int32_t kHallOfFameTextSize = 256;

struct HallOfFameEntry {
  char text[kHallOfFameTextSize];  // NUL-terminated, at most 255 characters
  int32_t score;
};

class HallOfFame {
 public:
  HallOfFame();
  ~HallOfFame();
  HallOfFame(const HallOfFame&) = delete;
  HallOfFame& operator=(const HallOfFame&) = delete;

  // n zeroed entries in place of any previous ones (none for n <= 0).
  void Resize(int32_t n);
  // Releases the entries; the table is then empty.
  void Free();
  // Puts the result below every entry with a score at least as high, dropping
  // the last entry; 1 if it entered, 0 if no entry scored lower. The text is
  // cut to 255 characters.
  int32_t Insert(const char* text, int32_t score);
  // The best score; 0 for an empty table.
  int32_t TopScore() const;
  // 1 when the file was read. A file that cannot be opened or whose count
  // differs from the table's leaves the table as it was and gives 0; a short
  // file fills what it holds, extra bytes are ignored.
  int32_t Load(const char* path);
  // Writes the table beside the file and moves it over the old one, so the
  // file is always either the old table or the new one, whole. 1 when written;
  // 0 (and the old file untouched) when anything failed.
  int32_t Save(const char* path);

  HallOfFameEntry* entries;
  int32_t count;
};
