// The process-wide identity of this device: the phone's serial number, the main id that the server assigned,
// the device id and the program's instance handle. The main window creates it before anything sends a request;
// it is never destroyed.
//
// The main id is kept in "main.id" so that it survives restarts. It is read and replaced under the record's
// lock (the packet thread sets it while request threads and screens read it); the other fields are set once
// when the record is loaded and never change.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace zel {

class device_info {
public:
    // Creates the process-wide record once (empty texts, the handle, then load); later calls do nothing.
    static void create(void* instance_handle);
    // The process-wide record, or null before create.
    static device_info* instance();

    // A record loaded from the program folder; the program itself uses only create and instance.
    explicit device_info(void* instance_handle);
    device_info(const device_info&) = delete;
    device_info& operator=(const device_info&) = delete;

    const std::wstring& serial() const {
        return serial_;
    }
    const std::wstring& device_id() const {
        return device_id_;
    }
    void* instance_handle() const {
        return instance_handle_;
    }
    std::wstring main_id() const;
    // Stores the new main id and writes it to "main.id" (through a temporary file and a rename, so the old id
    // survives a failed write). A write failure is logged; the record keeps the new id.
    void save_main_id(const std::wstring& id);

    // The files searched in order for the machine's own identifier (by default /etc/machine-id, then
    // /var/lib/dbus/machine-id); tests point them elsewhere. An empty list restores the default.
    static void set_machine_id_files(std::vector<std::filesystem::path> files);

private:
    void load();

    std::wstring serial_;
    std::wstring main_id_;
    std::wstring device_id_;
    void* instance_handle_ = nullptr;
    mutable std::mutex main_id_lock_;
};

// The device id: SHA-1 of the machine's identifier followed by the program's 12 bytes of application data, as
// 40 upper-case hexadecimal characters; empty when no machine identifier can be read.
std::string device_unique_id();

// The phone's serial number from the telephony service, empty when there is none.
std::wstring tapi_serial_number(void* instance_handle);

} // namespace zel
