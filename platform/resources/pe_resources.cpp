#include "platform/resources/pe_resources.h"

#include <algorithm>

namespace platform {

namespace {

// Limits that no real resource library reaches; a file beyond them is refused rather than parsed slowly.
constexpr std::size_t max_sections = 96;
constexpr std::size_t max_resources = 65536;
// Directories may point into one another, so entries visited can grow as the product of the levels' sizes;
// every entry visited counts against this, which stays well above three entries per resource.
constexpr std::size_t max_directory_entries = 4 * max_resources;

class reader {
public:
    reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const {
        return size_;
    }
    bool has(std::size_t offset, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    std::uint16_t u16(std::size_t offset) const {
        return static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
    }
    std::uint32_t u32(std::size_t offset) const {
        return static_cast<std::uint32_t>(data_[offset]) | static_cast<std::uint32_t>(data_[offset + 1]) << 8 |
               static_cast<std::uint32_t>(data_[offset + 2]) << 16 |
               static_cast<std::uint32_t>(data_[offset + 3]) << 24;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

struct section {
    std::uint32_t address;
    std::uint32_t raw_size;
    std::uint32_t raw_offset;
};

char16_t upper(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - 32);
    }
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x430 && c <= 0x44F)) {
        return static_cast<char16_t>(c - 32); // Latin-1 and basic Cyrillic letters
    }
    if (c >= 0x450 && c <= 0x45F) {
        return static_cast<char16_t>(c - 80);
    }
    return c;
}

class parser {
public:
    parser(const std::uint8_t* data, std::size_t size, std::string& error) : r_(data, size), error_(error) {}

    std::optional<std::vector<pe_resource>> run();

private:
    bool fail(const std::string& reason) {
        error_ = reason;
        return false;
    }
    std::optional<std::size_t> file_offset(std::uint32_t rva, std::uint32_t length) const;
    bool directory(std::size_t offset, int level, pe_resource& current, std::vector<pe_resource>& out);
    bool key_of(std::uint32_t name_field, resource_key& key);

