// Calls a telephone number (the client of an order) through the installed system services. Without a phone
// backend (Linux) is_loaded is false and call returns false without calling anything.
#pragma once

#include <string>

namespace zel {

class phone_call {
public:
    // Looks the phone service up once; whether it exists is kept for the object's life.
    phone_call();

    bool is_loaded() const {
        return loaded_;
    }
    // True when the phone accepted the call.
    bool call(const std::wstring& number);

private:
    bool loaded_ = false;
};

} // namespace zel
