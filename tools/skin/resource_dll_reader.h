// Lists the resources of a resource-only PE DLL (the skin libraries), the reverse of write_resource_dll: every
// offset is checked against the file, so a damaged file gives an error instead of a read outside its bytes.
// Stateless.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tools/skin/resource_dll_writer.h"

namespace skin_tools {

// The resources in directory order; nullopt (and the reason in error) for a file that is not such a DLL.
std::optional<std::vector<resource_item>> read_resource_dll(const std::vector<std::uint8_t>& file,
                                                           std::string* error = nullptr);

} // namespace skin_tools
