#include "fuzz/fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzz {
namespace {

std::string folder;

void RemoveFolder() {
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

const std::string& Folder() {
  if (!folder.empty()) return folder;
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp != nullptr && *tmp != '\0' ? tmp : access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string pattern = base + "/gloomgrid-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("fuzz: no scratch folder");
    std::abort();
  }
  folder = pattern;
  std::atexit(RemoveFolder);
  return folder;
}

}  // namespace

std::string ScratchPath(const char* name) { return Folder() + "/" + name; }

bool WriteWholeFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz: broken promise: %s\n", what);
  std::abort();
}

}  // namespace fuzz
