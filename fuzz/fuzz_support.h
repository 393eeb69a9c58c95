// What the fuzz targets share: a temporary folder of this process for their files.
#ifndef FDPULL_FUZZ_FUZZ_SUPPORT_H_
#define FDPULL_FUZZ_FUZZ_SUPPORT_H_

#include <cstdint>
#include <string>
#include <vector>

namespace fdpull::fuzz {

// This process's own temporary folder (under $TMPDIR or /tmp), made on first use.
const std::string& ProcessFolder();

// Writes the bytes to a container file in ProcessFolder(); returns its path.
const std::string& WriteInput(const std::vector<uint8_t>& bytes);

}  // namespace fdpull::fuzz

#endif  // FDPULL_FUZZ_FUZZ_SUPPORT_H_
