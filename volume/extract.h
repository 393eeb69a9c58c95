// Writes the files of a loaded volume as host files in the current directory.
#ifndef FDPULL_VOLUME_EXTRACT_H_
#define FDPULL_VOLUME_EXTRACT_H_

#include <cstdio>

#include "volume/run_options.h"
#include "volume/volume.h"

namespace fdpull {

enum class VolumeOutcome { kCompleted, kWriteFailure };
enum class EntryOutcome { kNextEntry, kStopDisk, kWriteFailure };

// Where the progress lines and the write-failure text go.
struct Console {
  std::FILE* out;  // progress, including the per-file error texts
  std::FILE* err;  // the write-failure text
};

// Extracts every file entry up to the end mark. kWriteFailure when a host file could
// not be written; the caller ends the run then. Every other damage is reported on
// the console and leaves kCompleted.
VolumeOutcome ExtractVolume(const RunOptions& options, const VolumeGeometry& geometry,
                            const VolumeBuffers& buffers, const Console& console);

// Creates the host file of one entry and writes its cluster chain into it.
// kStopDisk when the file cannot be created or its first cluster is out of range.
EntryOutcome ExtractEntry(const DirectoryEntry& entry, const RunOptions& options,
                          const VolumeGeometry& geometry, const VolumeBuffers& buffers,
                          const Console& console);

}  // namespace fdpull

#endif  // FDPULL_VOLUME_EXTRACT_H_
