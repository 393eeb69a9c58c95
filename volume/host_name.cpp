#include "volume/host_name.h"

#include <cstring>

namespace fdpull {

namespace {

// Bytes with a meaning in host paths; with 0x00 they become kReplacement.
constexpr char kPathCharacters[] = "?*/\\:<>|";
constexpr char kReplacement = '#';

bool IsPathCharacter(char byte) {
  return byte == '\0' || std::memchr(kPathCharacters, byte, sizeof kPathCharacters - 1) != nullptr;
}

}  // namespace

std::string MakeHostName(const DirectoryEntry& entry, int spaceMode) {
  std::string name;
  for (int i = 0; i < kEntryNameLength + kEntryExtensionLength; ++i) {
    // The dot stands even when the extension is all spaces.
    if (i == kEntryExtensionOffset) name += '.';
    char byte = static_cast<char>(entry.bytes[kEntryNameOffset + i]);
    if (byte == ' ') {
      if (spaceMode == 0) continue;
      if (spaceMode == 2) byte = '_';
    }
    // Byte by byte, with no notion of two-byte characters: the second byte of a
    // Shift_JIS character can be a backslash and is replaced like any other.
    if (IsPathCharacter(byte)) byte = kReplacement;
    name += byte;
  }
  return name;
}

}  // namespace fdpull
