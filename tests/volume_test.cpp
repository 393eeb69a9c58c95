#include "volume/volume.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "d88_builder.h"
#include "process.h"
#include "volume_image.h"

namespace fdpull::testing {
namespace {

// A volume whose every sector is filled with a byte naming its track and record.
VolumeImage MarkedVolume() {
  VolumeImage volume;
  for (int t = 0; t < kVolumeTracks; ++t) {
    for (int r = 1; r <= kVolumeSectors; ++r) {
      uint8_t* sector = volume.bytes().data() + t * kVolumeTrackSize + (r - 1) * kVolumeSectorSize;
      std::fill(sector, sector + kVolumeSectorSize, static_cast<uint8_t>(t * 3 + r));
    }
  }
  return volume;
}

class LoadVolumeTest : public ::testing::Test {
 protected:
  // Builds one disk from the volume, lets `damage` change it, and loads it.
  bool Load(const VolumeImage& volume, const std::function<void(DiskBuilder&)>& damage = {}) {
    ContainerBuilder container;
    DiskBuilder& disk = container.AddDisk(volume.ToDisk("VOL"));
    if (damage) damage(disk);
    const std::string path = dir.Join("disk.d88");
    EXPECT_TRUE(container.WriteTo(path));
    D88Reader reader;
    EXPECT_TRUE(reader.Open(path.c_str()));
    EXPECT_TRUE(reader.SelectDisk(0));
    reader.SetSectorRange(1, kVolumeGeometry.sectorsPerTrack);
    ClearVolumeBuffers(buffers);
    return LoadVolume(reader, kVolumeGeometry, buffers);
  }

  const uint8_t* Sector(int t, int r) const {
    return buffers.diskBuffer + t * kTrackBytes + (r - 1) * kSectorSize;
  }

  TempDir dir;
  VolumeBuffers& buffers = GetVolumeBuffers();
};

TEST_F(LoadVolumeTest, LoadsDirectoryTableAndEveryTrack) {
  VolumeImage volume = MarkedVolume();
  ASSERT_TRUE(Load(volume));
  EXPECT_TRUE(std::equal(volume.bytes().begin(), volume.bytes().end(), buffers.diskBuffer));
  EXPECT_TRUE(std::equal(buffers.directoryBuffer, buffers.directoryBuffer + kDirectoryBytes,
                         volume.bytes().begin() + kDirectoryOffset));
  EXPECT_TRUE(std::equal(buffers.fatBuffer, buffers.fatBuffer + kFatBytes,
                         volume.bytes().begin() + kFatOffset));
}

TEST_F(LoadVolumeTest, RecordsStoredOutOfOrderLoadTheSame) {
  VolumeImage volume = MarkedVolume();
  ASSERT_TRUE(Load(volume, [](DiskBuilder& disk) {
    for (int t : {0, 52, 79}) {
      auto& records = disk.Track(t).records();
      std::reverse(records.begin(), records.end());
    }
  }));
  EXPECT_TRUE(std::equal(volume.bytes().begin(), volume.bytes().end(), buffers.diskBuffer));
}

TEST_F(LoadVolumeTest, DirectoryTrackDamageFailsTheLoad) {
  struct Case {
    const char* what;
    std::function<void(DiskBuilder&)> damage;
  };
  const Case cases[] = {
      {"directory track absent", [](DiskBuilder& d) { d.RemoveTrack(52); }},
      {"record 5 missing", [](DiskBuilder& d) {
         auto& records = d.Track(52).records();
         records.erase(records.begin() + 4);
       }},
      {"table record 14 missing", [](DiskBuilder& d) {
         auto& records = d.Track(52).records();
         records.erase(records.begin() + 13);
       }},
      {"512-byte sectors (N = 2)", [](DiskBuilder& d) {
         for (auto& record : d.Track(52).records()) record.n = 2;
       }},
      {"record 3 holds 255 bytes", [](DiskBuilder& d) {
         d.Track(52).records()[2].data.resize(255);
       }},
      {"table record holds 100 bytes", [](DiskBuilder& d) {
         d.Track(52).records()[13].data.resize(100);
       }},
      {"count 0 on record 1", [](DiskBuilder& d) { d.Track(52).records()[0].count = 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(Load(MarkedVolume(), c.damage));
  }
}

TEST_F(LoadVolumeTest, OtherTrackDamageLeavesZeros) {
  ASSERT_TRUE(Load(MarkedVolume(), [](DiskBuilder& d) {
    d.RemoveTrack(3);
    d.Track(10).records()[4].data.resize(100);  // record 5 short
    auto& records = d.Track(20).records();
    records.erase(records.begin() + 7);  // record 8 missing
    d.Track(30).records()[0].n = 2;      // record 1 of another size
  }));
  const auto zero = [](const uint8_t* p, int n) { return std::all_of(p, p + n, [](uint8_t b) { return b == 0; }); };
  EXPECT_TRUE(zero(Sector(3, 1), kTrackBytes));
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(Sector(10, r)[255], 10 * 3 + r) << r;
  EXPECT_EQ(Sector(10, 5)[99], 10 * 3 + 5);
  EXPECT_TRUE(zero(Sector(10, 5) + 100, kTrackBytes - 4 * 256 - 100));
  EXPECT_EQ(Sector(20, 7)[0], 20 * 3 + 7);
  EXPECT_TRUE(zero(Sector(20, 8), 9 * 256));
  EXPECT_TRUE(zero(Sector(30, 1), kTrackBytes));
  EXPECT_EQ(Sector(31, 1)[0], 31 * 3 + 1);
}

TEST_F(LoadVolumeTest, RealContainerWithAForeignDirectoryLoads) {
  D88Reader reader;
  const std::string path = std::string(FDPULL_REALDATA_DIR) + "/medamap_test_truncated.d88";
  if (!reader.Open(path.c_str())) GTEST_SKIP() << "real containers not found beside the project";
  ASSERT_TRUE(reader.SelectDisk(0));
  reader.SetSectorRange(1, 16);
  ClearVolumeBuffers(buffers);
  ASSERT_TRUE(LoadVolume(reader, kVolumeGeometry, buffers));
  EXPECT_EQ(buffers.directoryBuffer[0], 0xE5);
  EXPECT_EQ(buffers.fatBuffer[0], 0xE5);
  // Track 79 holds only its first record; the rest stays zero.
  EXPECT_EQ(Sector(79, 2)[0], 0);
}

}  // namespace
}  // namespace fdpull::testing
