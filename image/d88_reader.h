// Reads the disks of a D88 container and finds their sectors by ID.
#ifndef FDPULL_IMAGE_D88_READER_H_
#define FDPULL_IMAGE_D88_READER_H_

#include <cstdint>

#include "image/d88_format.h"
#include "image/file_source.h"

namespace fdpull {

// One container, one current disk at a time. Failures show in the results only:
// nothing is printed and nothing is thrown.
class D88Reader {
 public:
  D88Reader() = default;
  D88Reader(const D88Reader&) = delete;
  D88Reader& operator=(const D88Reader&) = delete;
  ~D88Reader() = default;  // `file` closes itself

  // Opens the container and finds its disks (up to kMaxDisks). A null path only closes.
  // False when the file cannot be opened (a folder counts as such); true otherwise,
  // also when no whole disk header is found.
  bool Open(const char* path);

  // Closes the container and forgets its disks; the current disk's name stays readable.
  void Close();

  // Number of disks found by Open, 0..kMaxDisks.
  int GetDiskCount() const { return diskCount; }

  // Makes disk `index` current by reading its header. False, leaving no current disk,
  // when there is no open file, the index is out of range or the header cannot be read.
  bool SelectDisk(int index);

  // The current disk's name: at most 16 bytes, NUL-terminated; empty when none.
  const char* GetDiskName() const { return diskName; }

  // The current disk's media type byte, or -1 when there is no current disk.
  int GetMediaType() const { return mediaType; }

  // Record numbers that start and end a track when ReadSectors runs across tracks.
  void SetSectorRange(int first, int last);

  // Copies the data of the sector of `track` whose ID is (c, h, r, n), at most maxBytes.
  // Returns the bytes granted, or 0 when the sector is not found.
  int ReadSector(int track, int c, int h, int r, int n, uint8_t* buffer, int maxBytes);

  // Reads `length` bytes from consecutive sectors starting at (c, h, r, n), going on to
  // the next track after the last record of a track. Returns the bytes of the whole
  // sectors read: less than `length` when a sector is missing or short.
  int ReadSectors(int track, int c, int h, int r, int n, uint8_t* buffer, int length);

  // Lists the C, H, R, N of the track's records in stored order, 4 bytes each, writing
  // whole groups while fewer than maxBytes are written (so up to maxBytes rounded up to
  // a multiple of 4). Returns the bytes written; 0 when the track cannot be read.
  int ReadTrackIds(int track, uint8_t* buffer, int maxBytes);

 private:
  // Seeks to the first record of `track` of the current disk; false when the track
  // cannot be read (no file, index out of range, absent or out-of-disk entry).
  bool SeekTrack(int track);

  FileSource file;
  int diskCount = 0;
  int firstSector = 1;
  int lastSector = 16;
  int32_t diskOffsets[kMaxDisks] = {};
  int32_t diskSize = 0;
  int32_t diskOffset = -1;
  int32_t trackOffsets[kTrackTableSize] = {};
  int mediaType = -1;
  char diskName[kDiskNameLength + 1] = {};
};

}  // namespace fdpull

#endif  // FDPULL_IMAGE_D88_READER_H_
