#include "foundation/text_utils.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(text_utils, utf8_round_trip_and_invalid_input) {
    EXPECT_EQ(wide_to_utf8(L"Привет, мир"), "Привет, мир");
    EXPECT_EQ(utf8_to_wide("Привет, мир"), L"Привет, мир");
    EXPECT_EQ(utf8_to_wide("a\xff" "b"), L"a\xFFFD" L"b");
    EXPECT_EQ(utf8_to_wide("\xd0"), L"\xFFFD");   // cut-short sequence
    EXPECT_EQ(wide_to_utf8(std::wstring(L"ab\0cd", 5)), "ab");
    EXPECT_EQ(utf8_to_wide(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(wide_to_utf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(utf8_to_wide("\xF0\x9F\x98\x80"), std::wstring(1, static_cast<wchar_t>(0x1F600)));
}

TEST(text_utils, utf16_round_trip) {
    const std::wstring text = L"Заказ \U0001F600 №5";
    const std::u16string units = wide_to_utf16(text);
    EXPECT_EQ(units.size(), text.size() + 1); // one surrogate pair
    EXPECT_EQ(utf16_to_wide(units), text);
    EXPECT_EQ(utf16_to_wide(std::u16string(1, u'\xDC00')), L"\xFFFD");
}

TEST(text_utils, number_texts) {
    EXPECT_EQ(int_to_wstring(-5), L"-5");
    EXPECT_EQ(int_to_wstring(INT32_MIN), L"-2147483648");
    EXPECT_EQ(itow_wstring(120), L"120");
    EXPECT_EQ(int64_to_wstring(1LL << 40), L"1099511627776");
    EXPECT_EQ(int64_to_wstring(INT64_MIN), L"-9223372036854775808");
    EXPECT_EQ(float2_to_wstring(12.345f), L"12.35");
    EXPECT_EQ(float1_to_wstring(2.25f), L"2.2"); // round-half-even of the exact double 2.25, as "%.1f" gives
    EXPECT_EQ(float_to_wstring(1.5f), L"1.500000");
}

TEST(text_utils, to_lower_maps_cyrillic) {
    init_text_locale();
    EXPECT_EQ(to_lower_w(L"ПРИВЕТ Hello Ё"), L"привет hello ё");
}

TEST(text_utils, split_wstring_cases) {
    struct split_case {
        std::wstring text;
        std::vector<std::wstring> pieces;
    };
    const split_case cases[] = {
        {L"a,,b", {L"a", L"", L"b"}}, {L",a", {L"", L"a"}}, {L"a,b,", {L"a", L"b"}},
        {L"abc", {L"abc"}},           {L"", {L""}},         {L"3.5.0.1220", {L"3", L"5", L"0", L"1220"}},
    };
    for (const auto& c : cases) {
        const std::wstring sep = c.text.find(L'.') != std::wstring::npos ? L"." : L",";
        EXPECT_EQ(split_wstring(c.text, sep), c.pieces) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(text_utils, base64_and_phone) {
    EXPECT_EQ(base64_encode_w(L"abc"), L"YWJj");
    EXPECT_EQ(base64_encode_w(L"ab"), L"YWI=");
    EXPECT_EQ(base64_encode_w(L"a"), L"YQ==");
    EXPECT_EQ(base64_encode_w(L""), L"");
    EXPECT_EQ(base64_encode_w(L"1;ABC;123"), L"MTtBQkM7MTIz");
    EXPECT_EQ(phone_for_url(L"+7 (912) 345-67-89"), L"%2b79123456789");
    EXPECT_EQ(phone_for_url(L""), L"");
}

TEST(text_utils, round_up_to_step) {
    EXPECT_FLOAT_EQ(round_up_to_step(10.00005f, 0.01f), 10.0f); // q exceeds 1000 by less than 0.01
    EXPECT_NEAR(round_up_to_step(10.005f, 0.01f), 10.01f, 1e-5);
    EXPECT_NEAR(round_up_to_step(10.02f, 0.01f), 10.02f, 1e-4);
    EXPECT_FLOAT_EQ(round_up_to_step(7.3f, 0.0f), 7.3f);
    EXPECT_FLOAT_EQ(round_up_to_step(101.0f, 10.0f), 110.0f);
    EXPECT_FLOAT_EQ(round_up_to_step(100.0f, 10.0f), 100.0f);
}

TEST(text_utils, dates) {
    EXPECT_EQ(date_text_ru(0), L"01 января");
    EXPECT_EQ(date_text_ru(1393632000), L"01 марта"); // 2014-03-01
    EXPECT_EQ(date_text_ru(1734000000), L"12 декабря"); // 2024-12-12
    EXPECT_EQ(date_text_ru(4102444800LL), L"01 января"); // 2100-01-01, past the 32-bit range
    EXPECT_EQ(unix_time_hour(3600 * 13 + 60 * 7), 13);
    EXPECT_EQ(unix_time_minute(3600 * 13 + 60 * 7), 7);
    EXPECT_EQ(unix_time_hour(-60), 23);
    EXPECT_EQ(unix_time_minute(-60), 59);
}

TEST(text_utils, split_colon3) {
    colon_parts host_port = split_colon3(L"host.example:86");
    EXPECT_EQ(host_port.first, L"host.example");
    EXPECT_EQ(host_port.second, L"");
    EXPECT_EQ(host_port.third, L"");
    colon_parts full = split_colon3(L"10.0.0.1:86:Город:Центр");
    EXPECT_EQ(full.first, L"10.0.0.1");
    EXPECT_EQ(full.second, L"86");
    EXPECT_EQ(full.third, L"Город:Центр");
    EXPECT_EQ(full.fourth, L"");
    EXPECT_EQ(split_colon3(L"nocolon").first, L"");
}

} // namespace
} // namespace zel
