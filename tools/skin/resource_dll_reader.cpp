#include "tools/skin/resource_dll_reader.h"

#include <algorithm>

namespace skin_tools {

namespace {

class parser {
public:
    explicit parser(const std::vector<std::uint8_t>& file) : f(file) {}

    std::uint32_t u16(std::size_t at) const {
        need(at, 2);
        return f[at] | (f[at + 1] << 8);
    }
    std::uint32_t u32(std::size_t at) const {
        need(at, 4);
        return u16(at) | (u16(at + 2) << 16);
    }
    void need(std::size_t at, std::size_t count) const {
        if (at > f.size() || count > f.size() - at) {
            throw std::string("an offset points outside the file");
        }
    }

    // File offset of an RVA inside one of the sections.
    std::size_t offset_of(std::uint32_t rva) const {
        for (const auto& s : sections) {
            if (rva >= s.rva && rva - s.rva < s.size) {
                return s.raw + (rva - s.rva);
            }
        }
        throw std::string("an address lies in no section");
    }

    std::variant<std::uint16_t, std::u16string> key(std::uint32_t name) const {
        if (!(name & 0x80000000u)) {
            return static_cast<std::uint16_t>(name);
        }
        const std::size_t at = directory + (name & 0x7FFFFFFFu);
        const std::uint32_t length = u16(at);
        std::u16string text;
        for (std::uint32_t i = 0; i < length; ++i) {
            text.push_back(static_cast<char16_t>(u16(at + 2 + 2 * i)));
        }
        return text;
    }

    // Entries of the directory at the offset relative to the resource directory.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries(std::uint32_t relative) const {
        const std::size_t at = directory + relative;
        const std::uint32_t count = u16(at + 12) + u16(at + 14);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
        for (std::uint32_t i = 0; i < count; ++i) {
            out.emplace_back(u32(at + 16 + 8 * i), u32(at + 20 + 8 * i));
        }
        return out;
    }

    struct section {
        std::uint32_t rva, size, raw;
    };
    const std::vector<std::uint8_t>& f;
    std::vector<section> sections;
    std::size_t directory = 0;
};

} // namespace

std::optional<std::vector<resource_item>> read_resource_dll(const std::vector<std::uint8_t>& file, std::string* error) {
    try {
        parser p(file);
        if (p.u16(0) != 0x5A4D) {
            throw std::string("no MZ header");
        }
        const std::size_t pe = p.u32(0x3C);
        if (p.u32(pe) != 0x00004550) {
            throw std::string("no PE signature");
        }
        const std::size_t coff = pe + 4;
        const std::uint32_t section_count = p.u16(coff + 2);
        const std::uint32_t optional_size = p.u16(coff + 16);
        const std::size_t optional = coff + 20;
        const std::uint32_t magic = p.u16(optional);
        const std::size_t directories = optional + (magic == 0x20b ? 112 : 96);
        if (magic != 0x10b && magic != 0x20b) {
            throw std::string("unknown optional header");
        }
        const std::uint32_t resource_rva = p.u32(directories + 2 * 8);
        std::size_t table = optional + optional_size;
        for (std::uint32_t i = 0; i < section_count; ++i, table += 40) {
            p.sections.push_back({p.u32(table + 12), std::max(p.u32(table + 8), p.u32(table + 16)), p.u32(table + 20)});
        }
        std::vector<resource_item> items;
        if (resource_rva == 0) {
            return items;
        }
        p.directory = p.offset_of(resource_rva);
        for (auto [type, type_at] : p.entries(0)) {
            if (!(type_at & 0x80000000u)) {
                throw std::string("a type entry is not a directory");
            }
            for (auto [name, name_at] : p.entries(type_at & 0x7FFFFFFFu)) {
                if (!(name_at & 0x80000000u)) {
                    throw std::string("a name entry is not a directory");
                }
                for (auto [language, data_at] : p.entries(name_at & 0x7FFFFFFFu)) {
                    if (data_at & 0x80000000u) {
                        throw std::string("a language entry is a directory");
                    }
                    const std::size_t entry = p.directory + data_at;
                    const std::size_t at = p.offset_of(p.u32(entry));
                    const std::uint32_t size = p.u32(entry + 4);
                    p.need(at, size);
                    resource_item item{p.key(type), p.key(name), static_cast<std::uint16_t>(language),
                                       std::vector<std::uint8_t>(file.begin() + at, file.begin() + at + size)};
                    items.push_back(std::move(item));
                }
            }
        }
        return items;
    } catch (const std::string& reason) {
        if (error) {
            *error = reason;
        }
        return std::nullopt;
    }
}

} // namespace skin_tools
