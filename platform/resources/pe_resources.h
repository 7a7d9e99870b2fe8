// The resource directory of a PE file (PE32 or PE32+): type, name and language levels, resolved to byte
// ranges of the file. Parsing never reads outside the bytes given and visits a bounded number of directory
// entries (directories may point into one another); anything inconsistent fails the whole file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// An integer id or an upper-cased UTF-16 name, as resource names and types are matched.
using resource_key = std::variant<std::uint16_t, std::u16string>;

struct pe_resource {
    resource_key type;
    resource_key name;
    std::uint16_t language = 0;
    std::size_t offset = 0; // in the file
    std::size_t size = 0;
};

class pe_resources {
public:
    // Null with a reason in error when the bytes are not a PE file with a sound resource directory. A file
    // without a resource directory parses to no resources.
    static std::optional<pe_resources> parse(const std::uint8_t* data, std::size_t size, std::string& error);

    // The first language of the named resource, or null.
    const pe_resource* find(const resource_key& type, const resource_key& name) const;
    const std::vector<pe_resource>& all() const {
        return resources_;
    }

    static resource_key key_of_text(const std::u16string& text);

private:
    std::vector<pe_resource> resources_;
};

} // namespace platform
