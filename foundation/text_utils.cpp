#include "foundation/text_utils.h"

#include <utf8.h>

#include <chrono>
#include <clocale>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <iterator>

namespace zel {
namespace {

constexpr char32_t replacement_char = 0xFFFD;

bool valid_code_point(char32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

template <typename... Args>
std::wstring format_number(const wchar_t* format, Args... args) {
    wchar_t buffer[100] = {};
    std::swprintf(buffer, 100, format, args...);
    return buffer;
}

const std::wstring& base64_alphabet() {
    static const std::wstring alphabet = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    return alphabet;
}

std::chrono::sys_days to_days(int64_t unix_seconds) {
    return std::chrono::floor<std::chrono::days>(std::chrono::sys_seconds{std::chrono::seconds{unix_seconds}});
}

} // namespace

std::string wide_to_utf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        if (wc == 0) {
            break;
        }
        auto c = static_cast<char32_t>(wc);
        utf8::unchecked::append(valid_code_point(c) ? c : replacement_char, std::back_inserter(out));
    }
    return out;
}

std::wstring utf8_to_wide(const std::string& text) {
    const std::string prefix = text.substr(0, text.find('\0'));
    std::string valid;
    valid.reserve(prefix.size());
    utf8::replace_invalid(prefix.begin(), prefix.end(), std::back_inserter(valid), replacement_char);
    std::wstring out;
    out.reserve(valid.size());
    for (auto it = valid.begin(); it != valid.end();) {
        out.push_back(static_cast<wchar_t>(utf8::unchecked::next(it)));
    }
    return out;
}

std::u16string wide_to_utf16(const std::wstring& text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<char32_t>(wc);
        if (!valid_code_point(c)) {
            c = replacement_char;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::wstring utf16_to_wide(const std::u16string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            out.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00)));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            out.push_back(static_cast<wchar_t>(replacement_char));
        } else {
            out.push_back(static_cast<wchar_t>(unit));
        }
    }
    return out;
}

std::wstring bytes_to_wide(const std::string& bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return out;
}

void init_text_locale() {
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

std::wstring int64_to_wstring(int64_t value) {
    return format_number(L"%lld", static_cast<long long>(value));
}

std::wstring int_to_wstring(int32_t value) {
    return format_number(L"%d", value);
}

std::wstring itow_wstring(int32_t value) {
    return int_to_wstring(value);
}

std::wstring float2_to_wstring(float value) {
    return format_number(L"%.2f", static_cast<double>(value));
}

std::wstring float1_to_wstring(float value) {
    return format_number(L"%.1f", static_cast<double>(value));
}

std::wstring float_to_wstring(float value) {
    return format_number(L"%f", static_cast<double>(value));
}

std::wstring to_lower_w(const std::wstring& text) {
    std::wstring out = text.substr(0, text.find(L'\0'));
    for (auto& c : out) {
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
    return out;
}

std::vector<std::wstring> split_wstring(const std::wstring& text, const std::wstring& separator) {
    const wchar_t sep = separator.empty() ? L'\0' : separator[0];
    size_t count = 1;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == sep) {
            ++count;
        }
    }
    std::vector<std::wstring> pieces;
    pieces.reserve(count);
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t end = text.find(sep, start);
        if (end == std::wstring::npos) {
            pieces.push_back(text.substr(std::min(start, text.size())));
            start = text.size();
        } else {
            pieces.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
    return pieces;
}

std::wstring base64_encode_w(const std::wstring& text) {
    const std::wstring& alphabet = base64_alphabet();
    std::wstring out;
    const std::wstring input = text.substr(0, text.find(L'\0'));
    for (size_t i = 0; i < input.size(); i += 3) {
        const size_t n = std::min<size_t>(3, input.size() - i);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k) {
            group <<= 8;
            if (k < n) {
                group |= static_cast<uint32_t>(input[i + k]) & 0xFF;
            }
        }
        for (size_t k = 0; k < 4; ++k) {
            out.push_back(k <= n ? alphabet[(group >> (18 - 6 * k)) & 0x3F] : L'=');
        }
    }
    return out;
}

std::wstring phone_for_url(const std::wstring& phone) {
    std::wstring out;
    for (wchar_t c : phone) {
        if (c >= L'0' && c <= L'9') {
            out.push_back(c);
        } else if (c == L'+') {
            out += L"%2b";
        }
    }
    return out;
}

float round_up_to_step(float value, float step) {
    if (step == 0.0f) {
        return value;
    }
    const float q = value / step;
    const float n = std::trunc(q);
    return q > n + 0.01f ? (n + 1.0f) * step : n * step;
}

std::wstring date_text_ru(int64_t unix_seconds) {
    static const wchar_t* const months[] = {L"января", L"февраля", L"марта",    L"апреля",  L"мая",    L"июня",
                                            L"июля",   L"августа", L"сентября", L"октября", L"ноября", L"декабря"};
    const std::chrono::year_month_day date{to_days(unix_seconds)};
    const unsigned day = static_cast<unsigned>(date.day());
    const unsigned month = static_cast<unsigned>(date.month());
    std::wstring text = (day <= 9 ? L"0" : L"") + std::to_wstring(day) + L" ";
    if (month >= 1 && month <= 12) {
        text += months[month - 1];
    }
    return text;
}

int unix_time_hour(int64_t unix_seconds) {
    const int64_t in_day = unix_seconds - to_days(unix_seconds).time_since_epoch().count() * 86400LL;
    return static_cast<int>(in_day / 3600);
}

int unix_time_minute(int64_t unix_seconds) {
    const int64_t in_day = unix_seconds - to_days(unix_seconds).time_since_epoch().count() * 86400LL;
    return static_cast<int>(in_day % 3600 / 60);
}

colon_parts split_colon3(const std::wstring& text) {
    colon_parts parts;
    const size_t p1 = text.find(L':');
    if (p1 == std::wstring::npos) {
        return parts;
    }
    parts.first = text.substr(0, p1);
    const size_t p2 = text.find(L':', p1 + 1);
    if (p2 != std::wstring::npos) {
        parts.second = text.substr(p1 + 1, p2 - p1 - 1);
        parts.third = text.substr(p2 + 1);
    }
    return parts;
}

} // namespace zel
