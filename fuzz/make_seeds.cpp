// Writes the seed corpora of the fuzz targets: good volumes and each kind of damage,
// made with the test-side container builder.
//   make_fuzz_seeds fuzz/corpus
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "d88_builder.h"
#include "volume_image.h"

namespace fdpull::testing {
namespace {

// A volume of a few files of every kind, kept small: only the tracks holding data and
// the directory track are stored, so the fuzzers see whole disks in a few kilobytes.
VolumeImage SeedVolume() {
  VolumeImage v;
  v.AddFile("LOADER", "BAS", 0, {2, 3}, Pattern(2048 + 300, 1));
  v.AddEntry(std::string("\0GONE", 5), "BAS", 0, 4);
  v.AddFile("GAME", "BIN", kMachineCode, {4}, Concat(LoadHeader(0xC000, 0xC0FF), Pattern(256, 2)));
  v.AddFile("MY PRG", "A/B", 0, {5}, Pattern(10, 3));
  v.AddFile("\x83Q\x81[\x83\x5C", "DAT", 0, {6}, Pattern(600, 4));
  v.EndDirectory();
  return v;
}

DiskBuilder Compact(const VolumeImage& volume, const std::string& name) {
  DiskBuilder disk = volume.ToDisk(name);
  for (int t = 4; t < kVolumeTracks; ++t) {
    if (t != kDirectoryTrack) disk.RemoveTrack(t);
  }
  return disk;
}

// Only the directory records 1..14: the smallest disk that loads, about 4 KB, so that
// the directory and table bytes make up most of the input and mutations land there.
DiskBuilder DirectoryOnly(const VolumeImage& volume, const std::string& name) {
  DiskBuilder disk = volume.ToDisk(name);
  for (int t = 0; t < kVolumeTracks; ++t) {
    if (t != kDirectoryTrack) disk.RemoveTrack(t);
  }
  disk.Track(kDirectoryTrack).records().resize(14);
  return disk;
}

struct Seed {
  std::string name;
  Bytes container;
  Bytes directory;  // directory track records 1..14 of its volume, where it has one
};

Bytes DirectoryOf(const VolumeImage& volume) {
  const auto start = volume.bytes().begin() + kDirectoryOffset;
  return Bytes(start, start + 14 * kVolumeSectorSize);
}

std::vector<Seed> Containers() {
  std::vector<Seed> seeds;
  const auto add = [&](const std::string& name, const std::function<void(ContainerBuilder&)>& make) {
    ContainerBuilder container;
    make(container);
    seeds.push_back({name, container.Build(), {}});
  };
  // The same with the volume's directory kept for a directory-track seed.
  const auto addVolume = [&](const std::string& name, const VolumeImage& volume, bool small) {
    ContainerBuilder container;
    container.AddDisk(small ? DirectoryOnly(volume, name) : Compact(volume, name));
    seeds.push_back({name, container.Build(), DirectoryOf(volume)});
  };
  addVolume("good", SeedVolume(), false);
  addVolume("directory-only", SeedVolume(), true);
  add("two-disks", [](ContainerBuilder& c) {
    c.AddDisk(Compact(SeedVolume(), "ONE"));
    c.AddDisk(Compact(SeedVolume(), "TWO"));
  });
  add("empty", [](ContainerBuilder&) {});
  add("header-only", [](ContainerBuilder& c) { c.AddDisk("HEADER"); });
  add("size-zero", [](ContainerBuilder& c) { c.AddDisk(Compact(SeedVolume(), "ZERO")).SetDiskSize(0); });
  add("size-negative", [](ContainerBuilder& c) {
    c.AddDisk(Compact(SeedVolume(), "NEG")).SetDiskSize(0x80000000u);
    c.AddDisk("AFTER");
  });
  add("entry-bit31", [](ContainerBuilder& c) {
    c.AddDisk(Compact(SeedVolume(), "BIT31")).SetTrackEntry(52, 0xFFFFFF00u).SetTrackEntry(2, 0x80000010u);
  });
  add("entry-disk-size", [](ContainerBuilder& c) {
    DiskBuilder& d = c.AddDisk(Compact(SeedVolume(), "EDGE"));
    d.SetTrackEntry(3, static_cast<uint32_t>(d.Build().size()));
  });
  add("truncated", [](ContainerBuilder& c) {
    c.AddDisk(Compact(SeedVolume(), "CUT"));
    c.TruncateTo(688 + 3 * (16 + 256) + 7);
  });
  add("zero-counts", [](ContainerBuilder& c) {
    DiskBuilder& d = c.AddDisk(Compact(SeedVolume(), "COUNTS"));
    for (auto& r : d.Track(52).records()) r.count = 0;
    d.Track(1).records()[3].count = 2;
  });
  add("short-data", [](ContainerBuilder& c) {
    DiskBuilder& d = c.AddDisk(Compact(SeedVolume(), "SHORT"));
    d.Track(1).records()[4].data.resize(100);
    d.Track(2).records()[0].dataSize = 0xFFFF;
  });
  add("out-of-order", [](ContainerBuilder& c) {
    DiskBuilder& d = c.AddDisk(Compact(SeedVolume(), "ORDER"));
    auto& r = d.Track(52).records();
    std::swap(r[0], r[13]);
    std::swap(r[2], r[7]);
  });
  {
    VolumeImage v;
    v.AddFile("LOOP", "", 0, {2, 3}, Pattern(4096, 1));
    v.SetFat(3, 2);
    v.AddFile("OFF", "", 0, {4}, Pattern(2048, 2));
    v.SetFat(4, 170);
    v.AddFile("WIDE", "", 0, {5}, Pattern(100, 3));
    v.SetFat(5, 0xDF);
    v.AddFile("LAST", "", 0, {7}, Pattern(100, 3));
    v.SetFat(7, 0xDF);
    v.AddEntry("FAR", "", 0, 200);
    v.EndDirectory();
    addVolume("broken-chains", v, true);
  }
  {
    VolumeImage v;
    v.AddFile("BACK", "BIN", kMachineCode, {2}, Concat(LoadHeader(0x9000, 0x8FFF), Pattern(10, 1)));
    v.AddFile("MORE", "BIN", kMachineCode, {3}, Concat(LoadHeader(0, 2999), Pattern(100, 2)));
    v.AddFile("SPILL", "BIN", kMachineCode, {4}, Concat(LoadHeader(0, 2045), Pattern(100, 3)));
    v.AddFile("ALL", "BIN", kMachineCode, {5}, Concat(LoadHeader(0, 0xFFFF), Pattern(100, 3)));
    v.EndDirectory();
    addVolume("headers", v, true);
  }
  {
    VolumeImage v;
    v.AddFile("FIRST", "", 0, {16}, Pattern(256, 1));
    for (int k = 1; k < 208; ++k) v.SetEntry(k, "F" + std::to_string(k), "", 0, static_cast<uint8_t>(k % 200));
    addVolume("no-end-mark", v, false);
  }
  // Files on the last clusters, one mutation away from a piece that would run past the
  // end of the disk.
  {
    VolumeImage v;
    v.AddFile("WIDE", "", 0, {159}, Pattern(2048, 1));
    v.AddFile("NEAR", "", 0, {157}, Pattern(2048, 2));
    v.AddFile("TAIL", "BIN", kMachineCode, {158, 159}, Concat(LoadHeader(0, 2043), Pattern(2040, 3)));
    v.AddFile("LAST", "BIN", kMachineCode, {159}, Concat(LoadHeader(0, 2043), Pattern(2044, 4)));
    v.EndDirectory();
    addVolume("edge-clusters", v, true);
  }
  {
    VolumeImage v;
    v.AddFile("", "", 0, {2}, Pattern(10, 1));
    v.AddFile(".", "", 0, {2}, Pattern(10, 1));
    v.AddFile("..", "", 0, {2}, Pattern(10, 1));
    v.AddFile("\\..\\", "/", 0, {2}, Pattern(10, 1));
    v.EndDirectory();
    addVolume("names", v, true);
  }
  return seeds;
}

}  // namespace
}  // namespace fdpull::testing

