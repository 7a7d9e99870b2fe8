// Writes resource-only PE DLLs: one .rsrc section, no code, no imports, no entry point. The output depends on
// the resources alone (timestamps are 0, entries are sorted as the format asks), so the same input gives the
// same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace skin_tools {

struct resource_item {
    std::variant<std::uint16_t, std::u16string> type; // names are stored upper-cased
    std::variant<std::uint16_t, std::u16string> name;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> data;
};

// Throws std::invalid_argument for two items with the same type, name and language.
std::vector<std::uint8_t> write_resource_dll(std::vector<resource_item> items);

} // namespace skin_tools
