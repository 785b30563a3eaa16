#include "game/hall_of_fame.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <io.h>
#endif

namespace {

constexpr size_t kScoreBytes = 4;
constexpr size_t kEntryBytes = kHallOfFameTextSize + kScoreBytes;
// The longest Windows path, with room for the temporary file's ".tmp".
constexpr size_t kTemporaryPathSize = 260 + 4;

// The file is little-endian whatever the machine.
void PutInt32(uint8_t* bytes, int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  for (size_t i = 0; i < kScoreBytes; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
}

int32_t GetInt32(const uint8_t* bytes) {
  uint32_t bits = 0;
  for (size_t i = 0; i < kScoreBytes; ++i) bits |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  return static_cast<int32_t>(bits);
}

// Writes and flushes the whole table to an open file; false at the first
// failure, a full disk included.
bool WriteTable(FILE* file, const HallOfFameEntry* entries, int32_t count) {
  uint8_t number[kScoreBytes];
  PutInt32(number, count);
  bool written = std::fwrite(number, sizeof number, 1, file) == 1;
  for (int32_t i = 0; written && i < count; ++i) {
    uint8_t record[kEntryBytes];
    std::memcpy(record, entries[i].text, kHallOfFameTextSize);
    PutInt32(record + kHallOfFameTextSize, entries[i].score);
    written = std::fwrite(record, sizeof record, 1, file) == 1;
  }
  written = written && std::fflush(file) == 0;
#ifdef _WIN32
  // Past the C library's buffer into the disk, before the old table goes.
  written = written && _commit(_fileno(file)) == 0;
#endif
  return written;
}

}  // namespace

HallOfFame::HallOfFame() : entries(nullptr), count(0) {}

HallOfFame::~HallOfFame() { Free(); }

void HallOfFame::Resize(int32_t n) {
  Free();
  if (n <= 0) return;
  entries = new (std::nothrow) HallOfFameEntry[n]();
  if (entries != nullptr) count = n;
}

void HallOfFame::Free() {
  delete[] entries;
  entries = nullptr;
  count = 0;
}

int32_t HallOfFame::Insert(const char* text, int32_t score) {
  // An equal score does not displace: the newcomer goes below it.
  int32_t place = 0;
  while (place < count && entries[place].score >= score) ++place;
  if (place >= count) return 0;
  for (int32_t n = count - 1; n > place; --n) entries[n] = entries[n - 1];
  HallOfFameEntry& entry = entries[place];
  // Cleared first so that the file carries no leftovers of the entry before.
  std::memset(entry.text, 0, sizeof entry.text);
  if (text != nullptr) std::strncpy(entry.text, text, sizeof entry.text - 1);
  entry.score = score;
  return 1;
}

int32_t HallOfFame::TopScore() const { return count > 0 ? entries[0].score : 0; }

int32_t HallOfFame::Load(const char* path) {
  if (path == nullptr) return 0;
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return 0;
  uint8_t number[kScoreBytes];
  if (std::fread(number, sizeof number, 1, file) != 1 || GetInt32(number) != count) {
    std::fclose(file);
    return 0;
  }
  // A short file fills what it holds; the rest keeps what it had.
  for (int32_t i = 0; i < count; ++i) {
    uint8_t record[kEntryBytes];
    const size_t got = std::fread(record, 1, sizeof record, file);
    HallOfFameEntry& entry = entries[i];
    std::memcpy(entry.text, record, got < kHallOfFameTextSize ? got : kHallOfFameTextSize);
    // A text that runs to the end of its bytes is cut, so it never reads on.
    entry.text[kHallOfFameTextSize - 1] = '\0';
    if (got > kHallOfFameTextSize) {
      uint8_t score[kScoreBytes];
      PutInt32(score, entry.score);
      std::memcpy(score, record + kHallOfFameTextSize, got - kHallOfFameTextSize);
      entry.score = GetInt32(score);
    }
  }
  std::fclose(file);
  return 1;
}

int32_t HallOfFame::Save(const char* path) {
  if (path == nullptr) return 0;
  // The new table goes beside the old one and replaces it in one step, so a
  // crash or a full disk leaves one whole table or the other.
  char temporary[kTemporaryPathSize];
  const int length = std::snprintf(temporary, sizeof temporary, "%s.tmp", path);
  if (length < 0 || static_cast<size_t>(length) >= sizeof temporary) return 0;
  FILE* file = std::fopen(temporary, "wb");
  if (file == nullptr) return 0;
  bool saved = WriteTable(file, entries, count);
  saved = std::fclose(file) == 0 && saved;
  saved = saved && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!saved) DeleteFileA(temporary);
  return saved ? 1 : 0;
}
