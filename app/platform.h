// The few calls that differ between Windows and POSIX systems. Paths are narrow byte
// strings handed to the system unchanged.
#ifndef FDPULL_APP_PLATFORM_H_
#define FDPULL_APP_PLATFORM_H_

namespace fdpull {

// Creates a folder in the current directory; false when it was not created (also when
// it already exists).
bool MakeFolder(const char* name);

// Makes the folder the current directory; false when it cannot be entered.
bool EnterFolder(const char* name);

// Goes back up to the parent of the current directory.
bool LeaveFolder();

}  // namespace fdpull

#endif  // FDPULL_APP_PLATFORM_H_
