#include "api/split_json_objects.h"

#include "api/command/command_parse_exc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zel_api {
namespace {

using pieces = std::vector<std::wstring>;

TEST(split_json_objects, cuts_top_level_objects) {
    const struct {
        const char* what;
        std::wstring text;
        pieces expected;
    } cases[] = {
        {"empty text", L"", {}},
        {"only text outside objects", L"hello \"}\" \n", {}},
        {"back to back, text around dropped",
         L" x{\"a\":{}}\r\n{\"b\":{\"c\":{}}} y",
         {L"{\"a\":{}}", L"{\"b\":{\"c\":{}}}"}},
        {"stray closing brace first", L"}}{\"a\":1}", {L"{\"a\":1}"}},
        {"stray closing brace between", L"{\"a\":1}}{\"b\":2}", {L"{\"a\":1}", L"{\"b\":2}"}},
        {"NUL ends the text", std::wstring(L"{\"a\":1}\0{\"b\":2}", 15), {L"{\"a\":1}"}},
        {"open brace in a string", L"{\"t\":\"ул. {Ленина\"}{\"b\":1}", {L"{\"t\":\"ул. {Ленина\"}", L"{\"b\":1}"}},
        {"closing brace in a string", L"{\"t\":\"}\",\"u\":2}", {L"{\"t\":\"}\",\"u\":2}"}},
        {"escaped quote keeps the string open", L"{\"t\":\"a\\\"}\"}", {L"{\"t\":\"a\\\"}\"}"}},
        {"escaped backslash ends before the quote",
         L"{\"t\":\"a\\\\\"}{\"b\":1}",
         {L"{\"t\":\"a\\\\\"}", L"{\"b\":1}"}},
        {"quotes outside objects don't open strings", L"\"{\"a\":1}", {L"{\"a\":1}"}},
        {"raw control characters in strings are escaped",
         L"{\"t\":\"a\r\nb\x01\"}\n",
         {L"{\"t\":\"a\\u000D\\u000Ab\\u0001\"}"}},
        {"line breaks between members stay", L"{\n\"a\":1\n}", {L"{\n\"a\":1\n}"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(split_json_objects(c.text), c.expected) << c.what;
    }
}

TEST(split_json_objects, refuses_a_text_that_ends_inside_an_object) {
    const std::wstring texts[] = {
        L"{", L"{\"a\":1}{\"b\":{}", L"{\"a\":\"}", L"{\"a\":\"x\\", L"{\"a\":\"{\"}{", std::wstring(L"{\"a\":\0}", 7)};
    for (const std::wstring& text : texts) {
        try {
            (void)split_json_objects(text);
            ADD_FAILURE() << "accepted";
        } catch (const command::command_parse_exc& error) {
            EXPECT_STREQ(error.what(), "Error: incorrect json data");
        }
    }
}

} // namespace
} // namespace zel_api
