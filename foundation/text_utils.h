// Text, number and date helpers used everywhere. All screen and record texts are wide strings; narrow strings
// hold UTF-8 only (wire, JSON files) or the device id. Every function returns a new value and keeps no state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zel {

// UTF-8 <-> wide text. Conversion stops at the first NUL; invalid input becomes U+FFFD.
std::string wide_to_utf8(const std::wstring& text);
std::wstring utf8_to_wide(const std::string& text);
// UTF-16 code units (files kept in UTF-16LE, lengths counted in code units); invalid input becomes U+FFFD.
std::u16string wide_to_utf16(const std::wstring& text);
std::wstring utf16_to_wide(const std::u16string& text);
// Each byte becomes one character (files the design reads one byte per character).
std::wstring bytes_to_wide(const std::string& bytes);

// Must run once at start so that towlower maps Cyrillic.
void init_text_locale();

std::wstring int64_to_wstring(int64_t value);
std::wstring int_to_wstring(int32_t value);
std::wstring itow_wstring(int32_t value);
std::wstring float2_to_wstring(float value);
std::wstring float1_to_wstring(float value);
std::wstring float_to_wstring(float value);

std::wstring to_lower_w(const std::wstring& text);

// Splits at every one-character separator; a separator in the last position adds no piece.
std::vector<std::wstring> split_wstring(const std::wstring& text, const std::wstring& separator);

// Base64 of the low byte of each character.
std::wstring base64_encode_w(const std::wstring& text);

// Digits of a telephone text, "+" written as "%2b", everything else dropped.
std::wstring phone_for_url(const std::wstring& phone);

// Rounds up to a whole multiple of step; a value within 0.01 of a step above a multiple stays on it.
float round_up_to_step(float value, float step);

// "01 марта": day of the month and the Russian month name in the genitive, UTC.
std::wstring date_text_ru(int64_t unix_seconds);
// Hour (0-23) and minute (0-59) of an instant, UTC.
int unix_time_hour(int64_t unix_seconds);
int unix_time_minute(int64_t unix_seconds);

struct colon_parts {
    std::wstring first;
    std::wstring second;
    std::wstring third;
    std::wstring fourth; // never filled
};

// "host:port:name": the second and third parts are filled only when a second colon exists.
colon_parts split_colon3(const std::wstring& text);

} // namespace zel
