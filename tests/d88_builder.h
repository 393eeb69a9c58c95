// Composes D88 containers in memory for tests, fuzz seeds and the sample container:
// any disk name, media byte, disk size, track entries, record IDs, counts, data sizes
// and order, and damage such as truncation, zero counts or short data.
//
//   ContainerBuilder container;
//   DiskBuilder& disk = container.AddDisk("GAME A");
//   disk.Track(52).AddSector(26, 0, 1, 1, data);   // C, H, R, N, data bytes
//   container.WriteTo("game.d88");
#ifndef FDPULL_TESTS_D88_BUILDER_H_
#define FDPULL_TESTS_D88_BUILDER_H_

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fdpull::testing {

using Bytes = std::vector<uint8_t>;

struct SectorRecord {
  uint8_t c = 0, h = 0, r = 0, n = 1;  // the sector ID
  Bytes data;                          // the bytes that follow the record header
  // Overrides of the header fields; by default the count is the number of records in
  // the track and the data size is data.size().
  std::optional<uint16_t> count;
  std::optional<uint16_t> dataSize;
};

class TrackBuilder {
 public:
  // Appends a record; returns it so that its count or data size can be overridden.
  SectorRecord& AddSector(uint8_t c, uint8_t h, uint8_t r, uint8_t n, Bytes data);
  std::vector<SectorRecord>& records() { return records_; }
  const std::vector<SectorRecord>& records() const { return records_; }

 private:
  std::vector<SectorRecord> records_;
};

class DiskBuilder {
 public:
  explicit DiskBuilder(std::string name, uint8_t mediaType = 0)
      : name_(std::move(name)), mediaType_(mediaType) {}

  // The track with this index (0..163), created empty on first use. Tracks are laid
  // out in index order after the header; an empty track gets a table entry of 0.
  TrackBuilder& Track(int index) { return tracks_[index]; }
  // Removes a track: its table entry becomes 0.
  void RemoveTrack(int index) { tracks_.erase(index); }

  // Overrides the disk-size field (by default the header plus all track bytes).
  DiskBuilder& SetDiskSize(uint32_t size) { diskSize_ = size; return *this; }
  // Overrides a track-table entry after layout.
  DiskBuilder& SetTrackEntry(int index, uint32_t entry) { entryOverrides_[index] = entry; return *this; }
  // Bytes appended after the tracks, counted in the default disk size.
  DiskBuilder& AppendBytes(const Bytes& bytes) { tail_.insert(tail_.end(), bytes.begin(), bytes.end()); return *this; }

  // The disk image: header, then tracks.
  Bytes Build() const;

 private:
  std::string name_;  // up to 17 raw bytes; longer names are cut
  uint8_t mediaType_;
  std::map<int, TrackBuilder> tracks_;
  std::optional<uint32_t> diskSize_;
  std::map<int, uint32_t> entryOverrides_;
  Bytes tail_;
};

class ContainerBuilder {
 public:
  DiskBuilder& AddDisk(std::string name, uint8_t mediaType = 0);
  DiskBuilder& AddDisk(DiskBuilder disk);
  DiskBuilder& Disk(size_t index) { return disks_.at(index); }

  // The disks back to back, cut to `truncateTo` bytes when that is set.
  Bytes Build() const;
  ContainerBuilder& TruncateTo(size_t size) { truncateTo_ = size; return *this; }

  // Writes Build() to a file; false when it cannot be written.
  bool WriteTo(const std::string& path) const;

 private:
  std::deque<DiskBuilder> disks_;  // a deque keeps references from AddDisk valid
  std::optional<size_t> truncateTo_;
};

// Writes bytes to a file; false when it cannot be written.
bool WriteFile(const std::string& path, const Bytes& bytes);

// Little-endian stores for building fixtures.
void PutLe16(uint8_t* p, uint16_t value);
void PutLe32(uint8_t* p, uint32_t value);

}  // namespace fdpull::testing

#endif  // FDPULL_TESTS_D88_BUILDER_H_
