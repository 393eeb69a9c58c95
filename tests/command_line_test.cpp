#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run.h"

namespace fdpull {
namespace {

TEST(CommandLineTest, Table) {
  struct Case {
    std::vector<std::string> args;  // after the program name
    bool usage;
    const char* path;  // nullptr: none
    bool makeFolders;
    bool cutHeaders;
    int spaceMode;
  };
  const Case cases[] = {
      {{}, true, nullptr, true, true, 0},                       // no argument
      {{"disk.d88"}, false, "disk.d88", true, true, 0},         // defaults
      {{"-h"}, false, "-h", true, true, 0},                     // first argument is the path
      {{"-?"}, false, "-?", true, true, 0},
      {{"-d", "disk.d88"}, false, "-d", true, true, 0},         // 'disk.d88' is ignored
      {{"a.d88", "b.d88"}, false, "a.d88", true, true, 0},      // second path ignored
      {{"disk.d88", "-d"}, false, "disk.d88", false, true, 0},
      {{"disk.d88", "-b"}, false, "disk.d88", true, false, 0},
      {{"disk.d88", "-d", "-b", "-s1"}, false, "disk.d88", false, false, 1},
      {{"disk.d88", "-D"}, false, "disk.d88", true, true, 0},   // case-sensitive
      {{"disk.d88", "-B", "-S1"}, false, "disk.d88", true, true, 0},
      {{"disk.d88", "-dd"}, false, "disk.d88", true, true, 0},  // whole argument only
      {{"disk.d88", "-s"}, false, "disk.d88", true, true, 0},   // no third character
      {{"disk.d88", "-s7"}, false, "disk.d88", true, true, 0},
      {{"disk.d88", "-s2"}, false, "disk.d88", true, true, 2},
      {{"disk.d88", "-s21"}, false, "disk.d88", true, true, 2},  // only the third counts
      {{"disk.d88", "-s1x"}, false, "disk.d88", true, true, 1},
      {{"disk.d88", "-s2", "-s7"}, false, "disk.d88", true, true, 2},  // -s7 leaves it
      {{"disk.d88", "-s2", "-s0"}, false, "disk.d88", true, true, 0},  // later wins
      {{"disk.d88", "-x", "-d"}, false, "disk.d88", false, true, 0},
      {{"disk.d88", ""}, false, "disk.d88", true, true, 0},
      {{"disk.d88", "-"}, false, "disk.d88", true, true, 0},
      {{"disk.d88", "-h"}, true, "disk.d88", true, true, 0},
      {{"disk.d88", "-d", "-?"}, true, "disk.d88", false, true, 0},
      {{"disk.d88", "-?", "-d"}, true, "disk.d88", true, true, 0},  // scan stops at once
      {{"disk.d88", "-H"}, false, "disk.d88", true, true, 0},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& arg : c.args) shown += "'" + arg + "' ";
    SCOPED_TRACE(shown);
    std::vector<const char*> argv = {"fdpull"};
    for (const std::string& arg : c.args) argv.push_back(arg.c_str());
    const CommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(line.showUsage, c.usage);
    if (c.path == nullptr) {
      EXPECT_EQ(line.containerPath, nullptr);
    } else {
      EXPECT_STREQ(line.containerPath, c.path);
    }
    EXPECT_EQ(line.options.makeFolders, c.makeFolders);
    EXPECT_EQ(line.options.cutHeaders, c.cutHeaders);
    EXPECT_EQ(line.options.spaceMode, c.spaceMode);
  }
}

}  // namespace
}  // namespace fdpull
