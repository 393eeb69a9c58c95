#include "app/platform.h"

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fdpull {

#ifdef _WIN32
bool MakeFolder(const char* name) { return _mkdir(name) == 0; }
bool EnterFolder(const char* name) { return _chdir(name) == 0; }
bool LeaveFolder() { return _chdir("..") == 0; }
#else
bool MakeFolder(const char* name) { return mkdir(name, 0777) == 0; }
bool EnterFolder(const char* name) { return chdir(name) == 0; }
bool LeaveFolder() { return chdir("..") == 0; }
#endif

}  // namespace fdpull
