// A whole volume in the tool's one layout (80 tracks x 16 sectors x 256 bytes, directory
// and allocation table on track 52), composed byte by byte and turned into a disk.
//
//   VolumeImage volume;
//   volume.AddFile("LOADER", "BAS", 0, {10, 11}, text);       // chain 10 -> 11
//   volume.EndDirectory();
//   container.AddDisk(volume.ToDisk("GAME A"));
#ifndef FDPULL_TESTS_VOLUME_IMAGE_H_
#define FDPULL_TESTS_VOLUME_IMAGE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "d88_builder.h"

namespace fdpull::testing {

constexpr int kVolumeTracks = 80;
constexpr int kVolumeSectors = 16;
constexpr int kVolumeSectorSize = 256;
constexpr int kVolumeTrackSize = kVolumeSectors * kVolumeSectorSize;  // 4,096
constexpr int kVolumeClusterSize = 2048;
constexpr int kVolumeBytes = kVolumeTracks * kVolumeTrackSize;        // 327,680
constexpr int kDirectoryTrack = 52;
constexpr int kDirectoryOffset = kDirectoryTrack * kVolumeTrackSize;  // entry 0
constexpr int kFatOffset = kDirectoryOffset + 13 * kVolumeSectorSize; // record 14
constexpr uint8_t kMachineCode = 0x01;                                // attribute bit 0

class VolumeImage {
 public:
  VolumeImage() : bytes_(kVolumeBytes, 0) {}

  // Writes directory entry k (0..223) from a 6-byte name and a 3-byte extension, both
  // padded with spaces; the strings may hold any bytes.
  void SetEntry(int k, const std::string& name, const std::string& extension, uint8_t attribute,
                uint8_t firstCluster);
  uint8_t* Entry(int k) { return bytes_.data() + kDirectoryOffset + 16 * k; }

  // Appends an entry at the next slot and lays `content` over `clusters`: the chain
  // links them in order and the last one's table byte counts the sectors it uses.
  // Returns the entry's index.
  int AddFile(const std::string& name, const std::string& extension, uint8_t attribute,
              const std::vector<int>& clusters, const Bytes& content);
  // Appends a raw entry at the next slot without touching clusters or the table.
  int AddEntry(const std::string& name, const std::string& extension, uint8_t attribute,
               uint8_t firstCluster);
  // Puts the 0xFF end mark at the next slot.
  void EndDirectory();

  void SetFat(int cluster, uint8_t value) { bytes_[static_cast<size_t>(kFatOffset + cluster)] = value; }
  uint8_t* Cluster(int c) { return bytes_.data() + c * kVolumeClusterSize; }
  Bytes& bytes() { return bytes_; }
  const Bytes& bytes() const { return bytes_; }

  // The disk: tracks 0..79, each 16 records R = 1..16 with C = t >> 1, H = t & 1, N = 1.
  DiskBuilder ToDisk(const std::string& diskName, uint8_t mediaType = 0) const;

 private:
  Bytes bytes_;
  int nextEntry_ = 0;
};

// The 4-byte load-address header of a machine-language file.
Bytes LoadHeader(uint16_t start, uint16_t end);

// `size` bytes of a pattern that differs from cluster to cluster and byte to byte, so
// that a misplaced or missing byte shows.
Bytes Pattern(size_t size, uint8_t seed);

Bytes Concat(const Bytes& a, const Bytes& b);

}  // namespace fdpull::testing

#endif  // FDPULL_TESTS_VOLUME_IMAGE_H_
