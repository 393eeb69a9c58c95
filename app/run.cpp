#include "app/run.h"

#include <cstdio>
#include <cstring>

#include "app/platform.h"
#include "image/d88_reader.h"
#include "volume/extract.h"
#include "volume/volume.h"

namespace fdpull {

namespace {

// The usage text, line by line; the Japanese lines in Shift_JIS.
constexpr const char* kUsageLines[] = {
    "Usage: fdpull.exe [d88file] [-d][-b][-s[0|1|2]]\n",
    // "       -d  : サブディレクトリを作成しない\n" (do not create subfolders)
    "       -d  : \x83T\x83u\x83" "f\x83" "B\x83\x8C\x83N\x83g\x83\x8A\x82\xF0\x8D\xEC\x90\xAC"
    "\x82\xB5\x82\xC8\x82\xA2\n",
    // "       -b  : 機械語ファイルのbsaveヘッダを切り落とさない\n"
    // (do not cut the bsave header off machine-language files)
    "       -b  : \x8B@\x8A" "B\x8C\xEA\x83t\x83@\x83" "C\x83\x8B\x82\xCC" "bsave\x83w\x83"
    "b\x83_\x82\xF0\x90\xD8\x82\xE8\x97\x8E\x82\xC6\x82\xB3\x82\xC8\x82\xA2\n",
    // "       -s0 : ファイル名のスペースを削除して出力 (default)\n" (delete spaces)
    "       -s0 : \x83t\x83@\x83" "C\x83\x8B\x96\xBC\x82\xCC\x83X\x83y\x81[\x83X\x82\xF0\x8D\xED"
    "\x8F\x9C\x82\xB5\x82\xC4\x8Fo\x97\xCD (default)\n",
    // "       -s1 : ファイル名のスペースをそのまま出力\n" (keep spaces as they are)
    "       -s1 : \x83t\x83@\x83" "C\x83\x8B\x96\xBC\x82\xCC\x83X\x83y\x81[\x83X\x82\xF0\x82\xBB"
    "\x82\xCC\x82\xDC\x82\xDC\x8Fo\x97\xCD\n",
    // "       -s2 : ファイル名のスペースを _ に置換して出力\n" (replace spaces with _)
    "       -s2 : \x83t\x83@\x83" "C\x83\x8B\x96\xBC\x82\xCC\x83X\x83y\x81[\x83X\x82\xF0 _ \x82\xC9"
    "\x92u\x8A\xB7\x82\xB5\x82\xC4\x8Fo\x97\xCD\n",
};

// "ファイルをオープンできません.\n" (cannot open the file)
constexpr char kCannotOpenText[] =
    "\x83t\x83@\x83" "C\x83\x8B\x82\xF0\x83I\x81[\x83v\x83\x93\x82\xC5\x82\xAB\x82\xDC\x82\xB9"
    "\x82\xF1.\n";

constexpr size_t kFolderNameSize = 260;

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  if (argc < 2) {
    line.showUsage = true;
    return line;
  }
  line.containerPath = argv[1];
  for (int i = 2; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "-?") == 0 || std::strcmp(arg, "-h") == 0) {
      line.showUsage = true;
      return line;
    }
    if (std::strcmp(arg, "-d") == 0) {
      line.options.makeFolders = false;
    } else if (std::strcmp(arg, "-b") == 0) {
      line.options.cutHeaders = false;
    } else if (arg[0] == '-' && arg[1] == 's' && arg[2] >= '0' && arg[2] <= '2') {
      // Only the third character counts: "-s21" is "-s2".
      line.options.spaceMode = arg[2] - '0';
    }
  }
  return line;
}

void PrintUsage() {
  for (const char* text : kUsageLines) std::fputs(text, stderr);
}

int RunTool(int argc, const char* const* argv) {
  const CommandLine line = ParseCommandLine(argc, argv);
  if (line.showUsage) {
    PrintUsage();
    return kExitFailure;
  }
  const RunOptions& options = line.options;

  D88Reader reader;
  if (!reader.Open(line.containerPath)) {
    std::fputs(kCannotOpenText, stderr);
    return kExitFailure;
  }

  VolumeBuffers& buffers = GetVolumeBuffers();
  const Console console = {stdout, stderr};
  char folderName[kFolderNameSize];
  for (int j = 0; j < reader.GetDiskCount(); ++j) {
    ClearVolumeBuffers(buffers);
    // Open has read every header below the disk count; should the file have changed
    // since, the disk is left without a current disk and fails to load below.
    reader.SelectDisk(j);
    const VolumeGeometry geometry = kVolumeGeometry;
    reader.SetSectorRange(1, geometry.sectorsPerTrack);

    bool entered = false;
    if (options.makeFolders) {
      std::snprintf(folderName, sizeof folderName, "%03d", j);
      MakeFolder(folderName);  // an existing folder is simply used
      entered = EnterFolder(folderName);
      std::printf("\n[%s] -> %s\n", reader.GetDiskName(), folderName);
    } else {
      std::printf("\n[%s]\n", reader.GetDiskName());
    }

    if (LoadVolume(reader, geometry, buffers) &&
        ExtractVolume(options, geometry, buffers, console) == VolumeOutcome::kWriteFailure) {
      return kExitFailure;
    }
    if (entered) LeaveFolder();
  }
  return kExitSuccess;
}

}  // namespace fdpull
