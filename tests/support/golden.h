// Golden PNG snapshots: a test's picture compared pixel for pixel with a PNG kept in the source tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zel::test {

// Reads a PNG file as 0x00RRGGBB pixels, rows top-down; false when it cannot be read.
bool read_png(const std::string& path, int& width, int& height, std::vector<std::uint32_t>& pixels);

// Compares 0x00RRGGBB pixels with FOLDER/NAME.png, FOLDER relative to the source tree ("tests/form/golden").
// Empty when they are equal. On a mismatch NAME.actual.png and NAME.diff.png (differing pixels red over a
// dimmed copy of the actual picture) are written to the working directory and the result names them.
// MORVIK_UPDATE_GOLDEN=1 writes the golden file instead and reports only a failure to write it.
std::string compare_with_golden(const std::string& folder, const std::string& name, int width, int height,
                                const std::vector<std::uint32_t>& pixels);

} // namespace zel::test
