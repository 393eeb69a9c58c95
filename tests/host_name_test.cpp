#include "volume/host_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace fdpull {
namespace {

DirectoryEntry Entry(const std::string& nameAndExtension) {
  DirectoryEntry entry = {};
  std::memcpy(entry.bytes, nameAndExtension.data(), 9);
  return entry;
}

TEST(HostNameTest, Table) {
  struct Case {
    std::string entry;  // 6 name bytes and 3 extension bytes
    int spaceMode;
    std::string expected;
  };
  const Case cases[] = {
      {"AB CD BAS", 0, "ABCD.BAS"},
      {"AB CD BAS", 1, "AB CD .BAS"},
      {"AB CD BAS", 2, "AB_CD_.BAS"},
      {"MAIN     ", 0, "MAIN."},  // the dot stays
      {"MAIN     ", 1, "MAIN  .   "},
      {"MAIN     ", 2, "MAIN__.___"},
      {"A/B*C?X:Y", 0, "A#B#C#.X#Y"},
      {"A/B*C?X:Y", 1, "A#B#C#.X#Y"},
      {"A/B*C?X:Y", 2, "A#B#C#.X#Y"},
      {"\\<>|  ...", 0, "####...."},
      {std::string("AB\0\0\0\0BIN", 9), 0, "AB####.BIN"},
      {std::string("\0ABCDEBIN", 9), 0, "#ABCDE.BIN"},
      {"A\"B\x01  BIN", 0, "A\"B\x01.BIN"},  // quote and control bytes stay
      {"\x83\x5C\xB1\xB2  TXT", 0, "\x83#\xB1\xB2.TXT"},  // no notion of two-byte characters
      {"\xFF\x80\xE0\x9F\xFC\xA0\xC3\xDF\xFE", 0, "\xFF\x80\xE0\x9F\xFC\xA0.\xC3\xDF\xFE"},
      {"         ", 0, "."},
      {"      BAS", 0, ".BAS"},
      {"..    ...", 0, "......"},
      {" A B CD E", 0, "ABC.DE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.entry) + " mode " + std::to_string(c.spaceMode));
    EXPECT_EQ(MakeHostName(Entry(c.entry), c.spaceMode), c.expected);
  }
}

}  // namespace
}  // namespace fdpull
