// Names the host file of a directory entry.
#ifndef FDPULL_VOLUME_HOST_NAME_H_
#define FDPULL_VOLUME_HOST_NAME_H_

#include <string>

#include "volume/volume.h"

namespace fdpull {

// The entry's 6 name bytes, a dot, and its 3 extension bytes, byte by byte: spaces as
// spaceMode says (0 dropped, 1 kept, 2 '_'), the bytes ? * / \ : < > | and 0x00 as '#',
// every other byte unchanged. At most 10 bytes; handed to the file system as they are.
std::string MakeHostName(const DirectoryEntry& entry, int spaceMode);

}  // namespace fdpull

#endif  // FDPULL_VOLUME_HOST_NAME_H_
