// Writes 0x00RRGGBB pixels as an 8-bit RGB PNG (window snapshots of the headless display and the tests) and
// reads any PNG back as such pixels (the tests' goldens, the contact sheet tool). Stateless.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

bool write_png(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels);
// Rows top-down, any alpha dropped; false when the file cannot be read as a PNG.
bool read_png(const std::string& path, int& width, int& height, std::vector<std::uint32_t>& pixels);

} // namespace platform
