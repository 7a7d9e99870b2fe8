// Optional services of the device that Linux does not have: the shell's window handling, the connection
// manager, SMS, phone calls and the telephony serial number. The program reaches them through one installed
// backend; the default backend behaves as a device without those libraries (every call a quiet no-op that
// returns 0, false or an empty text). A real backend (the SDL window's full-screen state, a modem) derives
// from system_services and is installed with system_services::install.
//
// Handles are passed as untyped pointers and message parameters as pointer-sized integers so that this
// header stays independent of the window layer's declarations.
#pragma once

#include <cstdint>
#include <string>

// The shell's full-screen flags.
constexpr uint32_t SHFS_SHOWTASKBAR = 0x0001;
constexpr uint32_t SHFS_HIDETASKBAR = 0x0002;
constexpr uint32_t SHFS_SHOWSIPBUTTON = 0x0004;
constexpr uint32_t SHFS_HIDESIPBUTTON = 0x0008;
constexpr uint32_t SHFS_SHOWSTARTICON = 0x0010;
constexpr uint32_t SHFS_HIDESTARTICON = 0x0020;

class system_services {
public:
    virtual ~system_services() = default;

    // Shell: SHInitExtraControls, SHFullScreen, SHHandleWMActivate and SHHandleWMSettingChange.
    virtual int shell_init_extra_controls();
    virtual int shell_full_screen(void* window, uint32_t flags);
    virtual int shell_handle_wm_activate(void* window, uintptr_t wparam, intptr_t lparam, void* activate_info,
                                         uint32_t flags);
    virtual int shell_handle_wm_setting_change(void* window, uintptr_t wparam, intptr_t lparam, void* activate_info);

    // Connection manager: brings up a data connection towards url, waiting at most timeout_ms. True when a
    // connection is up.
    virtual bool establish_connection(const std::wstring& url, uint32_t timeout_ms);

    // SMS: true when the message was handed to the SMS service.
    virtual bool send_sms(const std::wstring& address, const std::wstring& text, bool unicode);

    // Phone: whether calls can be made at all, and one call (true when the phone accepted it).
    virtual bool phone_available();
    virtual bool make_phone_call(const std::wstring& number);

    // The telephony serial number (the phone's IMEI), empty when there is none.
    virtual std::wstring telephony_serial_number();

    // The installed backend (the default one until install). Safe to call from any thread.
    static system_services& current();
    // Installs a backend for the whole process; null restores the default. The backend must outlive its use.
    static void install(system_services* backend);
};
