#include "image/d88_reader.h"

#include <climits>
#include <cstring>

namespace fdpull {

bool D88Reader::Open(const char* path) {
  if (path == nullptr) {
    Close();
    return true;
  }
  Close();
  if (!file.Open(path)) return false;

  uint8_t header[kDiskHeaderSize];
  int32_t offset = 0;
  while (diskCount < kMaxDisks) {
    diskOffsets[diskCount] = offset;
    // A negative start cannot be sought to: the chain of disks ends there.
    if (offset < 0) break;
    file.Seek(offset);
    if (file.Read(header, sizeof header) < sizeof header) break;
    offset = WrapAdd32(offset, ToInt32(ReadLe32(header + kDiskSizeOffset)));
    ++diskCount;
  }
  return true;
}

void D88Reader::Close() {
  file.Close();
  diskCount = 0;
  mediaType = -1;
}

bool D88Reader::SelectDisk(int index) {
  if (!file.IsOpen()) return false;
  diskOffset = -1;
  mediaType = -1;
  diskSize = 0;
  diskName[0] = '\0';
  if (index < 0 || index >= diskCount) return false;

  uint8_t header[kDiskHeaderSize];
  file.Seek(diskOffsets[index]);
  if (file.Read(header, sizeof header) < sizeof header) return false;

  diskOffset = diskOffsets[index];
  for (int t = 0; t < kTrackTableSize; ++t) {
    trackOffsets[t] = ToInt32(ReadLe32(header + kTrackTableOffset + kTrackEntrySize * t));
  }
  mediaType = header[kMediaTypeOffset];
  diskSize = ToInt32(ReadLe32(header + kDiskSizeOffset));
  size_t nameLength = 0;
  while (nameLength < kDiskNameLength && header[kDiskNameOffset + nameLength] != 0) {
    ++nameLength;
  }
  std::memcpy(diskName, header + kDiskNameOffset, nameLength);
  diskName[nameLength] = '\0';
  return true;
}

void D88Reader::SetSectorRange(int first, int last) {
  firstSector = first;
  lastSector = last;
}

bool D88Reader::SeekTrack(int track) {
  if (!file.IsOpen() || track < 0 || track >= kTrackTableSize) return false;
  const int32_t entry = trackOffsets[track];
  if (entry == 0 || entry > diskSize) return false;
  const int32_t position = WrapAdd32(diskOffset, entry);
  if (position < 0) return false;
  file.Seek(position);
  return true;
}

int D88Reader::ReadSector(int track, int c, int h, int r, int n, uint8_t* buffer,
                          int maxBytes) {
  if (!SeekTrack(track)) return 0;
  uint8_t record[kSectorHeaderSize];
  // Imaging tools store records in any order, so the sector is found by its ID. The
  // count is taken afresh from every record; the walk ends at a record whose own count
  // says it is the last, at a count of 0, or where the file ends.
  for (int i = 0;; ++i) {
    if (file.Read(record, sizeof record) < sizeof record) return 0;
    const int count = ReadLe16(record + kRecordCountOffset);
    const int size = ReadLe16(record + kRecordDataSizeOffset);
    if (count == 0) return 0;
    if (record[kRecordCylinderOffset] == c && record[kRecordHeadOffset] == h &&
        record[kRecordNumberOffset] == r && record[kRecordSizeCodeOffset] == n) {
      const int granted = size < maxBytes ? size : maxBytes;
      if (granted > 0) file.Read(buffer, static_cast<size_t>(granted));
      return granted;
    }
    file.Skip(size);
    if (i == count - 1) return 0;
  }
}

int D88Reader::ReadSectors(int track, int c, int h, int r, int n, uint8_t* buffer,
                           int length) {
  // Size codes beyond 23 would not fit an int; no caller passes one.
  if (n < 0 || n > 23) return 0;
  int chunk = 128 << n;
  int total = 0;
  while (total < length) {
    if (length - total < chunk) chunk = length - total;
    const int got = ReadSector(track, c, h, r, n, buffer + total, chunk);
    if (got < chunk) return total;
    total += chunk;
    if (r == lastSector) {
      ++track;
      if (h == 0) {
        h = 1;
      } else {
        h = 0;
        ++c;
      }
      r = firstSector;
    } else {
      ++r;
    }
  }
  return total;
}

int D88Reader::ReadTrackIds(int track, uint8_t* buffer, int maxBytes) {
  if (!SeekTrack(track)) return 0;
  uint8_t record[kSectorHeaderSize];
  int result = 0;
  // Unlike a sector search, a count of 0 does not end the listing.
  for (int64_t i = 0; kSectorIdSize * i < maxBytes && result <= INT_MAX - kSectorIdSize; ++i) {
    if (file.Read(record, sizeof record) < sizeof record) break;
    std::memcpy(buffer + result, record, kSectorIdSize);
    result += kSectorIdSize;
    file.Skip(ReadLe16(record + kRecordDataSizeOffset));
    if (i == ReadLe16(record + kRecordCountOffset) - 1) break;
  }
  return result;
}

}  // namespace fdpull
