// The tool under valgrind's memcheck on damaged containers: no invalid access, no use of
// uninitialised bytes, no leak. Skipped where valgrind is not installed, and in builds
// with sanitizers, which valgrind cannot run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include "d88_builder.h"
#include "process.h"
#include "volume_image.h"

namespace fdpull::testing {
namespace {

std::string FindValgrind() {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::filesystem::path candidate = std::filesystem::path(folder) / "valgrind";
    if (!folder.empty() && std::filesystem::exists(candidate)) return candidate.string();
  }
  return "";
}

TEST(ValgrindTest, DamagedContainersRunClean) {
#ifdef FDPULL_SANITIZED
  GTEST_SKIP() << "valgrind cannot run a binary built with sanitizers";
#endif
  const std::string valgrind = FindValgrind();
  if (valgrind.empty()) GTEST_SKIP() << "valgrind is not installed";

  VolumeImage volume;
  volume.AddFile("TEXT", "BAS", 0, {2, 3}, Pattern(3000, 1));
  volume.AddFile("GAME", "BIN", kMachineCode, {4}, Concat(LoadHeader(0, 2999), Pattern(100, 2)));
  volume.AddFile("LOOP", "", 0, {5, 6}, Pattern(4096, 3));
  volume.SetFat(6, 5);
  volume.AddFile("WIDE", "", 0, {159}, Pattern(100, 4));
  volume.SetFat(159, 0xDF);
  volume.AddEntry("FAR", "", 0, 200);

  const std::vector<std::pair<const char*, std::function<void(ContainerBuilder&)>>> cases = {
      {"chains, headers and bounds", [&](ContainerBuilder& c) { c.AddDisk(volume.ToDisk("V")); }},
      {"truncated in a record", [&](ContainerBuilder& c) {
         c.AddDisk(volume.ToDisk("V"));
         c.TruncateTo(688 + 60 * (16 + 256) + 9);
       }},
      {"zero counts and short data", [&](ContainerBuilder& c) {
         DiskBuilder& d = c.AddDisk(volume.ToDisk("V"));
         d.Track(0).records()[3].count = 0;
         d.Track(1).records()[2].data.resize(7);
         d.Track(2).records()[0].dataSize = 0xFFFF;
       }},
      {"disk size 0 and track entries with bit 31", [&](ContainerBuilder& c) {
         c.AddDisk(volume.ToDisk("V")).SetDiskSize(0).SetTrackEntry(3, 0x80000000u);
       }},
  };
  for (const auto& [what, make] : cases) {
    SCOPED_TRACE(what);
    TempDir work;
    ContainerBuilder container;
    make(container);
    const std::string path = work.Join("disk.d88");
    ASSERT_TRUE(container.WriteTo(path));
    ProcessOptions options;
    options.workingDirectory = work.path();
    const ProcessResult result =
        RunProcess(valgrind, {"-q", "--error-exitcode=99", "--leak-check=full",
                              "--errors-for-leak-kinds=definite,indirect", FDPULL_BINARY, path},
                   options);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");  // memcheck's reports go to standard error
  }
}

}  // namespace
}  // namespace fdpull::testing
