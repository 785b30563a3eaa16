// GetPrivateProfileStringA: reading Windows profile (INI) files.
//
// Windows behaviour reproduced: section and key names match case-insensitively
// and are trimmed, as is every line (space, tab, CR, LF, VT, FF and Ctrl-Z are
// blanks); CRLF, LF and CR line ends read alike. Only whole lines starting with
// ';' are comments (a lookup of ";key" finds nothing either). A value quoted at
// both ends with the same quote loses the quotes. "key=" is an empty value, a
// line without '=' reads as the default and is left out of the section's key
// list, and the first of two equal keys wins. Missing file, section or key and
// empty names give the default, as given but for its trailing spaces. Values
// too long are cut and NUL-terminated (size - 1); name lists are cut to size - 2.
// The file is read afresh on every call: Windows keeps no stale copy either, and
// the game expects edits made while it runs to be seen.
// Where the host differs from Windows: only a regular file of at most 4 MiB is
// read; a directory, a device, a FIFO or anything larger reads as a missing
// file (the defaults), so a stray name can neither block nor fill the memory.
//
// FIXME: a file name without '\' or '/' means the Windows directory, which the
// host does not have: such files (and the null name, win.ini) read as missing,
// so a call that forgot its ".\" gets the default here just as it would on a
// real machine.
// FIXME: UTF-16 files are not decoded (a UTF-8 byte-order mark is skipped).
#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "paths.h"
#include "regular_file.h"
#include "windows.h"

namespace {

// Far above any profile file the game or its players write.
constexpr size_t kMaxProfileBytes = 4u << 20;

struct ProfileEntry {
  std::string name;
  std::optional<std::string> value;  // none for a line without '='
};

struct ProfileSection {
  std::string name;
  std::vector<ProfileEntry> entries;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

bool HasSeparator(const char* fileName) { return std::strpbrk(fileName, "\\/") != nullptr; }

std::optional<std::string> ReadWholeFile(const char* fileName) {
  if (fileName == nullptr || !HasSeparator(fileName)) return std::nullopt;
  return host::ReadRegularFile(host::MapWindowsPath(fileName), kMaxProfileBytes);
}

// Lines before the first section header go to a section without a name, which
// no lookup can reach (an empty section name gives the default).
std::vector<ProfileSection> Parse(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<ProfileSection> sections(1);
  while (!text.empty()) {
    size_t end = text.find_first_of("\r\n");
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';') continue;

    size_t closing = line.rfind(']');
    if (line.front() == '[' && closing != std::string_view::npos) {
      sections.push_back({std::string(Trim(line.substr(1, closing - 1))), {}});
      continue;
    }
    // A '[' line without ']' is not a header; Windows reads it as a key line.
    size_t equals = line.find('=');
    ProfileEntry entry;
    entry.name = Trim(line.substr(0, equals));
    if (equals != std::string_view::npos) entry.value = std::string(Trim(line.substr(equals + 1)));
    sections.back().entries.push_back(std::move(entry));
  }
  return sections;
}

const ProfileSection* FindSection(const std::vector<ProfileSection>& sections, std::string_view name) {
  for (const ProfileSection& section : sections)
    if (!section.name.empty() && EqualIgnoringCase(section.name, name)) return &section;
  return nullptr;
}

const ProfileEntry* FindEntry(const ProfileSection& section, std::string_view name) {
  for (const ProfileEntry& entry : section.entries)
    if (EqualIgnoringCase(entry.name, name)) return &entry;
  return nullptr;
}

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Copies as much of text as fits with its NUL; returns the characters copied.
DWORD CopyString(std::string_view text, LPSTR buffer, DWORD size) {
  DWORD length = static_cast<DWORD>(std::min<size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}

// Writes "a\0b\0\0". When the names do not fit, the last one is cut so that
// both NULs still fit, and the result is size - 2, as Windows reports it.
DWORD CopyNameList(const std::vector<std::string_view>& names, LPSTR buffer, DWORD size) {
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  DWORD room = size - 1;  // keeps one byte for the closing NUL
  char* out = buffer;
  for (std::string_view name : names) {
    DWORD needed = static_cast<DWORD>(name.size()) + 1;
    if (needed >= room) {
      std::memcpy(out, name.data(), room - 1);
      out[room - 1] = '\0';
      out[room] = '\0';
      return size - 2;
    }
    std::memcpy(out, name.data(), name.size());
    out[name.size()] = '\0';
    out += needed;
    room -= needed;
  }
  *out = '\0';
  if (out == buffer) buffer[1] = '\0';  // an empty list still ends in two NULs
  return static_cast<DWORD>(out - buffer);
}

}  // namespace

namespace {

DWORD ReadProfileString(LPCSTR appName, LPCSTR keyName, std::string_view fallback, LPSTR returnedString, DWORD size,
                        LPCSTR fileName) {
  std::optional<std::string> content = ReadWholeFile(fileName);
  if (!content) return CopyString(fallback, returnedString, size);
  std::vector<ProfileSection> sections = Parse(*content);

  if (appName == nullptr) {
    std::vector<std::string_view> names;
    for (const ProfileSection& section : sections)
      if (!section.name.empty()) names.push_back(section.name);
    return CopyNameList(names, returnedString, size);
  }

  std::string_view sectionName = Trim(appName);
  const ProfileSection* section = sectionName.empty() ? nullptr : FindSection(sections, sectionName);

  if (keyName == nullptr) {
    std::vector<std::string_view> names;
    if (section)
      for (const ProfileEntry& entry : section->entries)
        if (!entry.name.empty() && entry.value) names.push_back(entry.name);
    if (names.empty()) return CopyString(fallback, returnedString, size);
    return CopyNameList(names, returnedString, size);
  }

  std::string_view entryName = Trim(keyName);
  const ProfileEntry* entry = (section && !entryName.empty()) ? FindEntry(*section, entryName) : nullptr;
  if (entry == nullptr || !entry->value) return CopyString(fallback, returnedString, size);
  return CopyString(WithoutQuotes(*entry->value), returnedString, size);
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue, LPSTR returnedString,
                                      DWORD size, LPCSTR fileName) {
  if (returnedString == nullptr || size == 0) return 0;
  std::string_view fallback = defaultValue ? defaultValue : "";
  while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
  // Out of memory is the one exception left here; the game expects a result.
  try {
    return ReadProfileString(appName, keyName, fallback, returnedString, size, fileName);
  } catch (const std::bad_alloc&) {
    return CopyString(fallback, returnedString, size);
  }
}
