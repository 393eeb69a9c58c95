// The one volume layout every disk is read as: 80 tracks of 16 sectors of 256 bytes,
// 2,048-byte clusters, directory and allocation table on track 52.
#ifndef FDPULL_VOLUME_VOLUME_H_
#define FDPULL_VOLUME_VOLUME_H_

#include <cstdint>

#include "image/d88_reader.h"

namespace fdpull {

constexpr int kSectorSizeCode = 1;  // N of every sector ID
constexpr int kSectorSize = 256;    // 128 << kSectorSizeCode

struct VolumeGeometry {
  int sectorsPerTrack;    // records R = 1..sectorsPerTrack on every track
  int trackCount;         // track t is cylinder t >> 1, head t & 1
  int sectorsPerCluster;  // sectors of one cluster
  int directoryTrack;     // track holding the directory and the allocation table
  int directorySectors;   // directory records 1..directorySectors
  int fatSector;          // record number of the allocation table
  int clusterCount;       // valid cluster numbers are 0..clusterCount - 1
};

constexpr VolumeGeometry kVolumeGeometry = {
    16,            // sectorsPerTrack
    80,            // trackCount
    8,             // sectorsPerCluster
    52,            // directoryTrack: cylinder 26, head 0
    14,            // directorySectors
    14,            // fatSector
    16 * 80 / 8,   // clusterCount = 160
};

constexpr int kTrackBytes = kVolumeGeometry.sectorsPerTrack * kSectorSize;        // 4,096
constexpr int kClusterSize = kVolumeGeometry.sectorsPerCluster * kSectorSize;     // 2,048
constexpr int kDirectoryBytes = kVolumeGeometry.directorySectors * kSectorSize;   // 3,584
constexpr int kFatBytes = kSectorSize;                                            // 256
constexpr int kDiskBytes = kVolumeGeometry.trackCount * kTrackBytes;              // 327,680
constexpr int kDirectoryEntrySize = 16;
constexpr int kDirectoryEntryCount = kDirectoryBytes / kDirectoryEntrySize;      // 224

static_assert(kDiskBytes == kVolumeGeometry.clusterCount * kClusterSize,
              "the clusters cover the disk exactly");

// Directory entry, 16 bytes.
constexpr int kEntryNameOffset = 0;       // 6 bytes, space-padded
constexpr int kEntryNameLength = 6;
constexpr int kEntryExtensionOffset = 6;  // 3 bytes, space-padded
constexpr int kEntryExtensionLength = 3;
constexpr int kEntryAttributeOffset = 9;  // bit 0: machine-language file saved with BSAVE
constexpr int kEntryClusterOffset = 10;   // first cluster of the file
constexpr uint8_t kEntryFree = 0x00;      // first byte: deleted entry, passed over
constexpr uint8_t kEntryEnd = 0xFF;       // first byte: no entry follows
constexpr uint8_t kAttributeMachineCode = 0x01;

// Allocation table byte of a cluster: below kFatLastCluster it is the next cluster;
// from it on, the cluster is the last and the low bits count its used sectors.
constexpr uint8_t kFatLastCluster = 0xC0;
constexpr uint8_t kFatSectorCountMask = 0x1F;

// Load-address header at the start of a machine-language file.
constexpr int kLoadStartOffset = 0;  // u16, first address
constexpr int kLoadEndOffset = 2;    // u16, last address, inclusive
constexpr int kLoadHeaderSize = 4;

struct DirectoryEntry {
  uint8_t bytes[kDirectoryEntrySize];

  uint8_t attribute() const { return bytes[kEntryAttributeOffset]; }
  uint8_t firstCluster() const { return bytes[kEntryClusterOffset]; }
};

struct VolumeBuffers {
  uint8_t directoryBuffer[kDirectoryBytes];  // records 1..14 of the directory track
  uint8_t fatBuffer[kFatBytes];              // the allocation table, one byte per cluster
  uint8_t diskBuffer[kDiskBytes];            // the whole disk, track t at t * kTrackBytes
};

// The process's one set of buffers, allocated statically and reused for every disk.
VolumeBuffers& GetVolumeBuffers();

// Clears all three buffers to zero.
void ClearVolumeBuffers(VolumeBuffers& buffers);

// Reads the reader's current disk into the buffers (which the caller has cleared).
// False when the directory or the allocation table cannot be read whole; later tracks
// that cannot be read stay zero and do not fail the load.
bool LoadVolume(D88Reader& reader, const VolumeGeometry& geometry, VolumeBuffers& buffers);

}  // namespace fdpull

#endif  // FDPULL_VOLUME_VOLUME_H_
