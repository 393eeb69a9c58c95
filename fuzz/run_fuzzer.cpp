// Fuzzes the whole run: the input's first byte chooses the options, the rest is the
// container. The run works in a fresh folder inside this process's temporary folder;
// afterwards nothing may stand outside it, and inside it only numbered folders holding
// plain files, and plain files.
//
// With bit 0x40 of the first byte the rest is instead the directory track's 14 records
// (directory and allocation table, 3,584 bytes, zero-padded) of a one-disk container
// built here: a container of real size puts those few decisive bytes among thousands of
// others, where a mutation seldom lands on them.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/run.h"
#include "fuzz_support.h"
#include "image/d88_format.h"

namespace fs = std::filesystem;

namespace {

bool IsDiskFolderName(const std::string& name) {
  return name.size() == 3 && name[0] == '0' && name[1] >= '0' && name[1] <= '6' &&
         name[2] >= '0' && name[2] <= '9' && std::stoi(name) < 64;
}

// Traps unless `folder` holds only plain files and, where `nested`, disk folders that
// themselves hold only plain files.
void CheckTree(const fs::path& folder, bool nested) {
  for (const auto& item : fs::directory_iterator(folder)) {
    const std::string name = item.path().filename().string();
    if (item.is_symlink()) __builtin_trap();
    if (item.is_directory()) {
      if (!nested || !IsDiskFolderName(name)) __builtin_trap();
      CheckTree(item.path(), false);
    } else if (!item.is_regular_file()) {
      __builtin_trap();
    }
  }
}

// A disk of one track, 52, holding records R = 1..14 of 256 bytes taken from `bytes`.
std::vector<uint8_t> DirectoryTrackContainer(const uint8_t* bytes, size_t size) {
  using namespace fdpull;
  constexpr int kTrack = 52, kRecords = 14, kSize = 256;
  std::vector<uint8_t> disk(kDiskHeaderSize + kRecords * (kSectorHeaderSize + kSize), 0);
  const auto put32 = [&](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) disk[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
  };
  put32(kDiskSizeOffset, static_cast<uint32_t>(disk.size()));
  put32(kTrackTableOffset + kTrackEntrySize * kTrack, kDiskHeaderSize);
  size_t at = kDiskHeaderSize;
  for (int r = 1; r <= kRecords; ++r) {
    uint8_t* record = disk.data() + at;
    record[kRecordCylinderOffset] = kTrack >> 1;
    record[kRecordHeadOffset] = kTrack & 1;
    record[kRecordNumberOffset] = static_cast<uint8_t>(r);
    record[kRecordSizeCodeOffset] = 1;
    record[kRecordCountOffset] = kRecords;
    record[kRecordDataSizeOffset] = 0;
    record[kRecordDataSizeOffset + 1] = kSize >> 8;
    at += kSectorHeaderSize;
    const size_t from = static_cast<size_t>(r - 1) * kSize;
    for (size_t i = 0; i < kSize && from + i < size; ++i) disk[at + i] = bytes[from + i];
    at += kSize;
  }
  return disk;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The progress lines are not what is fuzzed here.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choice = data[0];
  const std::vector<uint8_t> container = (choice & 0x40)
                                             ? DirectoryTrackContainer(data + 1, size - 1)
                                             : std::vector<uint8_t>(data + 1, data + size);
  const std::string& input = fdpull::fuzz::WriteInput(container);

  const fs::path base = fdpull::fuzz::ProcessFolder();
  const fs::path work = base / "work";
  fs::remove_all(work);
  fs::create_directory(work);

  std::vector<std::string> args = {"fdpull", input};
  if (choice & 0x01) args.push_back("-d");
  if (choice & 0x02) args.push_back("-b");
  static const char* const kSpaceOptions[] = {"", "-s0", "-s1", "-s2"};
  if ((choice >> 2) & 0x03) args.push_back(kSpaceOptions[(choice >> 2) & 0x03]);
  if (choice & 0x10) args.push_back("-x");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());

  const fs::path start = fs::current_path();
  fs::current_path(work);
  const int status = fdpull::RunTool(static_cast<int>(argv.size()), argv.data());
  // A run that ended on a write failure stops inside a disk's folder.
  fs::current_path(start);
  if (status != 0 && status != 1) __builtin_trap();

  // Nothing beside the input and the work folder, and nothing odd inside it.
  for (const auto& item : fs::directory_iterator(base)) {
    const std::string name = item.path().filename().string();
    if (name != "input.d88" && name != "work") __builtin_trap();
  }
  CheckTree(work, true);
  return 0;
}
