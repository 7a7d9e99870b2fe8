// Exception: the drawing layer's error, thrown by value when an Image holds a format that no decoder makes.
// It owns a copy of its message; handlers catch it with everything else and do not read it.
#pragma once

#include <exception>
#include <string>

namespace zel::form {

class Exception : public std::exception {
public:
    explicit Exception(const wchar_t* message);

    const std::wstring& message() const {
        return message_;
    }
    // The message in UTF-8.
    const char* what() const noexcept override {
        return utf8_.c_str();
    }

private:
    std::wstring message_;
    std::string utf8_;
};

} // namespace zel::form
