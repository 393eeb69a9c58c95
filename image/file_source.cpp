#include "image/file_source.h"

#include <climits>
#include <cstring>

namespace fdpull {

FileSource::~FileSource() { Close(); }

bool FileSource::Open(const char* path) {
  Close();
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  // The window does the buffering; a second buffer in the stream would only copy.
  std::setvbuf(file, nullptr, _IONBF, 0);
  // Some systems open a folder for reading and fail only at the first read; one probe
  // read tells a folder (an error) from an empty file (end of file).
  (void)std::fgetc(file);
  if (std::ferror(file)) {
    std::fclose(file);
    return false;
  }
  file_ = file;
  window_.resize(kWindowSize);
  return true;
}

void FileSource::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  position_ = 0;
  filePosition_ = -1;
  windowStart_ = 0;
  windowLength_ = 0;
}

bool FileSource::Fill() {
  windowStart_ = position_;
  windowLength_ = 0;
  if (position_ > LONG_MAX) return false;
  if (filePosition_ != position_) {
    if (std::fseek(file_, static_cast<long>(position_), SEEK_SET) != 0) {
      filePosition_ = -1;
      return false;
    }
    filePosition_ = position_;
  }
  windowLength_ = std::fread(window_.data(), 1, window_.size(), file_);
  if (windowLength_ < window_.size()) {
    std::clearerr(file_);
    filePosition_ = -1;
  } else {
    filePosition_ += static_cast<int64_t>(windowLength_);
  }
  return windowLength_ > 0;
}

size_t FileSource::Read(void* buffer, size_t size) {
  if (file_ == nullptr || position_ < 0) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t delivered = 0;
  while (delivered < size) {
    const bool inWindow =
        position_ >= windowStart_ &&
        position_ < windowStart_ + static_cast<int64_t>(windowLength_);
    if (!inWindow && !Fill()) break;
    const auto offset = static_cast<size_t>(position_ - windowStart_);
    size_t take = windowLength_ - offset;
    if (take > size - delivered) take = size - delivered;
    std::memcpy(out + delivered, window_.data() + offset, take);
    delivered += take;
    position_ += static_cast<int64_t>(take);
  }
  return delivered;
}

}  // namespace fdpull
