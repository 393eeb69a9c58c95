#include "image/d88_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "d88_builder.h"
#include "process.h"

namespace fdpull::testing {
namespace {

Bytes Fill(size_t size, uint8_t value) { return Bytes(size, value); }

// Opens a container built in a fresh temporary folder.
class ReaderTest : public ::testing::Test {
 protected:
  bool OpenBytes(const Bytes& bytes) {
    const std::string path = dir.Join("disk.d88");
    EXPECT_TRUE(WriteFile(path, bytes));
    return reader.Open(path.c_str());
  }
  bool OpenContainer(const ContainerBuilder& container) { return OpenBytes(container.Build()); }

  TempDir dir;
  D88Reader reader;
};

// A one-disk container whose track 0 holds the given records (C = 0, H = 0, N = 1).
ContainerBuilder OneTrack(const std::vector<std::pair<uint8_t, Bytes>>& records) {
  ContainerBuilder container;
  DiskBuilder& disk = container.AddDisk("DISK");
  for (const auto& [r, data] : records) disk.Track(0).AddSector(0, 0, r, 1, data);
  return container;
}

TEST_F(ReaderTest, OpenFailsOnMissingFileAndFolder) {
  EXPECT_FALSE(reader.Open(dir.Join("missing.d88").c_str()));
  EXPECT_FALSE(reader.Open(dir.path().c_str()));
  EXPECT_EQ(reader.GetDiskCount(), 0);
  EXPECT_FALSE(reader.SelectDisk(0));
}

TEST_F(ReaderTest, NullPathClosesAndSucceeds) {
  ContainerBuilder container;
  container.AddDisk("A");
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_EQ(reader.GetDiskCount(), 1);
  EXPECT_TRUE(reader.Open(nullptr));
  EXPECT_EQ(reader.GetDiskCount(), 0);
  EXPECT_FALSE(reader.SelectDisk(0));
}

// How many disks the scan of the header chain finds.
TEST_F(ReaderTest, DiskCountFollowsTheHeaderChain) {
  struct Case {
    const char* what;
    std::vector<int64_t> sizes;  // disk-size field of each header; -1: the default
    size_t truncateTo;           // 0: no truncation
    int expected;
  };
  const Case cases[] = {
      {"three whole disks", {-1, -1, -1}, 0, 3},
      {"header cut short", {-1}, kDiskHeaderSize - 1, 0},
      {"second header cut short", {-1, -1}, 2 * kDiskHeaderSize - 1, 1},
      {"size 0 repeats the disk to the limit", {0}, 0, kMaxDisks},
      {"size 0 on the second disk", {-1, 0}, 0, kMaxDisks},
      {"size with bit 31 set ends the chain", {0x80000000}, 0, 1},
      {"size -688 loops back to disk 0", {-1, 0xFFFFFD50}, 0, kMaxDisks},
      {"size running past the file", {100000}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ContainerBuilder container;
    for (int64_t size : c.sizes) {
      DiskBuilder& disk = container.AddDisk("D");
      if (size >= 0) disk.SetDiskSize(static_cast<uint32_t>(size));
    }
    if (c.truncateTo) container.TruncateTo(c.truncateTo);
    ASSERT_TRUE(OpenContainer(container));
    EXPECT_EQ(reader.GetDiskCount(), c.expected);
  }
}

TEST_F(ReaderTest, EmptyFileOpensWithNoDisk) {
  ASSERT_TRUE(OpenBytes({}));
  EXPECT_EQ(reader.GetDiskCount(), 0);
}

TEST_F(ReaderTest, MoreThanSixtyFourDisksYieldsTheFirstSixtyFour) {
  ContainerBuilder container;
  for (int i = 0; i < 70; ++i) container.AddDisk("D" + std::to_string(i));
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_EQ(reader.GetDiskCount(), kMaxDisks);
  ASSERT_TRUE(reader.SelectDisk(63));
  EXPECT_STREQ(reader.GetDiskName(), "D63");
}

TEST_F(ReaderTest, SelectDiskLoadsNameMediaAndTracks) {
  ContainerBuilder container;
  container.AddDisk("FIRST", 0x10).Track(3).AddSector(1, 1, 1, 1, Fill(256, 0x11));
  container.AddDisk("A NAME OF 17 BYTES", 0x20).Track(3).AddSector(1, 1, 1, 1, Fill(256, 0x22));
  container.AddDisk(std::string("AB\0CD", 5), 0xFF);
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_EQ(reader.GetDiskCount(), 3);

  uint8_t buffer[256] = {};
  ASSERT_TRUE(reader.SelectDisk(1));
  EXPECT_STREQ(reader.GetDiskName(), "A NAME OF 17 BYT");  // cut to 16 bytes
  EXPECT_EQ(reader.GetMediaType(), 0x20);
  EXPECT_EQ(reader.ReadSector(3, 1, 1, 1, 1, buffer, 256), 256);
  EXPECT_EQ(buffer[255], 0x22);

  ASSERT_TRUE(reader.SelectDisk(0));
  EXPECT_STREQ(reader.GetDiskName(), "FIRST");
  EXPECT_EQ(reader.ReadSector(3, 1, 1, 1, 1, buffer, 256), 256);
  EXPECT_EQ(buffer[0], 0x11);

  ASSERT_TRUE(reader.SelectDisk(2));
  EXPECT_STREQ(reader.GetDiskName(), "AB");  // up to the first NUL
  EXPECT_EQ(reader.GetMediaType(), 0xFF);
}

TEST_F(ReaderTest, SelectDiskOutOfRangeLeavesNoCurrentDisk) {
  ContainerBuilder container;
  container.AddDisk("ONLY", 3).Track(0).AddSector(0, 0, 1, 1, Fill(256, 1));
  ASSERT_TRUE(OpenContainer(container));
  for (int index : {1, -1}) {
    SCOPED_TRACE(index);
    ASSERT_TRUE(reader.SelectDisk(0));
    EXPECT_FALSE(reader.SelectDisk(index));
    EXPECT_STREQ(reader.GetDiskName(), "");
    EXPECT_EQ(reader.GetMediaType(), -1);
    uint8_t buffer[256];
    EXPECT_EQ(reader.ReadSector(0, 0, 0, 1, 1, buffer, 256), 0);
  }
}

TEST_F(ReaderTest, CloseKeepsTheNameAndForgetsTheRest) {
  ContainerBuilder container;
  container.AddDisk("KEPT", 7);
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_TRUE(reader.SelectDisk(0));
  reader.Close();
  EXPECT_STREQ(reader.GetDiskName(), "KEPT");
  EXPECT_EQ(reader.GetMediaType(), -1);
  EXPECT_EQ(reader.GetDiskCount(), 0);
  uint8_t buffer[4];
  EXPECT_EQ(reader.ReadTrackIds(0, buffer, 4), 0);
}

TEST_F(ReaderTest, ReadSectorFindsRecordsByIdInAnyOrder) {
  // Records stored 3, 1, 2, with a record whose N differs.
  ContainerBuilder container = OneTrack({{3, Fill(256, 3)}, {1, Fill(256, 1)}, {2, Fill(256, 2)}});
  container.Disk(0).Track(0).AddSector(0, 0, 4, 2, Fill(512, 4));
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_TRUE(reader.SelectDisk(0));
  uint8_t buffer[512] = {};
  for (int r : {1, 2, 3}) {
    SCOPED_TRACE(r);
    EXPECT_EQ(reader.ReadSector(0, 0, 0, r, 1, buffer, 256), 256);
    EXPECT_EQ(buffer[0], r);
    EXPECT_EQ(buffer[255], r);
  }
  EXPECT_EQ(reader.ReadSector(0, 0, 0, 4, 1, buffer, 256), 0);  // N does not match
  EXPECT_EQ(reader.ReadSector(0, 0, 0, 4, 2, buffer, 512), 512);
  EXPECT_EQ(reader.ReadSector(0, 0, 0, 5, 1, buffer, 256), 0);    // absent
  EXPECT_EQ(reader.ReadSector(0, 0, 0, 256 + 1, 1, buffer, 256), 0);  // never matches a byte
  EXPECT_EQ(reader.ReadSector(0, 1, 0, 1, 1, buffer, 256), 0);    // C differs
}

TEST_F(ReaderTest, ReadSectorGrantsTheSmallerOfDataSizeAndMaxBytes) {
  Bytes data(300);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  ASSERT_TRUE(OpenContainer(OneTrack({{1, data}})));
  ASSERT_TRUE(reader.SelectDisk(0));
  uint8_t buffer[400];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  EXPECT_EQ(reader.ReadSector(0, 0, 0, 1, 1, buffer, 100), 100);
  EXPECT_EQ(buffer[99], 99);
  EXPECT_EQ(buffer[100], 0xEE);  // nothing past maxBytes
  // Data larger than 128 << N: only what was asked for.
  EXPECT_EQ(reader.ReadSector(0, 0, 0, 1, 1, buffer, 256), 256);
  EXPECT_EQ(buffer[256], 0xEE);
  EXPECT_EQ(reader.ReadSector(0, 0, 0, 1, 1, buffer, 400), 300);
  EXPECT_EQ(buffer[299], static_cast<uint8_t>(299));
  EXPECT_EQ(buffer[300], 0xEE);
}

TEST_F(ReaderTest, ReadSectorStopsWhereTheRecordCountsSay) {
  struct Case {
    const char* what;
    std::vector<int> counts;  // count field of records R = 1, 2, 3
    uint8_t wanted;
    int expected;
  };
  const Case cases[] = {
      {"count 0 on the wanted record hides it", {3, 0, 3}, 2, 0},
      {"count 0 before the wanted record ends the walk", {0, 3, 3}, 2, 0},
      {"count 1 on the first record ends the walk there", {1, 3, 3}, 2, 0},
      {"count 2 on the second record ends the walk there", {3, 2, 3}, 3, 0},
      {"a smaller count further on does not end the walk", {3, 1, 3}, 3, 256},
      {"count 1 on the wanted first record", {1, 1, 1}, 1, 256},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ContainerBuilder container = OneTrack({{1, Fill(256, 1)}, {2, Fill(256, 2)}, {3, Fill(256, 3)}});
    for (size_t i = 0; i < 3; ++i) {
      container.Disk(0).Track(0).records()[i].count = static_cast<uint16_t>(c.counts[i]);
    }
    ASSERT_TRUE(OpenContainer(container));
    ASSERT_TRUE(reader.SelectDisk(0));
    uint8_t buffer[256];
    EXPECT_EQ(reader.ReadSector(0, 0, 0, c.wanted, 1, buffer, 256), c.expected);
  }
}

TEST_F(ReaderTest, TrackEntriesAreCheckedAsSigned32BitOffsets) {
  // Track 1 holds R = 1 right after the header; track 2's entry is overridden.
  struct Case {
    const char* what;
    uint32_t entry;
    int expected;
  };
  ContainerBuilder probe = OneTrack({{1, Fill(256, 1)}});
  const uint32_t diskSize = static_cast<uint32_t>(probe.Build().size());
  const Case cases[] = {
      {"entry 0 is an absent track", 0, 0},
      {"entry of the first record", kDiskHeaderSize, 256},
      {"entry past the disk size", diskSize + 1, 0},
      {"entry equal to the disk size walks what follows", diskSize, 256},
      {"entry with bit 31 set gives a negative position", 0x80000000u, 0},
      {"entry -1 gives a negative position", 0xFFFFFFFFu, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ContainerBuilder container = OneTrack({{1, Fill(256, 1)}});
    container.Disk(0).SetTrackEntry(2, c.entry);
    // A lone record R = 1 right after the disk image, for the entry equal to its size.
    Bytes bytes = container.Build();
    Bytes record(kSectorHeaderSize, 0);
    record[kRecordNumberOffset] = 1;
    record[kRecordSizeCodeOffset] = 1;
    PutLe16(record.data() + kRecordCountOffset, 1);
    PutLe16(record.data() + kRecordDataSizeOffset, 256);
    bytes.insert(bytes.end(), record.begin(), record.end());
    bytes.insert(bytes.end(), 256, 0x77);
    ASSERT_TRUE(OpenBytes(bytes));
    ASSERT_TRUE(reader.SelectDisk(0));
    uint8_t buffer[256];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    EXPECT_EQ(reader.ReadSector(2, 0, 0, 1, 1, buffer, 256), c.expected);
    if (c.expected == 0) {
      EXPECT_EQ(buffer[0], 0xEE);  // untouched
    }
  }
}

TEST_F(ReaderTest, TrackIndexOutsideTheTableReadsNothing) {
  ASSERT_TRUE(OpenContainer(OneTrack({{1, Fill(256, 1)}})));
  ASSERT_TRUE(reader.SelectDisk(0));
  uint8_t buffer[256];
  EXPECT_EQ(reader.ReadSector(-1, 0, 0, 1, 1, buffer, 256), 0);
  EXPECT_EQ(reader.ReadSector(kTrackTableSize, 0, 0, 1, 1, buffer, 256), 0);
  EXPECT_EQ(reader.ReadTrackIds(kTrackTableSize, buffer, 4), 0);
}

TEST_F(ReaderTest, DataCutByTheEndOfTheFileStillCountsAsGranted) {
  ContainerBuilder container = OneTrack({{1, Fill(256, 0x55)}});
  container.TruncateTo(kDiskHeaderSize + kSectorHeaderSize + 100);
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_TRUE(reader.SelectDisk(0));
  uint8_t buffer[256];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  EXPECT_EQ(reader.ReadSector(0, 0, 0, 1, 1, buffer, 256), 256);
  EXPECT_EQ(buffer[99], 0x55);
  EXPECT_EQ(buffer[100], 0xEE);  // bytes that did not arrive leave the buffer as it was
}

TEST_F(ReaderTest, ReadSectorsRunsAcrossTracksAndHeads) {
  // Tracks 0..3 of a 2-sector-per-track disk: track t = C * 2 + H.
  ContainerBuilder container;
  DiskBuilder& disk = container.AddDisk("RUN");
  for (int t = 0; t < 4; ++t) {
    for (uint8_t r = 1; r <= 2; ++r) {
      disk.Track(t).AddSector(static_cast<uint8_t>(t >> 1), static_cast<uint8_t>(t & 1), r, 1,
                              Fill(256, static_cast<uint8_t>(t * 16 + r)));
    }
  }
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_TRUE(reader.SelectDisk(0));
  reader.SetSectorRange(1, 2);
  uint8_t buffer[8 * 256] = {};
  // From R = lastSector of track 0 on: track 0 R2, track 1 R1, R2, track 2 R1, R2, track 3 R1.
  EXPECT_EQ(reader.ReadSectors(0, 0, 0, 2, 1, buffer, 6 * 256), 6 * 256);
  const uint8_t expected[] = {0x02, 0x11, 0x12, 0x21, 0x22, 0x31};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(buffer[i * 256], expected[i]) << "sector " << i;
  // The last piece may be partial; a run past track 3 stops at the missing track 4.
  EXPECT_EQ(reader.ReadSectors(3, 1, 1, 1, 1, buffer, 300), 300);
  EXPECT_EQ(reader.ReadSectors(3, 1, 1, 1, 1, buffer, 4 * 256), 2 * 256);
  EXPECT_EQ(reader.ReadSectors(0, 0, 0, 1, 1, buffer, 0), 0);
}

TEST_F(ReaderTest, ReadSectorsStopsAtAShortSectorWithItsBytesInPlace) {
  ContainerBuilder container = OneTrack({{1, Fill(256, 1)}, {2, Fill(100, 2)}, {3, Fill(256, 3)}});
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_TRUE(reader.SelectDisk(0));
  uint8_t buffer[768];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  EXPECT_EQ(reader.ReadSectors(0, 0, 0, 1, 1, buffer, 768), 256);
  EXPECT_EQ(buffer[256 + 99], 2);
  EXPECT_EQ(buffer[256 + 100], 0xEE);
}

TEST_F(ReaderTest, ReadTrackIdsListsStoredOrder) {
  ContainerBuilder container = OneTrack({{3, Fill(10, 0)}, {1, Fill(0, 0)}, {2, Fill(300, 0)}});
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_TRUE(reader.SelectDisk(0));
  uint8_t buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  ASSERT_EQ(reader.ReadTrackIds(0, buffer, 16), 12);
  const uint8_t expected[] = {0, 0, 3, 1, 0, 0, 1, 1, 0, 0, 2, 1};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), buffer));
  EXPECT_EQ(buffer[12], 0xEE);
  // Whole groups: maxBytes 5 writes two groups.
  EXPECT_EQ(reader.ReadTrackIds(0, buffer, 5), 8);
  EXPECT_EQ(reader.ReadTrackIds(0, buffer, 0), 0);
}

TEST_F(ReaderTest, ReadTrackIdsGoesOnPastACountOfZero) {
  ContainerBuilder container = OneTrack({{1, Fill(4, 0)}, {2, Fill(4, 0)}, {3, Fill(4, 0)}});
  for (auto& record : container.Disk(0).Track(0).records()) record.count = 0;
  ASSERT_TRUE(OpenContainer(container));
  ASSERT_TRUE(reader.SelectDisk(0));
  uint8_t buffer[64];
  uint8_t sector[4];
  EXPECT_EQ(reader.ReadSector(0, 0, 0, 1, 1, sector, 4), 0);
  // Goes on until a record header cannot be read whole: the three records.
  EXPECT_EQ(reader.ReadTrackIds(0, buffer, 64), 12);
}

// Cuts a container at every length through its first two records: the reader must
// never fail worse than reporting fewer bytes, and results only grow with length.
TEST_F(ReaderTest, TruncationSweepNeverCrashesAndResultsShrink) {
  ContainerBuilder full = OneTrack({{1, Fill(256, 1)}, {2, Fill(256, 2)}});
  const Bytes bytes = full.Build();
  int previousSectors = 0;
  int previousIds = 0;
  for (size_t length = 0; length <= bytes.size(); ++length) {
    SCOPED_TRACE(length);
    ASSERT_TRUE(OpenBytes(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length))));
    uint8_t buffer[512];
    uint8_t ids[8];
    int sectors = 0;
    int listed = 0;
    if (reader.SelectDisk(0)) {
      sectors = reader.ReadSectors(0, 0, 0, 1, 1, buffer, 512);
      listed = reader.ReadTrackIds(0, ids, 8);
    }
    EXPECT_GE(sectors, previousSectors);
    EXPECT_GE(listed, previousIds);
    previousSectors = sectors;
    previousIds = listed;
  }
  EXPECT_EQ(previousSectors, 512);
  EXPECT_EQ(previousIds, 8);
}

