#include "end_to_end.h"

#include <iconv.h>

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
  options.workingDirectory = work.path();
  return RunProcess(program, argv, options);
}

void EndToEndTest::ClearWork() const {
  for (const auto& item : std::filesystem::directory_iterator(work.path())) {
    std::filesystem::remove_all(item.path());
  }
}

std::string Console(const std::string& text) {
  const char* crlf = std::getenv("FDPULL_TEST_CRLF");
  if (crlf == nullptr || std::string(crlf) != "1") return text;
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

}  // namespace fdpull::testing
