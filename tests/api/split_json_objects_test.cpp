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

// A quote the server left unescaped leaves the string-aware scan "in a string" to the end; counted without
// strings, the text still yields its objects, the broken one among them (it then fails alone when read).
TEST(split_json_objects, a_text_that_ends_inside_a_string_is_cut_by_the_brace_count) {
    const struct {
        const char* what;
        std::wstring text;
        pieces expected;
    } cases[] = {
        {"unescaped quote, objects after it",
         L"{\"msg\":{\"txt\":\"5\" screen\"}}{\"cmd-result\":{\"ok\":1}}",
         {L"{\"msg\":{\"txt\":\"5\" screen\"}}", L"{\"cmd-result\":{\"ok\":1}}"}},
        {"objects before it too",
         L"{\"a\":1} {\"t\":\"x\"y\"}\n{\"b\":2}",
         {L"{\"a\":1}", L"{\"t\":\"x\"y\"}", L"{\"b\":2}"}},
        {"closing brace alone in a string", L"{\"a\":\"}", {L"{\"a\":\"}"}},
        {"pieces whose strings close keep their escapes",
         L"{\"t\":\"a\nb\"}{\"u\":\"\"\"}",
         {L"{\"t\":\"a\\u000Ab\"}", L"{\"u\":\"\"\"}"}},
        {"a broken piece stays as it came", L"{\"t\":\"a\"\tb\"}", {L"{\"t\":\"a\"\tb\"}"}},
        {"braces in strings count now", L"{\"t\":\"}\" x\"}{\"b\":1}", {L"{\"t\":\"}", L"{\"b\":1}"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(split_json_objects(c.text), c.expected) << c.what;
    }
}

TEST(split_json_objects, refuses_a_text_that_ends_inside_an_object) {
    const std::wstring texts[] = {L"{",
                                  L"{\"a\":1}{\"b\":{}",
                                  L"{\"a\":\"x\\",
                                  L"{\"a\":\"{\"}{",
                                  L"{\"t\":\"5\" {\"}{\"b\":1}",
                                  std::wstring(L"{\"a\":\0}", 7)};
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
