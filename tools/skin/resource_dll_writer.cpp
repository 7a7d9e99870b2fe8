#include "tools/skin/resource_dll_writer.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace skin_tools {

namespace {

using key = std::variant<std::uint16_t, std::u16string>;

constexpr std::uint32_t section_rva = 0x1000;
constexpr std::uint32_t file_alignment = 0x200;
constexpr std::uint32_t section_alignment = 0x1000;
constexpr std::uint32_t pe_offset = 0x80;

std::uint32_t align(std::uint32_t value, std::uint32_t to) {
    return (value + to - 1) / to * to;
}

class buffer {
public:
    explicit buffer(std::size_t size = 0) : bytes(size, 0) {}
    void u16(std::size_t at, std::uint32_t v) {
        bytes[at] = static_cast<std::uint8_t>(v);
        bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void u32(std::size_t at, std::uint32_t v) {
        u16(at, v & 0xFFFF);
        u16(at + 2, v >> 16);
    }
    std::vector<std::uint8_t> bytes;
};

key upper(key k) {
    if (auto* s = std::get_if<std::u16string>(&k)) {
        for (char16_t& c : *s) {
            if (c >= u'a' && c <= u'z') {
                c = static_cast<char16_t>(c - 32);
            }
        }
    }
    return k;
}

// Named entries first, in order of their names; then ids ascending.
bool entry_less(const key& a, const key& b) {
    if (a.index() != b.index()) {
        return a.index() > b.index();
    }
    return a < b;
}

struct key_order {
    bool operator()(const key& a, const key& b) const {
        return entry_less(a, b);
    }
};

// type -> name -> language -> data
using tree = std::map<key, std::map<key, std::map<std::uint16_t, std::vector<std::uint8_t>>, key_order>, key_order>;

std::vector<std::uint8_t> resource_section(const tree& t) {
    // Layout: every directory (root, types, names), then the data entries, then the name strings, then the data.
    std::size_t directories = 16 + 8 * t.size();
    std::size_t data_entries = 0;
    for (const auto& [type, names] : t) {
        directories += 16 + 8 * names.size();
        for (const auto& [name, languages] : names) {
            directories += 16 + 8 * languages.size();
            data_entries += languages.size();
        }
    }
    std::map<std::u16string, std::uint32_t> string_at;
    std::size_t strings_at = directories + 16 * data_entries;
    std::size_t end = strings_at;
    auto add_string = [&](const key& k) {
        if (auto* s = std::get_if<std::u16string>(&k); s && !string_at.count(*s)) {
            string_at[*s] = static_cast<std::uint32_t>(end);
            end += 2 + 2 * s->size();
        }
    };
    for (const auto& [type, names] : t) {
        add_string(type);
        for (const auto& [name, languages] : names) {
            add_string(name);
        }
    }
    end = align(static_cast<std::uint32_t>(end), 8);
    std::vector<std::size_t> data_at;
    for (const auto& [type, names] : t) {
        for (const auto& [name, languages] : names) {
            for (const auto& [language, data] : languages) {
                data_at.push_back(end);
                end = align(static_cast<std::uint32_t>(end + data.size()), 8);
            }
        }
    }
    buffer b(end);
    for (const auto& [s, at] : string_at) {
        b.u16(at, static_cast<std::uint32_t>(s.size()));
        for (std::size_t i = 0; i < s.size(); ++i) {
            b.u16(at + 2 + 2 * i, s[i]);
        }
    }
    auto name_field = [&](const key& k) -> std::uint32_t {
        if (auto* s = std::get_if<std::u16string>(&k)) {
            return 0x80000000u | string_at[*s];
        }
        return std::get<std::uint16_t>(k);
    };
    auto header = [&](std::size_t at, std::size_t named, std::size_t ids) {
        b.u16(at + 12, static_cast<std::uint32_t>(named));
        b.u16(at + 14, static_cast<std::uint32_t>(ids));
    };
    auto count_named = [](const auto& m) {
        return static_cast<std::size_t>(
            std::count_if(m.begin(), m.end(), [](const auto& e) { return e.first.index() == 1; }));
    };
    std::size_t next_directory = 16 + 8 * t.size();
    std::size_t next_data_entry = directories;
    std::size_t data_index = 0;
    header(0, count_named(t), t.size() - count_named(t));
    std::size_t type_slot = 16;
    for (const auto& [type, names] : t) {
        const std::size_t type_dir = next_directory;
        next_directory += 16 + 8 * names.size();
        b.u32(type_slot, name_field(type));
        b.u32(type_slot + 4, 0x80000000u | static_cast<std::uint32_t>(type_dir));
        type_slot += 8;
        header(type_dir, count_named(names), names.size() - count_named(names));
        std::size_t name_slot = type_dir + 16;
        for (const auto& [name, languages] : names) {
            const std::size_t name_dir = next_directory;
            next_directory += 16 + 8 * languages.size();
            b.u32(name_slot, name_field(name));
            b.u32(name_slot + 4, 0x80000000u | static_cast<std::uint32_t>(name_dir));
            name_slot += 8;
            header(name_dir, 0, languages.size());
            std::size_t language_slot = name_dir + 16;
            for (const auto& [language, data] : languages) {
                b.u32(language_slot, language);
                b.u32(language_slot + 4, static_cast<std::uint32_t>(next_data_entry));
                language_slot += 8;
                const std::size_t at = data_at[data_index++];
                b.u32(next_data_entry, section_rva + static_cast<std::uint32_t>(at));
                b.u32(next_data_entry + 4, static_cast<std::uint32_t>(data.size()));
                next_data_entry += 16;
                std::copy(data.begin(), data.end(), b.bytes.begin() + static_cast<std::ptrdiff_t>(at));
            }
        }
    }
    return b.bytes;
}

} // namespace

std::vector<std::uint8_t> write_resource_dll(std::vector<resource_item> items) {
    tree t;
    for (resource_item& item : items) {
        auto& slot = t[upper(item.type)][upper(item.name)];
        if (!slot.emplace(item.language, std::move(item.data)).second) {
            throw std::invalid_argument("the same resource twice");
        }
    }
    const std::vector<std::uint8_t> rsrc = resource_section(t);
    const auto rsrc_size = static_cast<std::uint32_t>(rsrc.size());
    const std::uint32_t raw_size = align(std::max<std::uint32_t>(rsrc_size, 1), file_alignment);
    buffer b(file_alignment + raw_size);

    b.u16(0, 0x5A4D); // "MZ"
    b.u32(0x3C, pe_offset);
    b.u32(pe_offset, 0x00004550); // "PE\0\0"
    const std::size_t coff = pe_offset + 4;
    b.u16(coff, 0x014C);      // i386
    b.u16(coff + 2, 1);       // one section
    b.u16(coff + 16, 224);    // optional header size
    b.u16(coff + 18, 0x2102); // executable image, 32-bit machine, DLL
    const std::size_t opt = coff + 20;
    b.u16(opt, 0x10B);            // PE32
    b.u32(opt + 8, raw_size);     // initialised data
    b.u32(opt + 24, section_rva); // base of data
    b.u32(opt + 28, 0x10000000);  // image base
    b.u32(opt + 32, section_alignment);
    b.u32(opt + 36, file_alignment);
    b.u16(opt + 40, 4); // operating system version 4.0
    b.u16(opt + 48, 4); // subsystem version 4.0
    b.u32(opt + 56, section_rva + align(std::max<std::uint32_t>(rsrc_size, 1), section_alignment)); // image size
    b.u32(opt + 60, file_alignment);                                                                // headers size
    b.u16(opt + 68, 2);                                                                             // GUI subsystem
    b.u32(opt + 72, 0x100000);                                                                      // stack reserve
    b.u32(opt + 76, 0x1000);                                                                        // stack commit
    b.u32(opt + 80, 0x100000);                                                                      // heap reserve
    b.u32(opt + 84, 0x1000);                                                                        // heap commit
    b.u32(opt + 92, 16);                                                                            // data directories
    b.u32(opt + 96 + 2 * 8, section_rva);
    b.u32(opt + 96 + 2 * 8 + 4, rsrc_size);
    const std::size_t section = opt + 224;
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    std::copy(name, name + 8, b.bytes.begin() + static_cast<std::ptrdiff_t>(section));
    b.u32(section + 8, rsrc_size);
    b.u32(section + 12, section_rva);
    b.u32(section + 16, raw_size);
    b.u32(section + 20, file_alignment);
    b.u32(section + 36, 0x40000040); // initialised data, readable
    std::copy(rsrc.begin(), rsrc.end(), b.bytes.begin() + file_alignment);
    return b.bytes;
}

} // namespace skin_tools
