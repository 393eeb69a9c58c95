// The run as a user sees it: usage, open failures, exit statuses, header lines and the
// numbered folders.
#include <gtest/gtest.h>

#include "end_to_end.h"
#include "volume_image.h"

namespace fdpull::testing {
namespace {

std::string UsageText() {
  return Console(Sjis(
      "Usage: fdpull.exe [d88file] [-d][-b][-s[0|1|2]]\n"
      "       -d  : サブディレクトリを作成しない\n"
      "       -b  : 機械語ファイルのbsaveヘッダを切り落とさない\n"
      "       -s0 : ファイル名のスペースを削除して出力 (default)\n"
      "       -s1 : ファイル名のスペースをそのまま出力\n"
      "       -s2 : ファイル名のスペースを _ に置換して出力\n"));
}

std::string CannotOpenText() { return Console(Sjis("ファイルをオープンできません.\n")); }

using RunTest = EndToEndTest;

// Every way the run ends with status 1 before any disk, and what it prints.
TEST_F(RunTest, UsageAndOpenFailures) {
  ContainerBuilder container;
  container.AddDisk("DISK");
  const std::string disk = Input(container);
  struct Case {
    const char* what;
    std::vector<std::string> args;
    bool usage;  // else the open-failure text
  };
  const Case cases[] = {
      {"no argument", {}, true},
      {"-h as an option", {disk, "-h"}, true},
      {"-? as an option", {disk, "-?"}, true},
      {"-? after -d, on a missing file", {"missing.d88", "-d", "-?"}, true},
      {"-h as the path", {"-h"}, false},
      {"-d as the path", {"-d", disk}, false},
      {"missing file", {"missing.d88"}, false},
      {"a folder as the path", {input.path()}, false},
      {"an empty path", {""}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ProcessResult result = Run(c.args);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.usage ? UsageText() : CannotOpenText());
    EXPECT_TRUE(Files().empty());
  }
}

TEST_F(RunTest, ContainerWithoutAWholeHeaderPrintsNothing) {
  for (size_t length : {size_t{0}, size_t{1}, size_t{687}}) {
    SCOPED_TRACE(length);
    ContainerBuilder container;
    container.AddDisk("DISK");
    container.TruncateTo(length);
    const ProcessResult result = Run({Input(container)});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(Files().empty());
  }
}

// Disks without a loadable volume still get their header line and folder.
TEST_F(RunTest, HeaderLinesAndFoldersForEveryDisk) {
  ContainerBuilder container;
  container.AddDisk("GAME DISK 1");
  container.AddDisk("");
  container.AddDisk("SIXTEEN BYTES!!!EXTRA");
  const std::string disk = Input(container);

  const ProcessResult result = Run({disk});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, Console("\n[GAME DISK 1] -> 000\n"
                                "\n[] -> 001\n"
                                "\n[SIXTEEN BYTES!!!] -> 002\n"));
  ExpectFiles(Tree{{"000", "<dir>"}, {"001", "<dir>"}, {"002", "<dir>"}});

  // Run again in the same place: the folders are reused.
  const ProcessResult again = Run({disk, "-x"});
  EXPECT_EQ(again.exitStatus, 0);
  EXPECT_EQ(again.out, result.out);
  EXPECT_EQ(Files().size(), 3u);

  const ProcessResult flat = Run({disk, "-d"});
  EXPECT_EQ(flat.exitStatus, 0);
  EXPECT_EQ(flat.out, Console("\n[GAME DISK 1]\n\n[]\n\n[SIXTEEN BYTES!!!]\n"));
}

TEST_F(RunTest, SixtyFourDiskFolders) {
  ContainerBuilder container;
  container.AddDisk("SAME").SetDiskSize(0);  // found again and again
  const ProcessResult result = Run({Input(container)});
  EXPECT_EQ(result.exitStatus, 0);
  std::string expected;
  Tree folders;
  for (int j = 0; j < 64; ++j) {
    char name[8];
    std::snprintf(name, sizeof name, "%03d", j);
    expected += "\n[SAME] -> " + std::string(name) + "\n";
    folders[name] = "<dir>";
  }
  EXPECT_EQ(result.out, Console(expected));
  ExpectFiles(folders);
}

// A plain file where a folder should be: the header line still names the folder, the
// disk's files go to the current folder, and the run does not go up from there.
TEST_F(RunTest, FolderThatCannotBeCreatedOrEntered) {
  VolumeImage volume;
  volume.AddFile("FILE", "TXT", 0, {1}, Bytes(256, 'a'));
  volume.EndDirectory();
  ContainerBuilder container;
  container.AddDisk(volume.ToDisk("ONE"));
  container.AddDisk(volume.ToDisk("TWO"));
  ASSERT_TRUE(WriteFile(work.Join("000"), Bytes{'x'}));

  const ProcessResult result = Run({Input(container)});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, Console("\n[ONE] -> 000\nFILE.TXT  \n\n[TWO] -> 001\nFILE.TXT  \n"));
  ExpectFiles(Tree{{"000", "x"},
                   {"FILE.TXT", std::string(256, 'a')},
                   {"001", "<dir>"},
                   {"001/FILE.TXT", std::string(256, 'a')}});
}

}  // namespace
}  // namespace fdpull::testing
