// A read-only binary file with an explicit position: reads and seeks report what they
// managed through their results, so a short file is an ordinary outcome.
#ifndef FDPULL_IMAGE_FILE_SOURCE_H_
#define FDPULL_IMAGE_FILE_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace fdpull {

class FileSource {
 public:
  FileSource() = default;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  ~FileSource();

  // Opens path for binary reading. False when it cannot be opened or read, which
  // includes a path that names a folder.
  bool Open(const char* path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Moves the position; never fails by itself. A position before the start or past
  // the end makes the next Read deliver nothing.
  void Seek(int64_t position) { position_ = position; }
  void Skip(int64_t count) { position_ += count; }

  // Reads up to size bytes at the position and advances past them; returns the number
  // of bytes delivered, short at the end of the file or on an error.
  size_t Read(void* buffer, size_t size);

 private:
  // Reads the window of the file that starts at position_; false when nothing is there.
  bool Fill();

  // Sector lookups walk a track from its first record again for every sector, in
  // 16-byte headers and short skips. They are served from a window of the file read
  // in one call, so that a disk costs a handful of system calls, not one per record.
  static constexpr size_t kWindowSize = 64 * 1024;

  std::FILE* file_ = nullptr;
  int64_t position_ = 0;
  int64_t filePosition_ = -1;  // where the stream stands, or -1 when unknown
  std::vector<uint8_t> window_;
  int64_t windowStart_ = 0;  // file offset of window_[0]
  size_t windowLength_ = 0;  // bytes of the window that hold file data
};

}  // namespace fdpull

#endif  // FDPULL_IMAGE_FILE_SOURCE_H_