    reader r_;
    std::string& error_;
    std::vector<section> sections_;
    std::size_t base_ = 0;      // file offset of the resource directory
    std::size_t rsrc_size_ = 0; // bytes from there that belong to it
    std::size_t entries_visited_ = 0;
};

std::optional<std::size_t> parser::file_offset(std::uint32_t rva, std::uint32_t length) const {
    for (const section& s : sections_) {
        if (rva >= s.address && rva - s.address <= s.raw_size && length <= s.raw_size - (rva - s.address)) {
            const std::size_t offset = static_cast<std::size_t>(s.raw_offset) + (rva - s.address);
            if (r_.has(offset, length)) {
                return offset;
            }
        }
    }
    return std::nullopt;
}

bool parser::key_of(std::uint32_t field, resource_key& key) {
    if (!(field & 0x80000000u)) {
        key = static_cast<std::uint16_t>(field);
        return (field >> 16) == 0 || fail("resource id above 65535");
    }
    const std::size_t at = field & 0x7FFFFFFFu;
    if (at > rsrc_size_ || rsrc_size_ - at < 2) {
        return fail("resource name outside the directory");
    }
    const std::size_t length = r_.u16(base_ + at);
    if ((rsrc_size_ - at - 2) / 2 < length) {
        return fail("resource name runs past the directory");
    }
    std::u16string name;
    for (std::size_t i = 0; i < length; ++i) {
        name += upper(static_cast<char16_t>(r_.u16(base_ + at + 2 + 2 * i)));
    }
    key = std::move(name);
    return true;
}

bool parser::directory(std::size_t offset, int level, pe_resource& current, std::vector<pe_resource>& out) {
    if (offset > rsrc_size_ || rsrc_size_ - offset < 16) {
        return fail("resource directory outside the section");
    }
    const std::size_t count = static_cast<std::size_t>(r_.u16(base_ + offset + 12)) + r_.u16(base_ + offset + 14);
    if ((rsrc_size_ - offset - 16) / 8 < count) {
        return fail("resource directory entries run past the section");
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (++entries_visited_ > max_directory_entries) {
            return fail("too many resource directory entries");
        }
        const std::size_t entry = base_ + offset + 16 + 8 * i;
        const std::uint32_t name = r_.u32(entry);
        const std::uint32_t target = r_.u32(entry + 4);
        const bool subdirectory = (target & 0x80000000u) != 0;
        if (level == 0 && !key_of(name, current.type)) {
            return false;
        }
        if (level == 1 && !key_of(name, current.name)) {
            return false;
        }
        if (level < 2) {
            if (!subdirectory) {
                return fail("resource directory level without a subdirectory");
            }
            if (!directory(target & 0x7FFFFFFFu, level + 1, current, out)) {
                return false;
            }
            continue;
        }
        // Language level: each entry points at a data entry.
        if (subdirectory || (name >> 16) != 0) {
            return fail("resource language entry is not a data entry");
        }
        if (target > rsrc_size_ || rsrc_size_ - target < 16) {
            return fail("resource data entry outside the section");
        }
        const std::uint32_t rva = r_.u32(base_ + target);
        const std::uint32_t size = r_.u32(base_ + target + 4);
        const auto where = file_offset(rva, size);
        if (!where) {
            return fail("resource data outside the file");
        }
        if (out.size() >= max_resources) {
            return fail("too many resources");
        }
        current.language = static_cast<std::uint16_t>(name);
        current.offset = *where;
        current.size = size;
        out.push_back(current);
    }
    return true;
}

std::optional<std::vector<pe_resource>> parser::run() {
    if (!r_.has(0, 64) || r_.u16(0) != 0x5A4D) {
        fail("no MZ header");
        return std::nullopt;
    }
    const std::size_t pe = r_.u32(0x3C);
    if (!r_.has(pe, 24) || r_.u32(pe) != 0x00004550) {
        fail("no PE header");
        return std::nullopt;
    }
    const std::size_t section_count = r_.u16(pe + 6);
    const std::size_t optional_size = r_.u16(pe + 20);
    const std::size_t opt = pe + 24;
    if (!r_.has(opt, optional_size) || optional_size < 2 || section_count > max_sections) {
        fail("bad optional header");
        return std::nullopt;
    }
    const std::uint16_t magic = r_.u16(opt);
    const std::size_t directories = magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0;
    if (directories == 0 || optional_size < directories) {
        fail("unknown optional header");
        return std::nullopt;
    }
    const std::uint32_t directory_count = r_.u32(opt + directories - 4);
    const std::size_t sections_at = opt + optional_size;
    if (!r_.has(sections_at, section_count * 40)) {
        fail("section table outside the file");
        return std::nullopt;
    }
    for (std::size_t i = 0; i < section_count; ++i) {
        const std::size_t s = sections_at + 40 * i;
        sections_.push_back({r_.u32(s + 12), r_.u32(s + 16), r_.u32(s + 20)});
    }
    std::vector<pe_resource> out;
    if (directory_count < 3 || optional_size < directories + 24) {
        return out; // no resource directory at all
    }
    const std::uint32_t rva = r_.u32(opt + directories + 16);
    const std::uint32_t size = r_.u32(opt + directories + 20);
    if (rva == 0 || size == 0) {
        return out;
    }
    // The directory's size field is often loose: the section's raw bytes bound it.
    const auto start = file_offset(rva, 16);
    if (!start) {
        fail("resource directory outside the file");
        return std::nullopt;
    }
    base_ = *start;
    for (const section& s : sections_) {
        if (rva >= s.address && rva - s.address < s.raw_size) {
            rsrc_size_ = std::max<std::size_t>(rsrc_size_, s.raw_size - (rva - s.address));
        }
    }
    rsrc_size_ = std::min(rsrc_size_, r_.size() - base_);
    pe_resource current;
    if (!directory(0, 0, current, out)) {
        return std::nullopt;
    }
    return out;
}

} // namespace

std::optional<pe_resources> pe_resources::parse(const std::uint8_t* data, std::size_t size, std::string& error) {
    parser p(data, size, error);
    auto found = p.run();
    if (!found) {
        return std::nullopt;
    }
    pe_resources result;
    result.resources_ = std::move(*found);
    return result;
}

const pe_resource* pe_resources::find(const resource_key& type, const resource_key& name) const {
    for (const pe_resource& r : resources_) {
        if (r.type == type && r.name == name) {
            return &r;
        }
    }
    return nullptr;
}

resource_key pe_resources::key_of_text(const std::u16string& text) {
    if (text.size() > 1 && text[0] == u'#') {
        unsigned value = 0;
        for (std::size_t i = 1; i < text.size(); ++i) {
            if (text[i] < u'0' || text[i] > u'9' || value > 6553) {
                return text; // not a number: matched as a name
            }
            value = value * 10 + (text[i] - u'0');
        }
        if (value <= 0xFFFF) {
            return static_cast<std::uint16_t>(value);
        }
    }
    std::u16string up;
    for (char16_t c : text) {
        up += upper(c);
    }
    return up;
}

} // namespace platform
