#include "end_to_end.h"

#include <iconv.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fdpull::testing {

std::string Sjis(const std::string& utf8) {
  iconv_t converter = iconv_open("CP932", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
  std::string in = utf8;
  std::string out(in.size() * 2 + 4, '\0');
  char* from = in.data();
  size_t fromLeft = in.size();
  char* to = out.data();
  size_t toLeft = out.size();
  const size_t done = iconv(converter, &from, &fromLeft, &to, &toLeft);
  iconv_close(converter);
  if (done == static_cast<size_t>(-1)) throw std::runtime_error("text not in CP932");
  out.resize(out.size() - toLeft);
  return out;
}

namespace {

bool EnvIs(const char* name, const std::string& value) {
  const char* set = std::getenv(name);
  return set != nullptr && value == set;
}

bool HasHighBytes(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// Trees as sorted (path, content) lists, with names that cannot be compared on the
// binary's file system replaced by a marker in their folder.
std::vector<std::pair<std::string, std::string>> Comparable(const Tree& tree, bool mapExpected) {
  std::vector<std::pair<std::string, std::string>> items;
  for (const auto& [path, content] : tree) {
    std::string name = mapExpected ? HostPath(path) : path;
    if (WindowsFileNames() && HasHighBytes(name)) {
      const size_t slash = name.rfind('/');
      name = (slash == std::string::npos ? "" : name.substr(0, slash + 1)) + "<name in ANSI code page>";
    }
    items.emplace_back(name, content);
  }
  std::sort(items.begin(), items.end());
  return items;
}

}  // namespace

bool RunsUnderRunner() {
  const char* runner = std::getenv("FDPULL_TEST_RUNNER");
  return runner != nullptr && *runner != '\0';
}

bool WindowsFileNames() { return EnvIs("FDPULL_TEST_FILE_NAMES", "windows"); }

std::string HostPath(const std::string& path) {
  if (!WindowsFileNames()) return path;
  std::string mapped;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    mapped += (start == 0 ? "" : "/") + part;
    start = end + 1;
  }
  return mapped;
}

void EndToEndTest::ExpectFiles(const Tree& expected) const {
  if (!WindowsFileNames()) {
    EXPECT_EQ(Files(), expected);
    return;
  }
  EXPECT_EQ(Comparable(Files(), false), Comparable(expected, true));
}

std::string AsString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string EndToEndTest::Input(const ContainerBuilder& container, const std::string& name) {
  const std::string path = input.Join(name);
  EXPECT_TRUE(container.WriteTo(path));
  return path;
}

ProcessResult EndToEndTest::Run(const std::vector<std::string>& args, ProcessOptions options) {
  // The binary under test and, for a foreign build, the program that runs it.
  const char* binary = std::getenv("FDPULL_TEST_BINARY");
  const char* runner = std::getenv("FDPULL_TEST_RUNNER");
  std::string program = binary != nullptr && *binary != '\0' ? binary : FDPULL_BINARY;
  std::vector<std::string> argv = args;
  if (runner != nullptr && *runner != '\0') {
    argv.insert(argv.begin(), program);
    program = runner;
  }
  if (options.workingDirectory.empty()) options.workingDirectory = work.path();
  return RunProcess(program, argv, options);
}

void EndToEndTest::ClearWork() const {
  for (const auto& item : std::filesystem::directory_iterator(work.path())) {
    std::filesystem::remove_all(item.path());
  }
}

std::string Console(const std::string& text) {
  if (!EnvIs("FDPULL_TEST_LINE_END", "crlf")) return text;
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

}  // namespace fdpull::testing
