// Loaded modules: resource DLLs read whole into memory, found again by path, counted by loads. Files are read
// and parsed without the table's lock, so a slow or damaged library never holds up lookups in loaded ones; a
// library that failed is remembered with its size and time and not read again until the file changes.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>

#include "platform/platform_log.h"
#include "platform/resources.h"
#include "platform/resources/pe_resources.h"

namespace {

struct module_object {
    std::string path;
    std::vector<std::uint8_t> bytes;
    platform::pe_resources resources;
    int loads = 0;
};

// What a failed file looked like: a changed file (an update replaced it) is tried again.
struct file_stamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written;
    bool operator==(const file_stamp&) const = default;
};

struct module_table {
    std::mutex mutex;
    std::map<std::string, std::unique_ptr<module_object>> by_path;
    std::map<std::string, file_stamp> failed;
    module_object own; // the program itself: no resources
};

module_table& table() {
    static module_table* t = new module_table; // resources stay valid until the process ends
    return *t;
}

// Larger files are not resource libraries of ours; refusing them bounds the memory a bad path can take.
constexpr std::size_t max_module_bytes = 64 * 1024 * 1024;

module_object* live(module_table& t, HMODULE handle) {
    auto* m = reinterpret_cast<module_object*>(handle);
    if (m == &t.own) {
        return m;
    }
    for (auto& [path, module] : t.by_path) {
        if (module.get() == m) {
            return m;
        }
    }
    return nullptr;
}

const platform::pe_resource* resource_of(module_object* m, HRSRC handle) {
    auto* r = reinterpret_cast<const platform::pe_resource*>(handle);
    const auto& all = m->resources.all();
    if (all.empty() || r < all.data() || r >= all.data() + all.size()) {
        return nullptr;
    }
    return r;
}

platform::resource_key key_of(LPCWSTR text) {
    if (IS_INTRESOURCE(text)) {
        return static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(text));
    }
    std::u16string name;
    for (const wchar_t* p = text; *p; ++p) {
        name += *p <= 0xFFFF ? static_cast<char16_t>(*p) : u'\uFFFD';
    }
    return platform::pe_resources::key_of_text(name);
}

} // namespace

namespace {

HMODULE take_loaded(module_table& t, const std::string& file) {
    if (auto it = t.by_path.find(file); it != t.by_path.end()) {
        ++it->second->loads;
        return reinterpret_cast<HMODULE>(it->second.get());
    }
    return nullptr;
}

// Reads and parses one file; null (with a log line) when it is not a resource library of ours.
std::unique_ptr<module_object> read_module(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        platform::log_line("cannot read " + file);
        return nullptr;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length <= 0 || static_cast<std::uint64_t>(length) > max_module_bytes) {
        platform::log_line("not a resource library: " + file);
        return nullptr;
    }
    auto m = std::make_unique<module_object>();
    m->path = file;
    m->bytes.resize(static_cast<std::size_t>(length));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(m->bytes.data()), length)) {
        platform::log_line("cannot read " + file);
        return nullptr;
    }
    std::string error;
    auto parsed = platform::pe_resources::parse(m->bytes.data(), m->bytes.size(), error);
    if (!parsed) {
        platform::log_line("damaged resource library " + file + ": " + error);
        return nullptr;
    }
    m->resources = std::move(*parsed);
    return m;
}

} // namespace

HMODULE LoadLibraryW(LPCWSTR path) {
    if (!path || !*path) {
        return nullptr;
    }
    std::string file = platform::utf8_of(path);
    std::replace(file.begin(), file.end(), '\\', '/');
    module_table& t = table();
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        if (HMODULE loaded = take_loaded(t, file)) {
            return loaded;
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return nullptr; // a library this system does not have, as on a device without it
    }
    file_stamp stamp;
    stamp.size = std::filesystem::file_size(file, ec);
    stamp.written = std::filesystem::last_write_time(file, ec);
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        // Without this every picture asked of a damaged library would parse the whole file again.
        if (auto it = t.failed.find(file); it != t.failed.end() && it->second == stamp) {
            return nullptr;
        }
    }
    std::unique_ptr<module_object> m = read_module(file);
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!m) {
        t.failed[file] = stamp;
        return nullptr;
    }
    t.failed.erase(file);
    if (HMODULE loaded = take_loaded(t, file)) {
        return loaded; // another thread loaded it meanwhile: its copy is the one handed out
    }
    m->loads = 1;
    auto* raw = m.get();
    t.by_path[file] = std::move(m);
    return reinterpret_cast<HMODULE>(raw);
}

BOOL FreeLibrary(HMODULE handle) {
    module_table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    module_object* m = live(t, handle);
    if (!m || m == &t.own) {
        return m ? TRUE : FALSE;
    }
    if (--m->loads == 0) {
        t.by_path.erase(m->path);
    }
    return TRUE;
}

HMODULE GetModuleHandleW(LPCWSTR name) {
    if (name) {
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(&table().own);
}

void* GetProcAddressW(HMODULE, LPCWSTR) {
    return nullptr;
}

HRSRC FindResourceW(HMODULE handle, LPCWSTR name, LPCWSTR type) {
    if (!name || !type) {
        return nullptr;
    }
    module_table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    module_object* m = live(t, handle);
    if (!m) {
        return nullptr;
    }
    const platform::pe_resource* r = m->resources.find(key_of(type), key_of(name));
    return reinterpret_cast<HRSRC>(const_cast<platform::pe_resource*>(r));
}

DWORD SizeofResource(HMODULE handle, HRSRC resource) {
    module_table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    module_object* m = live(t, handle);
    const platform::pe_resource* r = m ? resource_of(m, resource) : nullptr;
    return r ? static_cast<DWORD>(r->size) : 0;
}

HGLOBAL LoadResource(HMODULE handle, HRSRC resource) {
    module_table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    module_object* m = live(t, handle);
    const platform::pe_resource* r = m ? resource_of(m, resource) : nullptr;
    if (!r) {
        return nullptr;
    }
    // An empty resource still gets a non-null pointer, as callers test the pointer for success.
    return m->bytes.data() + r->offset;
}

void* LockResource(HGLOBAL data) {
    return data;
}
