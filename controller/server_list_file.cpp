#include "controller/server_list_file.h"

#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace zel::controller_ {
namespace {

const wchar_t cache_folder[] = L"\\cache";
const wchar_t servers_file[] = L"\\cache\\servers";

} // namespace

std::string server_list_file::encode(const std::wstring& text) {
    const std::u16string units = wide_to_utf16(text);
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::wstring server_list_file::decode(const std::string& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] =
            static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    }
    return utf16_to_wide(units);
}

bool server_list_file::save(const std::vector<std::shared_ptr<const zel_api::command::obj_device_server>>& servers) {
    std::wstring text;
    for (const auto& server : servers) {
        if (server) {
            text += server->to_json();
        }
    }
    std::error_code error;
    std::filesystem::create_directories(app_file(cache_folder), error);
    if (!write_file_atomic(app_file(servers_file), encode(text))) {
        zel::log(logger::error, L"controller::save_servers: can't write " + app_file(servers_file).wstring());
        return false;
    }
    return true;
}

std::wstring server_list_file::load() {
    const std::filesystem::path file = app_file(servers_file);
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error) {
        return {};
    }
    if (size > max_bytes) {
        zel::log(logger::error, L"controller::load_cached_servers: the file is too large, ignored: " + file.wstring());
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        zel::log(logger::error, L"controller::load_cached_servers: can't read " + file.wstring());
        return {};
    }
    return decode(bytes);
}

} // namespace zel::controller_
