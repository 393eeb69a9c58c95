// Files as the tool writes them: names, contents, progress lines, damaged chains and
// headers, and write failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "end_to_end.h"
#include "volume_image.h"

namespace fdpull::testing {
namespace {

const std::string kDamaged = Sjis(" ** クラスタ破損 **\n");  // after the file's name
const std::string kBroken = Sjis("** クラスタ破損 **\n");    // on its own line

std::string Slice(VolumeImage& volume, int cluster, size_t from, size_t length) {
  const uint8_t* start = volume.Cluster(cluster) + from;
  return std::string(start, start + length);
}

// A volume holding a file of every kind, and what the tool makes of it.
struct GoodVolume {
  VolumeImage volume;
  Bytes loader = Pattern(2048 + 768, 1);  // two clusters, the second partly used
  Bytes readme = Pattern(300, 2);         // one cluster, 2 sectors used
  Bytes game = Pattern(4500, 3);          // machine code over three clusters
  Bytes tiny = Pattern(10, 4);            // machine code in one cluster
  Bytes spaced = Pattern(256, 5);
  Bytes kana = Pattern(512, 6);
  Bytes odd = Pattern(2048 * 2 + 1, 7);   // chain stored out of order

  GoodVolume() {
    volume.AddFile("LOADER", "BAS", 0, {10, 11}, loader);
    volume.AddFile("README", "TXT", 0, {12}, readme);
    volume.AddEntry(std::string("\0GONE", 5), "BAS", 0, 13);  // deleted
    volume.AddFile("GAME", "BIN", kMachineCode, {20, 21, 22},
                   Concat(LoadHeader(0xC000, 0xC000 + 4500 - 1), game));
    volume.AddFile("T", "", kMachineCode | 0x80, {23}, Concat(LoadHeader(0x0100, 0x0109), tiny));
    volume.AddFile("MY PRG", "BA ", 0, {30}, spaced);
    volume.AddFile("\x83Q\x81[\x83\x80", "\x83\x5C" "A", 0, {31}, kana);  // ゲーム, ソA
    volume.AddFile("A/B*C?", "X:Y", 0, {40, 5, 77}, odd);
    volume.EndDirectory();
    volume.SetEntry(9, "AFTER", "END", 0, 50);  // behind the end mark
    volume.SetFat(50, 0xC1);
  }

