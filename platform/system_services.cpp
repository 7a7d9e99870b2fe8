#include "platform/system_services.h"

#include <atomic>

namespace {

system_services absent_services;
std::atomic<system_services*> installed{&absent_services};

} // namespace

int system_services::shell_init_extra_controls() {
    return 0;
}

int system_services::shell_full_screen(void*, uint32_t) {
    return 0;
}

int system_services::shell_handle_wm_activate(void*, uintptr_t, intptr_t, void*, uint32_t) {
    return 0;
}

int system_services::shell_handle_wm_setting_change(void*, uintptr_t, intptr_t, void*) {
    return 0;
}

bool system_services::establish_connection(const std::wstring&, uint32_t) {
    return false;
}

bool system_services::send_sms(const std::wstring&, const std::wstring&, bool) {
    return false;
}

bool system_services::phone_available() {
    return false;
}

bool system_services::make_phone_call(const std::wstring&) {
    return false;
}

std::wstring system_services::telephony_serial_number() {
    return L"";
}

system_services& system_services::current() {
    return *installed.load(std::memory_order_acquire);
}

void system_services::install(system_services* backend) {
    installed.store(backend ? backend : &absent_services, std::memory_order_release);
}
