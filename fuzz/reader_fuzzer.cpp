// Fuzzes the container reader: the input's tail chooses the reads, the rest is the
// container, written to a temporary file of this process.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "image/d88_reader.h"

namespace {

constexpr int kReadsPerDisk = 8;
constexpr int kMaxLength = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  struct Read {
    uint8_t kind, track, c, h, r, n, first, last;
    uint16_t length;
  };
  std::vector<Read> reads(kReadsPerDisk);
  for (Read& read : reads) {
    read.kind = provider.ConsumeIntegral<uint8_t>();
    read.track = provider.ConsumeIntegral<uint8_t>();
    read.c = provider.ConsumeIntegral<uint8_t>();
    read.h = provider.ConsumeIntegral<uint8_t>();
    read.r = provider.ConsumeIntegral<uint8_t>();
    read.n = provider.ConsumeIntegralInRange<uint8_t>(0, 3);
    read.first = provider.ConsumeIntegral<uint8_t>();
    read.last = provider.ConsumeIntegral<uint8_t>();
    read.length = provider.ConsumeIntegral<uint16_t>();
  }
  const std::vector<uint8_t> container = provider.ConsumeRemainingBytes<uint8_t>();
  const std::string& path = fdpull::fuzz::WriteInput(container);

  fdpull::D88Reader reader;
  if (!reader.Open(path.c_str())) __builtin_trap();  // a regular file always opens
  const int count = reader.GetDiskCount();
  if (count < 0 || count > fdpull::kMaxDisks) __builtin_trap();
  for (int disk = -1; disk <= count; ++disk) {
    const bool selected = reader.SelectDisk(disk);
    if (selected != (disk >= 0 && disk < count)) __builtin_trap();
    for (const Read& read : reads) {
      // Exactly as long as the call may fill, so that any write past it is caught: the
      // length, raised to a multiple of 4 for the ID listing.
      const int length = static_cast<int>(read.length % kMaxLength);
      const bool listing = read.kind % 3 == 2;
      std::vector<uint8_t> buffer(static_cast<size_t>(listing ? (length + 3) / 4 * 4 : length));
      // Track indices beyond the table (up to 255) and negative ones are tried too.
      const int track = read.track - 40;
      int got = 0;
      switch (read.kind % 3) {
        case 0:
          got = reader.ReadSector(track, read.c, read.h, read.r, read.n, buffer.data(), length);
          break;
        case 1:
          reader.SetSectorRange(read.first, read.last);
          got = reader.ReadSectors(track, read.c, read.h, read.r, read.n, buffer.data(), length);
          break;
        default:
          got = reader.ReadTrackIds(track, buffer.data(), length);
          if (got > length + 3 || got % 4 != 0) __builtin_trap();
          break;
      }
      if (got < 0 || (read.kind % 3 != 2 && got > length)) __builtin_trap();
    }
  }
  reader.Close();
  return 0;
}
