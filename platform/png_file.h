// Writes 0x00RRGGBB pixels as an 8-bit RGB PNG (window snapshots of the headless display and the tests).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

bool write_png(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels);

} // namespace platform
