#include "d88_builder.h"

#include <algorithm>
#include <cstdio>

#include "image/d88_format.h"

namespace fdpull::testing {

void PutLe16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value & 0xFF);
  p[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
}

SectorRecord& TrackBuilder::AddSector(uint8_t c, uint8_t h, uint8_t r, uint8_t n, Bytes data) {
  SectorRecord record;
  record.c = c;
  record.h = h;
  record.r = r;
  record.n = n;
  record.data = std::move(data);
  records_.push_back(std::move(record));
  return records_.back();
}

Bytes DiskBuilder::Build() const {
  Bytes image(kDiskHeaderSize, 0);
  const size_t nameLength = std::min<size_t>(name_.size(), 17);
  std::copy_n(name_.begin(), nameLength, image.begin() + kDiskNameOffset);
  image[kMediaTypeOffset] = mediaType_;

  for (const auto& [index, track] : tracks_) {
    if (track.records().empty() || index < 0 || index >= kTrackTableSize) continue;
    PutLe32(image.data() + kTrackTableOffset + kTrackEntrySize * index,
            static_cast<uint32_t>(image.size()));
    const auto count = static_cast<uint16_t>(track.records().size());
    for (const SectorRecord& record : track.records()) {
      uint8_t header[kSectorHeaderSize] = {};
      header[kRecordCylinderOffset] = record.c;
      header[kRecordHeadOffset] = record.h;
      header[kRecordNumberOffset] = record.r;
      header[kRecordSizeCodeOffset] = record.n;
      PutLe16(header + kRecordCountOffset, record.count.value_or(count));
      PutLe16(header + kRecordDataSizeOffset,
              record.dataSize.value_or(static_cast<uint16_t>(record.data.size())));
      image.insert(image.end(), header, header + kSectorHeaderSize);
      image.insert(image.end(), record.data.begin(), record.data.end());
    }
  }
  image.insert(image.end(), tail_.begin(), tail_.end());
  for (const auto& [index, entry] : entryOverrides_) {
    PutLe32(image.data() + kTrackTableOffset + kTrackEntrySize * index, entry);
  }
  PutLe32(image.data() + kDiskSizeOffset,
          diskSize_.value_or(static_cast<uint32_t>(image.size())));
  return image;
}

DiskBuilder& ContainerBuilder::AddDisk(std::string name, uint8_t mediaType) {
  disks_.emplace_back(std::move(name), mediaType);
  return disks_.back();
}

DiskBuilder& ContainerBuilder::AddDisk(DiskBuilder disk) {
  disks_.push_back(std::move(disk));
  return disks_.back();
}

Bytes ContainerBuilder::Build() const {
  Bytes container;
  for (const DiskBuilder& disk : disks_) {
    const Bytes image = disk.Build();
    container.insert(container.end(), image.begin(), image.end());
  }
  if (truncateTo_ && *truncateTo_ < container.size()) container.resize(*truncateTo_);
  return container;
}

bool ContainerBuilder::WriteTo(const std::string& path) const { return WriteFile(path, Build()); }

bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written =
      bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace fdpull::testing
