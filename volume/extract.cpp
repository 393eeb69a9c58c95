#include "volume/extract.h"

#include <cstring>
#include <string>

#include "volume/host_name.h"

namespace fdpull {

namespace {

// " ** クラスタ破損 **\n" (cluster damaged), ending the line of a file whose first
// cluster is out of range.
constexpr char kFirstClusterDamagedText[] = " ** \x83N\x83\x89\x83X\x83^\x94j\x91\xB9 **\n";
// "** クラスタ破損 **\n" (cluster damaged), on its own line: a chain broken on the way.
constexpr char kChainDamagedText[] = "** \x83N\x83\x89\x83X\x83^\x94j\x91\xB9 **\n";
// "ファイルを書き込めません.\n" (cannot write the file).
constexpr char kCannotWriteText[] =
    "\x83t\x83@\x83" "C\x83\x8B\x82\xF0\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1.\n";
constexpr char kHeaderCutText[] = " *** [HEADER CUT]";
constexpr char kHeaderErrorText[] = " BSAVE HEADER ERROR!!\n";

// Most files are a few clusters long: a buffer this size hands a whole file to the file
// system in one write. Only one output stream is open at a time, so one buffer serves.
constexpr size_t kOutputBufferSize = 64 * 1024;
char outputBuffer[kOutputBufferSize];

// Writes `length` bytes of diskBuffer from `offset`, cut at the end of the buffer: on a
// damaged disk a last piece can claim more bytes than the disk holds.
void WritePiece(std::FILE* output, const VolumeBuffers& buffers, int offset, int length) {
  if (length > kDiskBytes - offset) length = kDiskBytes - offset;
  if (length <= 0) return;
  std::fwrite(buffers.diskBuffer + offset, 1, static_cast<size_t>(length), output);
}

EntryOutcome ReportWriteFailure(const Console& console) {
  std::fputs(kCannotWriteText, console.err);
  return EntryOutcome::kWriteFailure;
}

// A file that was written to is closed with its result checked: for a small file the
// close is the only moment its bytes reach the file system, and a failure there would
// otherwise pass as success.
EntryOutcome CloseWritten(std::FILE* output, const Console& console) {
  if (std::fclose(output) != 0) return ReportWriteFailure(console);
  return EntryOutcome::kNextEntry;
}

}  // namespace

EntryOutcome ExtractEntry(const DirectoryEntry& entry, const RunOptions& options,
                          const VolumeGeometry& geometry, const VolumeBuffers& buffers,
                          const Console& console) {
  const std::string name = MakeHostName(entry, options.spaceMode);
  std::FILE* output = std::fopen(name.c_str(), "wb");
  if (output == nullptr) return EntryOutcome::kStopDisk;
  std::setvbuf(output, outputBuffer, _IOFBF, sizeof outputBuffer);
  std::fprintf(console.out, "%-10s", name.c_str());

  const bool headerCut = options.cutHeaders && (entry.attribute() & kAttributeMachineCode) != 0;
  int headerSkip = 0;
  int bytesExpected = 0;
  if (headerCut) {
    headerSkip = kLoadHeaderSize;
    std::fputs(kHeaderCutText, console.out);
  }

  int cluster = entry.firstCluster();
  if (cluster >= geometry.clusterCount) {
    std::fputs(kFirstClusterDamagedText, console.out);
    std::fclose(output);
    return EntryOutcome::kStopDisk;
  }
  if (headerCut) {
    const uint8_t* header = buffers.diskBuffer + cluster * kClusterSize;
    const int start = ReadLe16(header + kLoadStartOffset);
    const int end = ReadLe16(header + kLoadEndOffset);
    if (start > end) {
      std::fputs(kHeaderErrorText, console.out);
      std::fclose(output);
      return EntryOutcome::kNextEntry;
    }
    bytesExpected = end - start + 1;
    std::fprintf(console.out, " ADDR=%04x END=%04x", static_cast<unsigned>(start),
                 static_cast<unsigned>(end));
  }
  std::fputs("\n", console.out);

  // Whole clusters. A header-cut file walks on past an end mark while more than one
  // cluster is still owed; the end mark then reads as a cluster number out of range.
  // A file has at most clusterCount clusters: a chain that goes on longer has come
  // back on itself and is handled as broken.
  const uint8_t* fat = buffers.fatBuffer;
  int wholeClusters = 0;
  while (fat[cluster] < kFatLastCluster || (headerCut && bytesExpected > kClusterSize)) {
    if (wholeClusters == geometry.clusterCount) {
      std::fputs(kChainDamagedText, console.out);
      return CloseWritten(output, console);
    }
    WritePiece(output, buffers, cluster * kClusterSize + headerSkip, kClusterSize - headerSkip);
    bytesExpected -= kClusterSize - headerSkip;
    headerSkip = 0;
    ++wholeClusters;
    if (std::ferror(output)) {
      std::fclose(output);
      return ReportWriteFailure(console);
    }
    cluster = fat[cluster];
    if (cluster >= geometry.clusterCount) {
      std::fputs(kChainDamagedText, console.out);
      return CloseWritten(output, console);
    }
  }

  const int lastLength =
      headerCut ? bytesExpected : (fat[cluster] & kFatSectorCountMask) * kSectorSize;
  WritePiece(output, buffers, cluster * kClusterSize + headerSkip, lastLength);
  if (std::ferror(output)) {
    std::fclose(output);
    return ReportWriteFailure(console);
  }
  return CloseWritten(output, console);
}

VolumeOutcome ExtractVolume(const RunOptions& options, const VolumeGeometry& geometry,
                            const VolumeBuffers& buffers, const Console& console) {
  for (int k = 0; k < kDirectoryEntryCount; ++k) {
    DirectoryEntry entry;
    std::memcpy(entry.bytes, buffers.directoryBuffer + k * kDirectoryEntrySize,
                kDirectoryEntrySize);
    if (entry.bytes[0] == kEntryFree) continue;
    if (entry.bytes[0] == kEntryEnd) break;
    const EntryOutcome outcome = ExtractEntry(entry, options, geometry, buffers, console);
    if (outcome == EntryOutcome::kStopDisk) break;
    if (outcome == EntryOutcome::kWriteFailure) return VolumeOutcome::kWriteFailure;
  }
  return VolumeOutcome::kCompleted;
}

}  // namespace fdpull
