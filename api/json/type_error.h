// The error of a JSON value read as a kind it does not hold. The text is UTF-8.
#pragma once

#include <stdexcept>
#include <string>

namespace zel_api::json {

class type_error : public std::runtime_error {
public:
    explicit type_error(const std::string& text) : std::runtime_error(text) {}
};

} // namespace zel_api::json
