#include "volume/volume.h"

#include <cstring>

namespace fdpull {

VolumeBuffers& GetVolumeBuffers() {
  static VolumeBuffers buffers;
  return buffers;
}

void ClearVolumeBuffers(VolumeBuffers& buffers) { std::memset(&buffers, 0, sizeof buffers); }

bool LoadVolume(D88Reader& reader, const VolumeGeometry& geometry, VolumeBuffers& buffers) {
  const int track = geometry.directoryTrack;
  const int cylinder = track >> 1;
  const int head = track & 1;
  if (reader.ReadSectors(track, cylinder, head, 1, kSectorSizeCode, buffers.directoryBuffer,
                         kDirectoryBytes) != kDirectoryBytes) {
    return false;
  }
  if (reader.ReadSectors(track, cylinder, head, geometry.fatSector, kSectorSizeCode,
                         buffers.fatBuffer, kFatBytes) != kFatBytes) {
    return false;
  }
  // Missing or short sectors leave zeros behind; the files that used them come out
  // with zeros where the data was lost.
  for (int t = 0; t < geometry.trackCount; ++t) {
    reader.ReadSectors(t, t >> 1, t & 1, 1, kSectorSizeCode, buffers.diskBuffer + t * kTrackBytes,
                       kTrackBytes);
  }
  return true;
}

}  // namespace fdpull
