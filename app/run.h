// The command line and the run over the disks of one container.
#ifndef FDPULL_APP_RUN_H_
#define FDPULL_APP_RUN_H_

#include "volume/run_options.h"

namespace fdpull {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;  // usage, container not opened, or a write failure

struct CommandLine {
  const char* containerPath = nullptr;  // the first argument, whatever it looks like
  RunOptions options;
  bool showUsage = false;  // no argument, or "-?" / "-h" among the options
};

// Reads argv: the container path first, then options; unknown arguments are ignored.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// Writes the usage text to standard error.
void PrintUsage();

// The whole run: returns the process exit status.
int RunTool(int argc, const char* const* argv);

}  // namespace fdpull

#endif  // FDPULL_APP_RUN_H_