  std::string Padded(const Bytes& content, size_t size) const {
    std::string text = AsString(content);
    text.resize(size, '\0');
    return text;
  }
};

using ExtractTest = EndToEndTest;

TEST_F(ExtractTest, GoodVolumeInEveryMode) {
  GoodVolume good;
  ContainerBuilder container;
  container.AddDisk(good.volume.ToDisk("GOOD"));
  const std::string disk = Input(container);

  struct Case {
    std::vector<std::string> options;
    std::string out;
    Tree files;
  };
  const std::string tinyWithHeader = good.Padded(Concat(LoadHeader(0x0100, 0x0109), good.tiny), 256);
  const Case cases[] = {
      {{},
       "\n[GOOD] -> 000\n"
       "LOADER.BAS\n"
       "README.TXT\n"
       "GAME.BIN   *** [HEADER CUT] ADDR=c000 END=d193\n"
       "T.         *** [HEADER CUT] ADDR=0100 END=0109\n"
       "MYPRG.BA  \n"
       "\x83Q\x81[\x83\x80.\x83#A\n"
       "A#B#C#.X#Y\n",
       {{"000", "<dir>"},
        {"000/LOADER.BAS", AsString(good.loader)},
        {"000/README.TXT", good.Padded(good.readme, 512)},
        {"000/GAME.BIN", AsString(good.game)},
        {"000/T.", AsString(good.tiny)},
        {"000/MYPRG.BA", AsString(good.spaced)},
        {"000/\x83Q\x81[\x83\x80.\x83#A", AsString(good.kana)},
        {"000/A#B#C#.X#Y", good.Padded(good.odd, 2048 * 2 + 256)}}},
      {{"-b", "-s1"},
       "\n[GOOD] -> 000\n"
       "LOADER.BAS\n"
       "README.TXT\n"
       "GAME  .BIN\n"
       "T     .   \n"
       "MY PRG.BA \n"
       "\x83Q\x81[\x83\x80.\x83#A\n"
       "A#B#C#.X#Y\n",
       {{"000", "<dir>"},
        {"000/LOADER.BAS", AsString(good.loader)},
        {"000/README.TXT", good.Padded(good.readme, 512)},
        {"000/GAME  .BIN", good.Padded(Concat(LoadHeader(0xC000, 0xD193), good.game), 2048 * 2 + 512)},
        {"000/T     .   ", tinyWithHeader},
        {"000/MY PRG.BA ", AsString(good.spaced)},
        {"000/\x83Q\x81[\x83\x80.\x83#A", AsString(good.kana)},
        {"000/A#B#C#.X#Y", good.Padded(good.odd, 2048 * 2 + 256)}}},
      {{"-d", "-s2"},
       "\n[GOOD]\n"
       "LOADER.BAS\n"
       "README.TXT\n"
       "GAME__.BIN *** [HEADER CUT] ADDR=c000 END=d193\n"
       "T_____.___ *** [HEADER CUT] ADDR=0100 END=0109\n"
       "MY_PRG.BA_\n"
       "\x83Q\x81[\x83\x80.\x83#A\n"
       "A#B#C#.X#Y\n",
       {{"LOADER.BAS", AsString(good.loader)},
        {"README.TXT", good.Padded(good.readme, 512)},
        {"GAME__.BIN", AsString(good.game)},
        {"T_____.___", AsString(good.tiny)},
        {"MY_PRG.BA_", AsString(good.spaced)},
        {"\x83Q\x81[\x83\x80.\x83#A", AsString(good.kana)},
        {"A#B#C#.X#Y", good.Padded(good.odd, 2048 * 2 + 256)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    std::vector<std::string> args = {disk};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, Console(c.out));
    ExpectFiles(c.files);
    ClearWork();
  }
}


// One file (or a few) per case on an otherwise empty disk, with what the tool prints
// after the header line and what it leaves in folder 000.
struct VolumeCase {
  const char* what;
  std::function<void(VolumeImage&)> build;
  std::string out;                              // after "\n[DISK] -> 000\n", UTF-8
  std::function<Tree(VolumeImage&)> files;      // inside 000
  std::vector<std::string> options = {};
  std::function<void(DiskBuilder&)> damage = {};
};

std::string Cluster(VolumeImage& v, int c) { return Slice(v, c, 0, 2048); }

TEST_F(ExtractTest, TableBytesHeadersAndBrokenChains) {
  const VolumeCase cases[] = {
      {"table byte 0xC3: three sectors",
       [](VolumeImage& v) { v.AddEntry("TEXT", "BAS", 0, 10); v.SetFat(10, 0xC3); v.EndDirectory();
                            std::copy_n(Pattern(2048, 9).begin(), 2048, v.Cluster(10)); },
       "TEXT.BAS  \n",
       [](VolumeImage& v) { return Tree{{"TEXT.BAS", Slice(v, 10, 0, 768)}}; }},
      {"table byte 0xC0: empty file",
       [](VolumeImage& v) { v.AddEntry("EMPTY", "", 0, 10); v.SetFat(10, 0xC0); v.EndDirectory(); },
       "EMPTY.    \n",
       [](VolumeImage&) { return Tree{{"EMPTY.", ""}}; }},
      {"two clusters, last table byte 0xC8",
       [](VolumeImage& v) { v.AddFile("TWO", "", 0, {10, 11}, Pattern(4096, 1)); },
       "TWO.      \n",
       [](VolumeImage&) { return Tree{{"TWO.", AsString(Pattern(4096, 1))}}; }},
      {"table byte 0xCA runs into the next cluster",
       [](VolumeImage& v) { v.AddEntry("LONG", "", 0, 10); v.SetFat(10, 0xCA); v.EndDirectory();
                            std::copy_n(Pattern(4096, 8).begin(), 4096, v.Cluster(10)); },
       "LONG.     \n",
       [](VolumeImage&) { return Tree{{"LONG.", AsString(Pattern(2560, 8))}}; }},
      {"table byte 0xDF on the last cluster is cut at the end of the disk",
       [](VolumeImage& v) { v.AddEntry("EDGE", "", 0, 159); v.SetFat(159, 0xDF); v.EndDirectory();
                            std::copy_n(Pattern(2048, 4).begin(), 2048, v.Cluster(159)); },
       "EDGE.     \n",
       [](VolumeImage&) { return Tree{{"EDGE.", AsString(Pattern(2048, 4))}}; }},
      {"machine code C000..C0FF in one cluster",
       [](VolumeImage& v) { v.AddFile("NAME", "BIN", kMachineCode, {10}, Concat(LoadHeader(0xC000, 0xC0FF), Pattern(256, 2))); },
       "NAME.BIN   *** [HEADER CUT] ADDR=c000 END=c0ff\n",
       [](VolumeImage& v) { return Tree{{"NAME.BIN", Slice(v, 10, 4, 256)}}; }},
      {"the same with -b keeps the header and the used sectors",
       [](VolumeImage& v) { v.AddFile("NAME", "BIN", kMachineCode, {10}, Concat(LoadHeader(0xC000, 0xC0FF), Pattern(256, 2))); },
       "NAME.BIN  \n",
       [](VolumeImage& v) { return Tree{{"NAME.BIN", Slice(v, 10, 0, 512)}}; },
       {"-b"}},
      {"start equal to end, one cluster: one byte",
       [](VolumeImage& v) { v.AddFile("ONE", "BIN", kMachineCode, {10}, Concat(LoadHeader(0x1234, 0x1234), {0xAB})); },
       "ONE.BIN    *** [HEADER CUT] ADDR=1234 END=1234\n",
       [](VolumeImage&) { return Tree{{"ONE.BIN", "\xAB"}}; }},
      {"start equal to end on two clusters: the first cluster after the header",
       [](VolumeImage& v) { v.AddFile("ONE", "BIN", kMachineCode, {10, 11}, Concat(LoadHeader(0xFFFF, 0xFFFF), Pattern(3000, 3))); },
       "ONE.BIN    *** [HEADER CUT] ADDR=ffff END=ffff\n",
       [](VolumeImage& v) { return Tree{{"ONE.BIN", Slice(v, 10, 4, 2044)}}; }},
      {"header claims 100 bytes over two clusters",
       [](VolumeImage& v) { v.AddFile("SHORT", "BIN", kMachineCode, {10, 11}, Concat(LoadHeader(0, 99), Pattern(3000, 3))); },
       "SHORT.BIN  *** [HEADER CUT] ADDR=0000 END=0063\n",
       [](VolumeImage& v) { return Tree{{"SHORT.BIN", Slice(v, 10, 4, 2044)}}; }},
      {"header claims 3,000 bytes in one cluster: walks past the end mark",
       [](VolumeImage& v) { v.AddFile("MORE", "BIN", kMachineCode, {10}, Concat(LoadHeader(0x8000, 0x8000 + 2999), Pattern(2044, 3))); },
       "MORE.BIN   *** [HEADER CUT] ADDR=8000 END=8bb7\n" + kBroken,
       [](VolumeImage& v) { return Tree{{"MORE.BIN", Slice(v, 10, 4, 2044)}}; }},
      {"header claims 2,046 bytes in one cluster: two bytes of the next cluster",
       [](VolumeImage& v) { v.AddFile("SPILL", "BIN", kMachineCode, {10}, Concat(LoadHeader(0, 2045), Pattern(2044, 3)));
                            v.Cluster(11)[0] = 0x5A; v.Cluster(11)[1] = 0xA5; },
       "SPILL.BIN  *** [HEADER CUT] ADDR=0000 END=07fd\n",
       [](VolumeImage& v) { return Tree{{"SPILL.BIN", Slice(v, 10, 4, 2044) + "\x5A\xA5"}}; }},
      {"header claims 2,048 bytes at cluster 159: cut at the end of the disk",
       [](VolumeImage& v) { v.AddFile("LAST", "BIN", kMachineCode, {159}, Concat(LoadHeader(0, 2047), Pattern(2044, 3))); },
       "LAST.BIN   *** [HEADER CUT] ADDR=0000 END=07ff\n",
       [](VolumeImage& v) { return Tree{{"LAST.BIN", Slice(v, 159, 4, 2044)}}; }},
      {"start after end: header error, next entry goes on",
       [](VolumeImage& v) { v.AddFile("BAD", "BIN", kMachineCode, {10}, Concat(LoadHeader(0x9000, 0x8FFF), Pattern(10, 1)));
                            v.AddFile("NEXT", "", 0, {11}, Pattern(256, 1)); },
       "BAD.BIN    *** [HEADER CUT] BSAVE HEADER ERROR!!\nNEXT.     \n",
       [](VolumeImage&) { return Tree{{"BAD.BIN", ""}, {"NEXT.", AsString(Pattern(256, 1))}}; }},
      {"first cluster 200 stops the disk",
       [](VolumeImage& v) { v.AddEntry("FAR", "", 0, 200); v.AddFile("NEXT", "", 0, {11}, Pattern(256, 1)); v.EndDirectory(); },
       "FAR.      " + kDamaged,
       [](VolumeImage&) { return Tree{{"FAR.", ""}}; }},
      {"first cluster 160 of a machine-code file: header not read",
       [](VolumeImage& v) { v.AddEntry("FAR", "BIN", kMachineCode, 160); v.AddFile("NEXT", "", 0, {11}, Pattern(256, 1)); },
       "FAR.BIN    *** [HEADER CUT]" + kDamaged,
       [](VolumeImage&) { return Tree{{"FAR.BIN", ""}}; }},
      {"chain to cluster 170 keeps what was written",
       [](VolumeImage& v) { v.AddFile("CUT", "", 0, {10}, Pattern(2048, 1)); v.SetFat(10, 170);
                            v.AddFile("NEXT", "", 0, {11}, Pattern(256, 1)); },
       "CUT.      \n" + kBroken + "NEXT.     \n",
       [](VolumeImage&) { return Tree{{"CUT.", AsString(Pattern(2048, 1))}, {"NEXT.", AsString(Pattern(256, 1))}}; }},
      {"chain that loops ends after 160 clusters",
       [](VolumeImage& v) { v.AddFile("LOOP", "", 0, {30, 31}, Pattern(4096, 1)); v.SetFat(31, 30);
                            v.AddFile("NEXT", "", 0, {11}, Pattern(256, 1)); },
       "LOOP.     \n" + kBroken + "NEXT.     \n",
       [](VolumeImage& v) {
         std::string loop;
         for (int i = 0; i < 80; ++i) loop += Cluster(v, 30) + Cluster(v, 31);
         return Tree{{"LOOP.", loop}, {"NEXT.", AsString(Pattern(256, 1))}};
       }},
      {"machine code on a loop owes more than it has: bounded too",
       [](VolumeImage& v) { v.AddFile("SPIN", "BIN", kMachineCode, {30}, Concat(LoadHeader(0, 0xFFFF), Pattern(100, 1)));
                            v.SetFat(30, 30); },
       "SPIN.BIN   *** [HEADER CUT] ADDR=0000 END=ffff\n" + kBroken,
       [](VolumeImage& v) {
         // The loop never meets an end mark: the first cluster after the header, then
         // 159 more whole clusters, and the walk is cut there.
         std::string data = Slice(v, 30, 4, 2044);
         for (int i = 0; i < 159; ++i) data += Cluster(v, 30);
         return Tree{{"SPIN.BIN", data}};
       }},
      {"directory without an end mark runs into the table",
       [](VolumeImage& v) { v.AddFile("FIRST", "", 0, {16}, Pattern(256, 1)); },
       "FIRST.    \n\xC1#####.###\n" + kBroken,
       [](VolumeImage& v) {
         std::string zeros;
         for (int i = 0; i < 160; ++i) zeros += Cluster(v, 0);
         return Tree{{"FIRST.", AsString(Pattern(256, 1))}, {"\xC1#####.###", zeros}};
       }},
      {"a name that is only a dot cannot be created: the disk stops",
       [](VolumeImage& v) { v.AddEntry("", "", 0, 10); v.SetFat(10, 0xC1); v.AddFile("NEXT", "", 0, {11}, Pattern(256, 1)); },
       "",
       [](VolumeImage&) { return Tree{}; }},
      {"data on a missing track comes out as zeros",
       [](VolumeImage& v) { v.AddFile("HOLE", "", 0, {10, 11, 12}, Pattern(6144, 1)); },
       "HOLE.     \n",
       [](VolumeImage& v) { return Tree{{"HOLE.", Cluster(v, 10) + std::string(2048, '\0') + Cluster(v, 12)}}; },
       {},
       [](DiskBuilder& d) { auto& r = d.Track(5).records(); r.erase(r.begin() + 8, r.end()); }},
      {"an unreadable directory skips the disk",
       [](VolumeImage& v) { v.AddFile("LOST", "", 0, {10}, Pattern(256, 1)); },
       "",
       [](VolumeImage&) { return Tree{}; },
       {},
       [](DiskBuilder& d) { d.Track(52).records()[13].data.resize(255); }},
  };
  for (const VolumeCase& c : cases) {
    SCOPED_TRACE(c.what);
    VolumeImage volume;
    c.build(volume);
    ContainerBuilder container;
    DiskBuilder& disk = container.AddDisk(volume.ToDisk("DISK"));
    if (c.damage) c.damage(disk);
    std::vector<std::string> args = {Input(container)};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, Console("\n[DISK] -> 000\n" + c.out));
    Tree expected = {{"000", "<dir>"}};
    for (const auto& [name, content] : c.files(volume)) expected["000/" + name] = content;
    ExpectFiles(expected);
    ClearWork();
  }
}

// The worked example: two disks, 'LOADER.BAS' on clusters 10 -> 11 with 0xC3.
TEST_F(ExtractTest, TwoDisksIntoTheirFolders) {
  VolumeImage a;
  a.AddFile("LOADER", "BAS", 0, {10, 11}, Pattern(2048 + 700, 1));
  a.EndDirectory();
  VolumeImage b;
  b.AddFile("LOADER", "BAS", 0, {12}, Pattern(100, 2));
  b.AddFile("OTHER", "", 0, {13}, Pattern(100, 3));
  b.EndDirectory();
  ContainerBuilder container;
  container.AddDisk(a.ToDisk("GAME A"));
  container.AddDisk(b.ToDisk("GAME B"));
  const std::string disk = Input(container);

  ProcessResult result = Run({disk});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, Console("\n[GAME A] -> 000\nLOADER.BAS\n"
                                "\n[GAME B] -> 001\nLOADER.BAS\nOTHER.    \n"));
  ExpectFiles(Tree{{"000", "<dir>"},
                   {"000/LOADER.BAS", Slice(a, 10, 0, 2048) + Slice(a, 11, 0, 768)},
                   {"001", "<dir>"},
                   {"001/LOADER.BAS", Slice(b, 12, 0, 256)},
                   {"001/OTHER.", Slice(b, 13, 0, 256)}});

  // Without folders the later disk's file replaces the earlier one.
  ClearWork();
  result = Run({disk, "-d"});
  EXPECT_EQ(result.exitStatus, 0);
  ExpectFiles(Tree{{"LOADER.BAS", Slice(b, 12, 0, 256)}, {"OTHER.", Slice(b, 13, 0, 256)}});
}

// A short track on disk 1 must not show disk 0's bytes.
TEST_F(ExtractTest, BuffersAreClearedBetweenDisks) {
  VolumeImage volume;
  volume.AddFile("DATA", "", 0, {0}, Pattern(2048, 1));
  volume.EndDirectory();
  ContainerBuilder container;
  container.AddDisk(volume.ToDisk("FULL"));
  container.AddDisk(volume.ToDisk("SHORT")).Track(0).records()[1].data.resize(10);  // record 2
  ASSERT_EQ(Run({Input(container)}).exitStatus, 0);
  const std::string full = Slice(volume, 0, 0, 2048);
  EXPECT_EQ(ReadFileBytes(work.Join(HostPath("000/DATA."))), full);
  EXPECT_EQ(ReadFileBytes(work.Join(HostPath("001/DATA."))),
            full.substr(0, 256 + 10) + std::string(2048 - 256 - 10, '\0'));
}

// A folder where an output file should be stops that disk silently; the next disk goes on.
TEST_F(ExtractTest, OutputNameTakenByAFolderStopsTheDisk) {
  VolumeImage volume;
  volume.AddFile("FIRST", "", 0, {10}, Pattern(256, 1));
  volume.AddFile("TAKEN", "", 0, {11}, Pattern(256, 2));
  volume.AddFile("LAST", "", 0, {12}, Pattern(256, 3));
  volume.EndDirectory();
  ContainerBuilder container;
  container.AddDisk(volume.ToDisk("ONE"));
  container.AddDisk(volume.ToDisk("TWO"));
  std::filesystem::create_directories(work.Join(HostPath("000/TAKEN.")));
  const ProcessResult result = Run({Input(container)});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, Console("\n[ONE] -> 000\nFIRST.    \n"
                                "\n[TWO] -> 001\nFIRST.    \nTAKEN.    \nLAST.     \n"));
  const Tree files = Files();
  EXPECT_EQ(files.count(HostPath("000/LAST.")), 0u);
  EXPECT_EQ(files.at(HostPath("000/TAKEN.")), "<dir>");
  EXPECT_EQ(files.at(HostPath("001/LAST.")), Slice(volume, 12, 0, 256));
}

// Write failures, provoked for real with a file-size limit on the child: writes past
// the limit fail with EFBIG.
TEST_F(ExtractTest, WriteFailureEndsTheRun) {
  // Wine writes up to the limit and then reports success to the program, so the
  // failure never reaches the stream: nothing here can be checked through it.
  if (RunsUnderRunner()) GTEST_SKIP() << "file-size limits do not reach a program under Wine";
  struct Case {
    const char* what;
    int clusters;     // of the second file; the first is 300 bytes of machine code
    int64_t limit;
    std::string out;  // after the header line
  };
  const Case cases[] = {
      // Far more than any stream buffer: a write of the cluster loop fails.
      {"a write of a whole cluster fails", 60, 5000, "BIG.      \n"},
      // A small file reaches the file system only when it is closed.
      {"only the flush at close fails", 1, 1000, "BIG.      \n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VolumeImage volume;
    volume.AddFile("SMALL", "BIN", kMachineCode, {1}, Concat(LoadHeader(0x100, 0x100 + 299), Pattern(300, 1)));
    std::vector<int> clusters;
    for (int i = 0; i < c.clusters; ++i) clusters.push_back(10 + i);
    const Bytes big = Pattern(static_cast<size_t>(c.clusters) * 2048, 2);
    volume.AddFile("BIG", "", 0, clusters, big);
    volume.AddFile("NEVER", "", 0, {2}, Pattern(10, 3));
    volume.EndDirectory();
    ContainerBuilder container;
    container.AddDisk(volume.ToDisk("ONE"));
    container.AddDisk(volume.ToDisk("TWO"));
    ProcessOptions options;
    options.fileSizeLimit = c.limit;
    const ProcessResult result = Run({Input(container)}, options);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, Console(Sjis("ファイルを書き込めません.\n")));
    EXPECT_EQ(result.out, Console("\n[ONE] -> 000\nSMALL.BIN  *** [HEADER CUT] ADDR=0100 END=022b\n" + c.out));
    const Tree files = Files();
    EXPECT_EQ(files.at("000/SMALL.BIN"), AsString(Pattern(300, 1)));  // intact and whole
    const std::string& partial = files.at(HostPath("000/BIG."));
    EXPECT_LE(partial.size(), static_cast<size_t>(c.limit));
    EXPECT_LT(partial.size(), big.size());
    EXPECT_EQ(partial, AsString(big).substr(0, partial.size()));
    EXPECT_EQ(files.count(HostPath("000/NEVER.")), 0u);  // the run ended there
    EXPECT_EQ(files.count("001"), 0u);
    ClearWork();
  }
}

// Names made to reach outside the disk's folder, or to collide. Wherever the tool runs,
// nothing may appear outside its start folder but through its numbered folders; on the
// native build the files are compared exactly.
TEST_F(ExtractTest, HostileNamesStayInTheDiskFolder) {
  VolumeImage names;
  names.AddFile("../../", "X", 0, {2}, Pattern(10, 1));
  names.AddFile("..", "", 0, {3}, Pattern(10, 2));
  names.AddFile("\\..\\x", "/", 0, {4}, Pattern(10, 3));
  names.AddFile("/etc/p", "asw", 0, {5}, Pattern(10, 4));
  names.AddFile("\x80\xFF\xE5\x5C\xA0\x81", "\xFC\x40\x7F", 0, {6}, Pattern(10, 5));
  names.AddFile("DUP", "TXT", 0, {7}, Pattern(10, 6));
  names.AddFile("DUP", "TXT", 0, {8}, Pattern(20, 7));  // replaces the first
  names.EndDirectory();
  VolumeImage dot;  // name "." gives ".." in mode 0: cannot be created, the disk stops
  dot.AddFile(".", "", 0, {2}, Pattern(10, 8));
  dot.AddFile("AFTER", "", 0, {3}, Pattern(10, 9));
  dot.EndDirectory();
  VolumeImage blank;  // "." in mode 0
  blank.AddFile("", "", 0, {2}, Pattern(10, 10));
  blank.AddFile("AFTER", "", 0, {3}, Pattern(10, 11));
  blank.EndDirectory();
  ContainerBuilder container;
  container.AddDisk(names.ToDisk("NAMES"));
  container.AddDisk(dot.ToDisk("DOT"));
  container.AddDisk(blank.ToDisk("BLANK"));
  const std::string disk = Input(container);

  // A file of n bytes on the disk comes out as its one sector.
  const auto p = [](int n, uint8_t seed) {
    std::string sector = AsString(Pattern(static_cast<size_t>(n), seed));
    sector.resize(256, '\0');
    return sector;
  };
  const std::string high = "\x80\xFF\xE5#\xA0\x81.\xFC\x40\x7F";
  struct Case {
    const char* option;
    Tree files;
  };
  const Case cases[] = {
      {"-s0",
       {{"000", "<dir>"}, {"000/..#..#.X", p(10, 1)}, {"000/...", p(10, 2)},
        {"000/#..#x.#", p(10, 3)}, {"000/#etc#p.asw", p(10, 4)}, {"000/" + high, p(10, 5)},
        {"000/DUP.TXT", p(20, 7)}, {"001", "<dir>"}, {"002", "<dir>"}}},
      {"-s1",
       {{"000", "<dir>"}, {"000/..#..#.X  ", p(10, 1)}, {"000/..    .   ", p(10, 2)},
        {"000/#..#x .#  ", p(10, 3)}, {"000/#etc#p.asw", p(10, 4)}, {"000/" + high, p(10, 5)},
        {"000/DUP   .TXT", p(20, 7)}, {"001", "<dir>"}, {"001/.     .   ", p(10, 8)},
        {"001/AFTER .   ", p(10, 9)}, {"002", "<dir>"}, {"002/      .   ", p(10, 10)},
        {"002/AFTER .   ", p(10, 11)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    TempDir outer;
    const std::string start = outer.Join("start");
    std::filesystem::create_directory(start);
    ProcessOptions options;
    options.workingDirectory = start;
    const ProcessResult result = Run({disk, c.option}, options);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    // Only the start folder beside it, only numbered folders of plain files inside it.
    EXPECT_EQ(ListTree(outer.path()).count("start"), 1u);
    for (const auto& [path, content] : ListTree(outer.path())) {
      SCOPED_TRACE(path);
      EXPECT_EQ(path.rfind("start", 0), 0u);
      const std::string inside = path.substr(std::min<size_t>(path.size(), 6));
      if (content == "<dir>" && !inside.empty()) {
        EXPECT_TRUE(inside == "000" || inside == "001" || inside == "002");
      }
      if (content != "<dir>") {
        EXPECT_EQ(inside.find('/'), 3u);
      }
    }
    if (!RunsUnderRunner()) {
      EXPECT_EQ(ListTree(start), c.files);
    }
  }
}

// A real container formatted for another file system: every directory entry reads as
// bytes 0xE5, a machine-code file whose first cluster (229) is out of range.
TEST_F(ExtractTest, RealContainerWithAForeignDirectory) {
  const std::string path = std::string(FDPULL_REALDATA_DIR) + "/oryzapao_HuBASIC_Format_2D.d88";
  if (ReadFileBytes(path).empty()) GTEST_SKIP() << "real containers not found beside the project";
  const ProcessResult result = Run({path});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  const std::string name = "\xE5\xE5\xE5\xE5\xE5\xE5.\xE5\xE5\xE5";
  EXPECT_EQ(result.out,
            Console("\n[by_github_ORYZAP] -> 000\n" + name + " *** [HEADER CUT]" + kDamaged));
  ExpectFiles(Tree{{"000", "<dir>"}, {"000/" + name, ""}});
}

}  // namespace
}  // namespace fdpull::testing
