// Times fdpull against the floor of writing the same files: `tar -x` of an archive that
// holds exactly the tree fdpull writes. Both run alternately in fresh folders, so that
// a noisy machine slows both alike; the ratio of the medians is the figure.
//   bench_driver FDPULL [RUNS]
//   bench_driver --workload FOLDER     (only writes the two containers)
#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "d88_builder.h"
#include "volume_image.h"

namespace fs = std::filesystem;
using fdpull::testing::Bytes;
using fdpull::testing::ContainerBuilder;
using fdpull::testing::VolumeImage;

namespace {

constexpr int kClusters = 160;
constexpr int kDirectoryClusters[] = {104, 105};  // track 52

// One full volume: files of 1 to 12 clusters until the disk is full, about 40 % of
// them machine-language files.
VolumeImage FullVolume(std::mt19937& random, int disk) {
  VolumeImage volume;
  std::vector<int> free;
  for (int c = 0; c < kClusters; ++c) {
    if (c != kDirectoryClusters[0] && c != kDirectoryClusters[1]) free.push_back(c);
  }
  std::shuffle(free.begin(), free.end(), random);
  size_t next = 0;
  for (int file = 0; next < free.size(); ++file) {
    const size_t want = std::uniform_int_distribution<size_t>(1, 12)(random);
    const size_t count = std::min(want, free.size() - next);
    std::vector<int> clusters(free.begin() + static_cast<std::ptrdiff_t>(next),
                              free.begin() + static_cast<std::ptrdiff_t>(next + count));
    next += count;
    const size_t lastBytes = std::uniform_int_distribution<size_t>(1, 2048)(random);
    const size_t size = (count - 1) * 2048 + lastBytes;
    char name[8];
    std::snprintf(name, sizeof name, "D%02dF%02d", disk % 100, file % 100);
    const bool machine = std::uniform_int_distribution<int>(0, 99)(random) < 40;
    Bytes content = fdpull::testing::Pattern(size, static_cast<uint8_t>(file));
    if (machine && size >= 5) {
      const auto end = static_cast<uint16_t>(0x1000 + size - 4 - 1);
      const Bytes header = fdpull::testing::LoadHeader(0x1000, end);
      std::copy(header.begin(), header.end(), content.begin());
    }
    volume.AddFile(name, machine ? "BIN" : "DAT", machine ? fdpull::testing::kMachineCode : 0,
                   clusters, content);
  }
  volume.EndDirectory();
  return volume;
}

std::string MakeContainer(const fs::path& folder, int disks) {
  std::mt19937 random(12345);
  ContainerBuilder container;
  for (int d = 0; d < disks; ++d) container.AddDisk(FullVolume(random, d).ToDisk("BENCH " + std::to_string(d)));
  const std::string path = (folder / ("bench-" + std::to_string(disks) + ".d88")).string();
  if (!container.WriteTo(path)) std::exit(1);
  return path;
}

std::vector<char*> Argv(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// In the child: enter `folder`, send standard output nowhere, run argv.
[[noreturn]] void Exec(const std::vector<char*>& argv, const fs::path& folder) {
  const int none = open("/dev/null", O_WRONLY);
  if (chdir(folder.c_str()) != 0 || none < 0 || dup2(none, 1) < 0) _exit(126);
  execvp(argv[0], argv.data());
  _exit(127);
}

void CheckExit(int status, const std::string& what) {
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", what.c_str());
    std::exit(1);
  }
}

// Runs argv in `folder`; returns its wall time.
double Time(const std::vector<std::string>& args, const fs::path& folder) {
  const std::vector<char*> argv = Argv(args);
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) Exec(argv, folder);
  int status = 0;
  waitpid(pid, &status, 0);
  const auto stop = std::chrono::steady_clock::now();
  CheckExit(status, args[0]);
  return std::chrono::duration<double>(stop - start).count();
}

// Runs argv in `folder` once more, stopped just before it exits to read the peak
// resident memory of its own image (VmHWM). The rusage of a child would also count
// the pages it shared with this process between fork and exec.
long PeakKiB(const std::vector<std::string>& args, const fs::path& folder) {
  const std::vector<char*> argv = Argv(args);
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    Exec(argv, folder);
  }
  int status = 0;
  waitpid(pid, &status, 0);  // stopped at exec
  ptrace(PTRACE_SETOPTIONS, pid, nullptr, reinterpret_cast<void*>(PTRACE_O_TRACEEXIT));
  ptrace(PTRACE_CONT, pid, nullptr, nullptr);
  long peak = -1;
  while (waitpid(pid, &status, 0) == pid && WIFSTOPPED(status)) {
    if ((status >> 8) == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      std::ifstream proc("/proc/" + std::to_string(pid) + "/status");
      for (std::string line; std::getline(proc, line);) {
        if (line.rfind("VmHWM:", 0) == 0) peak = std::atol(line.c_str() + 6);
      }
    }
    const int signal = WSTOPSIG(status) == SIGTRAP ? 0 : WSTOPSIG(status);
    ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(static_cast<intptr_t>(signal)));
  }
  CheckExit(status, args[0]);
  return peak;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Fresh(const fs::path& folder) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  sync();  // neither side pays for the other's write-back
}

void Bench(const std::string& fdpull, const std::string& container, const fs::path& work, int runs) {
  // The floor's archive: exactly the tree fdpull writes.
  const fs::path reference = work / "reference";
  Fresh(reference);
  Time({fdpull, container}, reference);
  const std::string archive = (work / "reference.tar").string();
  Time({"tar", "-cf", archive, "-C", reference.string(), "."}, work);
  size_t files = 0;
  uintmax_t bytes = 0;
  for (const auto& item : fs::recursive_directory_iterator(reference)) {
    if (item.is_regular_file()) {
      ++files;
      bytes += item.file_size();
    }
  }

  const fs::path out = work / "out";
  std::vector<double> tool, floor;
  for (int i = 0; i < runs; ++i) {
    Fresh(out);
    tool.push_back(Time({fdpull, container}, out));
    Fresh(out);
    floor.push_back(Time({"tar", "-xf", archive}, out));
  }
  Fresh(out);
  const long peakKiB = PeakKiB({fdpull, container}, out);
  const double ratio = Median(tool) / Median(floor);
  std::printf("%-28s %6.1f MB in, %6.1f MB out, %5zu files\n", fs::path(container).filename().c_str(),
              static_cast<double>(fs::file_size(container)) / 1e6, static_cast<double>(bytes) / 1e6, files);
  std::printf("  fdpull median %8.2f ms   tar -x median %8.2f ms   ratio %.3f   (%d runs each)\n",
              Median(tool) * 1e3, Median(floor) * 1e3, ratio, runs);
  std::printf("  fdpull peak resident memory %.2f MiB\n", static_cast<double>(peakKiB) / 1024.0);
  fs::remove_all(reference);
  fs::remove_all(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_driver FDPULL [RUNS] | bench_driver --workload FOLDER\n");
    return 2;
  }
  if (std::string(argv[1]) == "--workload" && argc == 3) {
    fs::create_directories(argv[2]);
    for (int disks : {64, 1}) std::printf("%s\n", MakeContainer(argv[2], disks).c_str());
    return 0;
  }
  const std::string fdpull = fs::absolute(argv[1]).string();
  const int runs = argc > 2 ? std::max(5, std::atoi(argv[2])) : 7;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/fdpull-bench-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  const fs::path work = pattern;
  for (int disks : {64, 1}) Bench(fdpull, MakeContainer(work, disks), work, runs);
  fs::remove_all(work);
  return 0;
}