TEST(RealContainerTest, ReadsImagesMadeByOtherTools) {
  struct Case {
    const char* file;
    const char* name;
    int lastTrackRecords;  // records of track 79 listed
  };
  const Case cases[] = {
      {"oryzapao_HuBASIC_Format_2D.d88", "by_github_ORYZAP", 16},
      {"medamap_test_improved.d88", "IMPROVED DISK", 16},
      {"medamap_test_truncated.d88", nullptr, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = std::string(FDPULL_REALDATA_DIR) + "/" + c.file;
    D88Reader reader;
    if (!reader.Open(path.c_str())) GTEST_SKIP() << "real containers not found beside the project";
    ASSERT_EQ(reader.GetDiskCount(), 1);
    ASSERT_TRUE(reader.SelectDisk(0));
    if (c.name != nullptr) {
      EXPECT_STREQ(reader.GetDiskName(), c.name);
    }
    EXPECT_EQ(reader.GetMediaType(), 0);
    uint8_t ids[16 * 4];
    ASSERT_EQ(reader.ReadTrackIds(52, ids, sizeof ids), 16 * 4);
    EXPECT_EQ(ids[0], 26);
    EXPECT_EQ(ids[2], 1);
    EXPECT_EQ(reader.ReadTrackIds(79, ids, sizeof ids), c.lastTrackRecords * 4);
    uint8_t directory[14 * 256];
    EXPECT_EQ(reader.ReadSectors(52, 26, 0, 1, 1, directory, sizeof directory),
              static_cast<int>(sizeof directory));
    EXPECT_EQ(directory[0], 0xE5);
  }
}

}  // namespace
}  // namespace fdpull::testing
