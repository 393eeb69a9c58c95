// Runs the built tool on containers made with the test-side builder, in a fresh
// temporary folder, and compares what it printed and wrote byte for byte.
#ifndef FDPULL_TESTS_END_TO_END_H_
#define FDPULL_TESTS_END_TO_END_H_

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "d88_builder.h"
#include "process.h"

namespace fdpull::testing {

using Tree = std::map<std::string, std::string>;  // relative path -> content, "<dir>"

// The tool's texts as written in the test source (UTF-8), turned into the Shift_JIS bytes
// the tool prints.
std::string Sjis(const std::string& utf8);

std::string AsString(const Bytes& bytes);

// Console text as the binary under test writes it: "\n" becomes its platform's line end.
std::string Console(const std::string& text);

// The binary under test is a Windows build whose files land through the Windows file
// API (under Wine in CI): there a name's trailing dots and spaces are dropped, and name
// bytes 0x80..0xFF pass through the ANSI code page, so they are not compared.
bool WindowsFileNames();

// The binary runs through another program (FDPULL_TEST_RUNNER, such as Wine).
bool RunsUnderRunner();

// An expected path as the binary's file system stores it.
std::string HostPath(const std::string& path);

class EndToEndTest : public ::testing::Test {
 protected:
  // Writes the container into a separate input folder; returns its absolute path.
  std::string Input(const ContainerBuilder& container, const std::string& name = "disk.d88");

  // Runs the tool in the work folder, or in options.workingDirectory where set.
  ProcessResult Run(const std::vector<std::string>& args, ProcessOptions options = {});

  Tree Files() const { return ListTree(work.path()); }
  // Compares the work folder with `expected`, allowing for WindowsFileNames().
  void ExpectFiles(const Tree& expected) const;
  // Empties the work folder for the next case.
  void ClearWork() const;

  TempDir input;
  TempDir work;
};

}  // namespace fdpull::testing

#endif  // FDPULL_TESTS_END_TO_END_H_
