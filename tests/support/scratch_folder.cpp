#include "support/scratch_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadFileText(const std::string& path) {
  if (!FileExists(path)) return "(missing)";
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out.good();
}

}  // namespace testing_support
