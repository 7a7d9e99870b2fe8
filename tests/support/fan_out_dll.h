// A hostile resource library: a PE32 file whose type directory holds `width` entries that all point at one name
// directory of `width` entries, each pointing at an empty language directory. It names no resource, yet a
// reader that follows every entry visits width * width of them.
#pragma once

#include <cstdint>
#include <vector>

namespace zel::test {

inline std::vector<std::uint8_t> fan_out_dll(std::uint16_t width) {
    constexpr std::size_t pe = 0x40;
    constexpr std::size_t opt = pe + 24;
    constexpr std::size_t optional_size = 0xE0;
    constexpr std::size_t section_table = opt + optional_size;
    constexpr std::size_t raw = 0x200;
    constexpr std::uint32_t rva = 0x1000;

    const std::size_t directory = 16 + 8 * static_cast<std::size_t>(width);
    const std::size_t names_at = directory;         // the one name directory
    const std::size_t languages_at = 2 * directory; // the one empty language directory
    const std::size_t rsrc_size = languages_at + 16;

    std::vector<std::uint8_t> out(raw + rsrc_size, 0);
    auto u16 = [&](std::size_t at, std::uint32_t v) {
        out[at] = static_cast<std::uint8_t>(v);
        out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto u32 = [&](std::size_t at, std::uint32_t v) {
        u16(at, v & 0xFFFF);
        u16(at + 2, v >> 16);
    };
    u16(0, 0x5A4D);
    u32(0x3C, pe);
    u32(pe, 0x00004550);
    u16(pe + 4, 0x14C);
    u16(pe + 6, 1); // sections
    u16(pe + 20, optional_size);
    u16(opt, 0x10B);
    u32(opt + 92, 16);       // data directories
    u32(opt + 96 + 16, rva); // the resource directory
    u32(opt + 96 + 20, static_cast<std::uint32_t>(rsrc_size));
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (std::size_t i = 0; i < 8; ++i) {
        out[section_table + i] = static_cast<std::uint8_t>(name[i]);
    }
    u32(section_table + 8, static_cast<std::uint32_t>(rsrc_size));
    u32(section_table + 12, rva);
    u32(section_table + 16, static_cast<std::uint32_t>(rsrc_size));
    u32(section_table + 20, raw);

    auto fill = [&](std::size_t at, std::size_t target) {
        u16(raw + at + 14, width); // id entries
        for (std::size_t i = 0; i < width; ++i) {
            u32(raw + at + 16 + 8 * i, static_cast<std::uint32_t>(i + 1));
            u32(raw + at + 20 + 8 * i, static_cast<std::uint32_t>(target) | 0x80000000u);
        }
    };
    fill(0, names_at);
    fill(names_at, languages_at);
    return out;
}

} // namespace zel::test
