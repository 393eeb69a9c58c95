// Writes the sample container shipped in samples/: two small disks with a file of every
// kind. Tracks that hold nothing are left out of the image, which the tool reads as
// zeros, so the container stays small.
#include <cstdio>
#include <string>

#include "d88_builder.h"
#include "volume_image.h"

namespace fdpull::testing {
namespace {

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// Keeps only the directory track and the tracks that hold any nonzero byte.
DiskBuilder Compact(const VolumeImage& volume, const std::string& name) {
  DiskBuilder disk = volume.ToDisk(name);
  for (int t = 0; t < kVolumeTracks; ++t) {
    bool used = t == kDirectoryTrack;
    const uint8_t* track = volume.bytes().data() + t * kVolumeTrackSize;
    for (int i = 0; i < kVolumeTrackSize && !used; ++i) used = track[i] != 0;
    if (!used) disk.RemoveTrack(t);
  }
  return disk;
}

ContainerBuilder Sample() {
  VolumeImage first;
  first.AddFile("HELLO", "BAS", 0, {2},
                Text("10 PRINT \"HELLO FROM FDPULL\"\r\n20 GOTO 10\r\n\x1A"));
  std::string manual;
  for (int line = 1; line <= 60; ++line) {
    manual += "Line " + std::to_string(line) + " of a manual that fills more than one cluster.\r\n";
  }
  first.AddFile("MANUAL", "TXT", 0, {3, 4}, Text(manual));
  // A machine-language file saved from 0xC000 to 0xC0FF: a 4-byte load-address header,
  // then the memory image.
  first.AddFile("GAME", "BIN", kMachineCode, {5}, Concat(LoadHeader(0xC000, 0xC0FF), Pattern(256, 7)));
  // A name in Shift_JIS: "データ" (data).
  first.AddFile("\x83\x66\x81\x5B\x83\x5E", "DAT", 0, {6}, Pattern(600, 3));
  first.EndDirectory();

  VolumeImage second;
  second.AddFile("MY PRG", "BAS", 0, {2}, Text("10 REM A NAME WITH A SPACE\r\n\x1A"));
  second.AddFile("BROKEN", "TXT", 0, {3}, Text("This file's chain points off the disk.\r\n"));
  second.SetFat(3, 170);
  second.AddFile("LAST", "TXT", 0, {4}, Text("The disk goes on after a damaged file.\r\n"));
  second.EndDirectory();

  ContainerBuilder container;
  container.AddDisk(Compact(first, "SAMPLE DISK 1"));
  container.AddDisk(Compact(second, "SAMPLE DISK 2"));
  return container;
}

}  // namespace
}  // namespace fdpull::testing

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample OUTPUT.d88\n");
    return 2;
  }
  return fdpull::testing::Sample().WriteTo(argv[1]) ? 0 : 1;
}
