// The profile-file reader: each input is an ".ini" file read with
// GetPrivateProfileStringA, the way the game asks (one value of a section) and
// the ways it never does (the section and key name lists), into buffers of
// exactly the stated size from one byte up, and through the player records
// of the options file. Whatever the file holds, a result fits its buffer, is
// terminated where the count says, and a value never runs over a line end.
#include <cstring>
#include <memory>

#include <windows.h>

#include "fuzz/fuzz_support.h"
#include "shell/player_profiles.h"

namespace {

constexpr DWORD kSizes[] = {1, 2, 3, 8, 64, 300};

struct Query {
  const char* section;  // null: the list of sections
  const char* key;      // null: the list of the section's keys
  const char* fallback;
};

constexpr Query kQueries[] = {
    {"setup", "fullscreen", "0"}, {"setup", "music", "Y"}, {" SETUP ", " Sfx ", "Y  "},
    {"setup", "playerid", "0"},   {"Player1", "name", "Player1"}, {"images", "image01", "none"},
    {"", "x", "empty section"},   {"setup", "", "empty key"},     {nullptr, nullptr, "sections"},
    {"setup", nullptr, "keys"},   {"Player1", nullptr, nullptr},
};

void Read(const Query& query, DWORD size, const std::string& path) {
  // Exactly `size` bytes on the heap, so that a byte written past them is caught.
  std::unique_ptr<char[]> buffer(new char[size]);
  std::memset(buffer.get(), 'x', size);
  const DWORD count = GetPrivateProfileStringA(query.section, query.key, query.fallback, buffer.get(), size,
                                               path.c_str());
  fuzz::Check(count < size, "the count leaves room for the terminator");
  fuzz::Check(buffer[count] == '\0', "the result is terminated where the count says");
  // The section list is always a list (a key list of a missing section gives
  // the default instead). It ends in two terminators inside the buffer: the
  // count stops after the last name's own, or, for a list cut short, before
  // the pair.
  if (query.section == nullptr && size >= 2) {
    fuzz::Check(count <= size - 2, "a name list leaves room for its two terminators");
    fuzz::Check((count > 0 && buffer[count - 1] == '\0') || buffer[count + 1] == '\0',
                "a name list ends in two terminators");
  }
  if (query.section != nullptr && query.key != nullptr) {
    fuzz::Check(std::memchr(buffer.get(), '\n', count) == nullptr && std::memchr(buffer.get(), '\r', count) == nullptr,
                "a value never runs over a line end");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchPath("options.ini");
  fuzz::Check(fuzz::WriteWholeFile(path, data, size), "the input written as a file");
  for (const Query& query : kQueries)
    for (DWORD bufferSize : kSizes) Read(query, bufferSize, path);

  PlayerProfiles profiles = {};
  profiles.SetFile(path.c_str());
  const int32_t player = profiles.ReadPlayerId();
  fuzz::Check(player >= 0 && player < kPlayerCount, "the current player is one of the eight");
  char text[kPlayerTextSize];
  profiles.FormatPlayer(player, text, sizeof text);
  fuzz::Check(std::strlen(text) < sizeof text, "a player's record text fits its buffer");
  return 0;
}
