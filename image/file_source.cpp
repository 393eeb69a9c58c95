#include "image/file_source.h"

#include <climits>

namespace fdpull {

FileSource::~FileSource() { Close(); }

bool FileSource::Open(const char* path) {
  Close();
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  // Some systems open a folder for reading and fail only at the first read; one probe
  // read tells a folder (an error) from an empty file (end of file).
  (void)std::fgetc(file);
  if (std::ferror(file)) {
    std::fclose(file);
    return false;
  }
  file_ = file;
  position_ = 0;
  filePosition_ = -1;
  return true;
}

void FileSource::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  position_ = 0;
  filePosition_ = -1;
}

size_t FileSource::Read(void* buffer, size_t size) {
  if (file_ == nullptr || size == 0 || position_ < 0 || position_ > LONG_MAX) return 0;
  if (filePosition_ != position_) {
    if (std::fseek(file_, static_cast<long>(position_), SEEK_SET) != 0) {
      filePosition_ = -1;
      return 0;
    }
    filePosition_ = position_;
  }
  const size_t got = std::fread(buffer, 1, size, file_);
  if (got < size) {
    std::clearerr(file_);
    filePosition_ = -1;
  } else {
    filePosition_ += static_cast<int64_t>(got);
  }
  position_ += static_cast<int64_t>(got);
  return got;
}

}  // namespace fdpull
