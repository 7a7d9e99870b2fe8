#include "form/account/version_number.h"

#include <cwctype>
#include <limits>

#include "foundation/text_utils.h"

namespace zel::form {

namespace {

int32_t leading_number(const std::wstring& part) {
    size_t at = 0;
    while (at < part.size() && std::iswspace(static_cast<wint_t>(part[at]))) {
        ++at;
    }
    bool negative = false;
    if (at < part.size() && (part[at] == L'+' || part[at] == L'-')) {
        negative = part[at] == L'-';
        ++at;
    }
    // Kept within 32 bits: "99999999999" must not wrap round into a small or negative number.
    const int64_t limit =
        negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min()) : std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (; at < part.size() && part[at] >= L'0' && part[at] <= L'9'; ++at) {
        value = value * 10 + (part[at] - L'0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

} // namespace

version_number::version_number(const std::wstring& version_text) : text(version_text) {
    const std::vector<std::wstring> parts = split_wstring(version_text, L".");
    if (parts.size() != numbers.size()) {
        return;
    }
    for (size_t i = 0; i < numbers.size(); ++i) {
        numbers[i] = leading_number(parts[i]);
    }
    parsed = true;
}

int compare_versions(const version_number& a, const version_number& b) {
    for (size_t i = 0; i < a.numbers.size(); ++i) {
        if (a.numbers[i] < b.numbers[i]) {
            return 1;
        }
        if (a.numbers[i] > b.numbers[i]) {
            return -1;
        }
    }
    return 0;
}

bool is_newer_version(const version_number& program, const version_number& offered) {
    return offered.parsed && compare_versions(program, offered) == 1;
}

} // namespace zel::form
