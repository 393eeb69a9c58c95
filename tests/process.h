// Runs the built tool as a child process and collects what it did.
#ifndef FDPULL_TESTS_PROCESS_H_
#define FDPULL_TESTS_PROCESS_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fdpull::testing {

struct ProcessResult {
  int exitStatus = -1;  // -1 when the child did not exit normally
  std::string out;      // standard output, bytes as written
  std::string err;      // standard error, bytes as written
};

struct ProcessOptions {
  std::string workingDirectory;  // where the child starts
  int64_t fileSizeLimit = -1;    // RLIMIT_FSIZE for the child, with SIGXFSZ ignored
};

// Runs `program` with `args` (argv[1..]) and waits for it.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options);

// A fresh folder under the system's temporary folder, removed with all it holds.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string Join(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Every file and folder below `root`, as relative path -> content; folders map to the
// marker "<dir>".
std::map<std::string, std::string> ListTree(const std::string& root);

std::string ReadFileBytes(const std::string& path);

}  // namespace fdpull::testing

#endif  // FDPULL_TESTS_PROCESS_H_
