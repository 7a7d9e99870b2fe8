#include "foundation/device_info.h"

#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "platform/system_services.h"

#include <openssl/evp.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>

namespace zel {
namespace {

std::atomic<device_info*> the_record{nullptr};

std::mutex machine_id_files_lock;
std::vector<std::filesystem::path> machine_id_files_override;

std::vector<std::filesystem::path> machine_id_files() {
    std::lock_guard guard(machine_id_files_lock);
    if (!machine_id_files_override.empty()) {
        return machine_id_files_override;
    }
    return {"/etc/machine-id", "/var/lib/dbus/machine-id"};
}

// A machine id is 32 hexadecimal characters; an empty file or "uninitialized" (a first boot) is none.
std::string read_machine_id(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string word;
    if (!(in >> word) || word.size() != 32 ||
        !std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isxdigit(c) != 0; })) {
        return "";
    }
    return word;
}

} // namespace

std::string device_unique_id() {
    static const char application_data[] = "%&!Brunol!&%";
    std::string machine_id;
    for (const auto& file : machine_id_files()) {
        machine_id = read_machine_id(file);
        if (!machine_id.empty()) {
            break;
        }
    }
    if (machine_id.empty()) {
        log(logger::warning, L"device_unique_id: no machine id, the device id stays empty");
        return "";
    }
    const std::string input = machine_id + std::string(application_data, sizeof application_data - 1);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(input.data(), input.size(), digest, &length, EVP_sha1(), nullptr) != 1 || length != 20) {
        log(logger::error, L"device_unique_id: SHA-1 failed");
        return "";
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text.push_back(digits[digest[i] >> 4]);
        text.push_back(digits[digest[i] & 0x0F]);
    }
    return text;
}

std::wstring tapi_serial_number(void*) {
    return system_services::current().telephony_serial_number();
}

void device_info::set_machine_id_files(std::vector<std::filesystem::path> files) {
    std::lock_guard guard(machine_id_files_lock);
    machine_id_files_override = std::move(files);
}

void device_info::create(void* instance_handle) {
    static std::once_flag once;
    std::call_once(once, [instance_handle] { the_record.store(new device_info(instance_handle)); });
}

device_info* device_info::instance() {
    return the_record.load();
}

device_info::device_info(void* instance_handle) : instance_handle_(instance_handle) {
    load();
}

void device_info::load() {
    device_id_ = utf8_to_wide(device_unique_id());
    serial_ = tapi_serial_number(instance_handle_);
    if (serial_.empty()) {
        serial_ = read_first_word(app_file(L"\\profile.info"));
    }
    std::lock_guard guard(main_id_lock_);
    main_id_ = read_first_word(app_file(L"\\main.id"));
}

std::wstring device_info::main_id() const {
    std::lock_guard guard(main_id_lock_);
    return main_id_;
}

void device_info::save_main_id(const std::wstring& id) {
    std::lock_guard guard(main_id_lock_);
    main_id_ = id;
    // The file holds one byte per character, as it is read back.
    std::string bytes;
    for (wchar_t c : id) {
        if (static_cast<uint32_t>(c) > 0xFF) {
            log(logger::error, L"device_info::save_main_id: \"main.id\" not written, the id is not one byte a "
                               L"character: " +
                                   id);
            return;
        }
        bytes.push_back(static_cast<char>(c));
    }
    if (!write_file_atomic(app_file(L"\\main.id"), bytes)) {
        log(logger::error, L"device_info::save_main_id: can't write \"main.id\"");
    }
}

} // namespace zel
