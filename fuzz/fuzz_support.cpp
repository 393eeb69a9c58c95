#include "fuzz_support.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fdpull::fuzz {

namespace {

struct Folder {
  std::string path;
  Folder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                          "/fdpull-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::string& ProcessFolder() {
  static Folder folder;
  return folder.path;
}

const std::string& WriteInput(const std::vector<uint8_t>& bytes) {
  static const std::string path = ProcessFolder() + "/input.d88";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    std::abort();
  }
  if (std::fclose(file) != 0) std::abort();
  return path;
}

}  // namespace fdpull::fuzz
