// What the command line chooses for a run; read-only once the run starts.
#ifndef FDPULL_VOLUME_RUN_OPTIONS_H_
#define FDPULL_VOLUME_RUN_OPTIONS_H_

namespace fdpull {

struct RunOptions {
  bool makeFolders = true;  // one numbered folder per disk
  bool cutHeaders = true;   // cut the load-address header off machine-language files
  int spaceMode = 0;        // spaces in names: 0 dropped, 1 kept, 2 made underscores
};

}  // namespace fdpull

#endif  // FDPULL_VOLUME_RUN_OPTIONS_H_
