// Windows paths on Linux: separators, drive letters and case-insensitive names.
//
// Windows accepts '\' and '/' alike, ignores repeated separators and compares
// file names without regard to case. The artwork and sound files were named by
// hand over the years ("Title\HowToPlay.bmp" next to "title\howtoplay.BMP"
// references), so each name is looked up the way Windows would find it.
// FIXME: Windows also ignores trailing dots and spaces of a name; we do not.
#include "paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

namespace host {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const char* a, const std::string& b) {
  size_t i = 0;
  for (; a[i] != '\0' && i < b.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return a[i] == '\0' && i == b.size();
}

std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory == "/") return directory + name;
  return directory + "/" + name;
}

// The entry of `directory` that equals `name` but for case, or "" if none.
// Linux may hold several such entries where Windows could hold only one; we
// take the smallest in byte order so the choice never depends on disk order.
std::string FindIgnoringCase(const std::string& directory, const std::string& name) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(directory.empty() ? "." : directory.c_str()), closedir);
  if (!dir) return {};
  std::string best;
  while (const dirent* entry = readdir(dir.get())) {
    if (!EqualIgnoringCase(entry->d_name, name)) continue;
    if (best.empty() || best.compare(entry->d_name) > 0) best = entry->d_name;
  }
  return best;
}

}  // namespace

std::string MapWindowsPath(const char* windowsPath) {
  if (windowsPath == nullptr) return {};
  std::string path = windowsPath;
  bool hasBackslash = path.find('\\') != std::string::npos;
  bool hasDrive = path.size() >= 2 && path[1] == ':' && AsciiLower(path[0]) >= 'a' && AsciiLower(path[0]) <= 'z';
  // Linux names the C library hands us (test data, system files) pass untouched.
  if (path.empty() || (!hasBackslash && !hasDrive && Exists(path))) return path;

  size_t position = hasDrive ? 2 : 0;
  bool rooted = position < path.size() && IsSeparator(path[position]);
  bool endsWithSeparator = IsSeparator(path.back());

  std::vector<std::string> components;
  while (position < path.size()) {
    while (position < path.size() && IsSeparator(path[position])) ++position;
    size_t end = position;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end > position) components.push_back(path.substr(position, end - position));
    position = end;
  }

  std::string mapped = rooted ? "/" : "";
  bool stillMatching = true;
  for (std::string& component : components) {
    if (stillMatching && component != "." && component != ".." && !Exists(Join(mapped, component))) {
      std::string found = FindIgnoringCase(mapped, component);
      if (found.empty())
        stillMatching = false;  // nothing below a missing directory can exist
      else
        component = found;
    }
    mapped = Join(mapped, component);
  }
  if (mapped.empty()) return ".";
  if (endsWithSeparator && mapped != "/") mapped += '/';
  return mapped;
}

}  // namespace host
