// Byte layout of a D88 container: a chain of disk images placed back to back,
// each a fixed disk header followed by track data made of sector records.
#ifndef FDPULL_IMAGE_D88_FORMAT_H_
#define FDPULL_IMAGE_D88_FORMAT_H_

#include <cstdint>

namespace fdpull {

// Disk header, at the start of every disk image.
constexpr int kDiskHeaderSize = 688;
constexpr int kDiskNameOffset = 0;     // 17 bytes, NUL-terminated text
constexpr int kDiskNameLength = 16;    // at most this many name bytes are shown
constexpr int kMediaTypeOffset = 27;   // u8, held as a number, not interpreted
constexpr int kDiskSizeOffset = 28;    // u32, byte length of this disk image, header included
constexpr int kTrackTableOffset = 32;  // kTrackTableSize entries of u32
constexpr int kTrackTableSize = 164;   // entry t: offset of track t's first record, 0 = absent
constexpr int kTrackEntrySize = 4;

static_assert(kTrackTableOffset + kTrackTableSize * kTrackEntrySize == kDiskHeaderSize,
              "the track table ends the disk header");

// Sector record header; the record's data follows it directly.
constexpr int kSectorHeaderSize = 16;
constexpr int kRecordCylinderOffset = 0;  // u8, C of the sector ID
constexpr int kRecordHeadOffset = 1;      // u8, H of the sector ID
constexpr int kRecordNumberOffset = 2;    // u8, R of the sector ID
constexpr int kRecordSizeCodeOffset = 3;  // u8, N of the sector ID (nominal size 128 << N)
constexpr int kRecordCountOffset = 4;     // u16, number of records in this track
constexpr int kRecordDataSizeOffset = 14; // u16, data bytes following this header
constexpr int kSectorIdSize = 4;          // C, H, R, N

// A container holds at most this many disks.
constexpr int kMaxDisks = 64;

// Little-endian fields, assembled byte by byte so the host's byte order never matters.
inline uint16_t ReadLe16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Offsets and sizes are signed 32-bit in this format: a field of 2^31 or more counts as
// negative, and sums wrap around. Both are done here without signed overflow.
inline int32_t ToInt32(uint32_t value) {
  return value < 0x80000000u ? static_cast<int32_t>(value)
                             : static_cast<int32_t>(static_cast<int64_t>(value) - 0x100000000LL);
}

inline int32_t WrapAdd32(int32_t a, int32_t b) {
  return ToInt32(static_cast<uint32_t>(static_cast<int64_t>(a) + static_cast<int64_t>(b)));
}

}  // namespace fdpull

#endif  // FDPULL_IMAGE_D88_FORMAT_H_
