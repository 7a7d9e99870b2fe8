// Sends one SMS through the installed system services; without an SMS backend (Linux) it returns false.
#pragma once

#include <string>

namespace zel {

// The longest message text handed on; longer texts are cut (the SMS service's buffer holds 1024 characters
// with the terminator).
constexpr size_t sms_max_text = 1023;

// True when the message was handed to the SMS service. unicode selects UCS-2 over the GSM alphabet.
bool sms_send(const std::wstring& address, const std::wstring& text, bool unicode);

} // namespace zel
