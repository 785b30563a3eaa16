#include "support/scratch_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace testing_support {

ScratchFolder::ScratchFolder(Mode mode) {
  std::error_code error;
  std::string pattern = (std::filesystem::temp_directory_path(error) / "gloomgrid-test-XXXXXX").string();
  if (error || mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a scratch folder from " << pattern;
    return;
  }
  path_ = pattern;
  if (mode == kMakeWorkingDirectory) {
    const std::filesystem::path here = std::filesystem::current_path(error);
    if (error || chdir(path_.c_str()) != 0) {
      ADD_FAILURE() << "cannot enter the scratch folder " << path_;
      return;
    }
    previousWorkingDirectory_ = here.string();
  }
}

ScratchFolder::~ScratchFolder() {
  if (!previousWorkingDirectory_.empty() && chdir(previousWorkingDirectory_.c_str()) != 0)
    ADD_FAILURE() << "cannot return to " << previousWorkingDirectory_;
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  uint8_t chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return bytes;
}

std::string ReadFileText(const std::string& path) {
  if (!FileExists(path)) return "(missing)";
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace testing_support