int main(int argc, char** argv) {
  using fdpull::testing::Bytes;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds CORPUS_FOLDER\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  std::filesystem::create_directories(root / "reader");
  std::filesystem::create_directories(root / "run");
  for (const auto& [name, container, directoryTrack] : fdpull::testing::Containers()) {
    // Reader seeds: the container, then the reads (80 bytes taken from the end).
    Bytes reader = container;
    for (int i = 0; i < 8; ++i) {
      const uint8_t read[10] = {static_cast<uint8_t>(i), 92, 26, 0, 1, 1, 1, 16, 0x00, 0x0E};
      reader.insert(reader.end(), read, read + 10);
    }
    // Run seeds: one option byte, then the container.
    Bytes run(container.size() + 1);
    run[0] = static_cast<uint8_t>(name.size());
    std::copy(container.begin(), container.end(), run.begin() + 1);
    if (!fdpull::testing::WriteFile((root / "reader" / name).string(), reader) ||
        !fdpull::testing::WriteFile((root / "run" / name).string(), run)) {
      return 1;
    }
    // Directory-track seeds for the run target: option bit 0x40, then the directory and
    // table bytes of the container's first disk.
    if (!directoryTrack.empty()) {
      Bytes directory(directoryTrack.size() + 1);
      directory[0] = static_cast<uint8_t>(0x40 | (name.size() & 0x3F));
      std::copy(directoryTrack.begin(), directoryTrack.end(), directory.begin() + 1);
      if (!fdpull::testing::WriteFile((root / "run" / ("directory-" + name)).string(), directory)) {
        return 1;
      }
    }
  }
  return 0;
}
