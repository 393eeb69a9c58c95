#include "volume_image.h"

#include <algorithm>
#include <stdexcept>

namespace fdpull::testing {

namespace {

void PutPadded(uint8_t* p, const std::string& text, size_t width) {
  for (size_t i = 0; i < width; ++i) p[i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
}

}  // namespace

void VolumeImage::SetEntry(int k, const std::string& name, const std::string& extension,
                           uint8_t attribute, uint8_t firstCluster) {
  uint8_t* entry = Entry(k);
  std::fill(entry, entry + 16, 0);
  PutPadded(entry, name, 6);
  PutPadded(entry + 6, extension, 3);
  entry[9] = attribute;
  entry[10] = firstCluster;
}

int VolumeImage::AddEntry(const std::string& name, const std::string& extension,
                          uint8_t attribute, uint8_t firstCluster) {
  SetEntry(nextEntry_, name, extension, attribute, firstCluster);
  return nextEntry_++;
}

int VolumeImage::AddFile(const std::string& name, const std::string& extension,
                         uint8_t attribute, const std::vector<int>& clusters,
                         const Bytes& content) {
  if (clusters.empty() || content.size() > clusters.size() * kVolumeClusterSize) {
    throw std::invalid_argument("content does not fit the clusters");
  }
  for (size_t i = 0; i < clusters.size(); ++i) {
    const size_t from = i * kVolumeClusterSize;
    const size_t length = content.size() > from ? std::min<size_t>(content.size() - from, kVolumeClusterSize) : 0;
    std::copy_n(content.begin() + static_cast<std::ptrdiff_t>(from), length, Cluster(clusters[i]));
    if (i + 1 < clusters.size()) {
      SetFat(clusters[i], static_cast<uint8_t>(clusters[i + 1]));
    } else {
      const size_t used = (length + kVolumeSectorSize - 1) / kVolumeSectorSize;
      SetFat(clusters[i], static_cast<uint8_t>(0xC0 | used));
    }
  }
  return AddEntry(name, extension, attribute, static_cast<uint8_t>(clusters.front()));
}

void VolumeImage::EndDirectory() { Entry(nextEntry_)[0] = 0xFF; }

DiskBuilder VolumeImage::ToDisk(const std::string& diskName, uint8_t mediaType) const {
  DiskBuilder disk(diskName, mediaType);
  for (int t = 0; t < kVolumeTracks; ++t) {
    TrackBuilder& track = disk.Track(t);
    for (int r = 1; r <= kVolumeSectors; ++r) {
      const auto from = bytes_.begin() + t * kVolumeTrackSize + (r - 1) * kVolumeSectorSize;
      track.AddSector(static_cast<uint8_t>(t >> 1), static_cast<uint8_t>(t & 1),
                      static_cast<uint8_t>(r), 1, Bytes(from, from + kVolumeSectorSize));
    }
  }
  return disk;
}

Bytes LoadHeader(uint16_t start, uint16_t end) {
  Bytes header(4);
  PutLe16(header.data(), start);
  PutLe16(header.data() + 2, end);
  return header;
}

Bytes Pattern(size_t size, uint8_t seed) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<uint8_t>((i * 7 + (i >> 8) * 13 + seed * 31 + 1) & 0xFF);
  }
  return bytes;
}

Bytes Concat(const Bytes& a, const Bytes& b) {
  Bytes out = a;
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

}  // namespace fdpull::testing
