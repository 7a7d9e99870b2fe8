#include "api/json/reader.h"
#include "api/json/writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace zel_api::json {
namespace {

TEST(json_reader, objects_keep_member_order_and_duplicates) {
    const value v = read(R"( {"b":1,"a":{"x":[1,2.5,"t",null,true]},"b":2} )");
    const object& members = v.as_object();
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].name, "b");
    EXPECT_EQ(members[1].name, "a");
    EXPECT_EQ(members[2].name, "b");
    EXPECT_EQ(members[0].value.as_int64(), 1);
    EXPECT_EQ(members[2].value.as_int64(), 2);
    const array& x = members[1].value.as_object()[0].value.as_array();
    ASSERT_EQ(x.size(), 5u);
    EXPECT_EQ(x[1].as_real(), 2.5);
    EXPECT_EQ(x[2].as_string(), "t");
    EXPECT_TRUE(x[3].is_null());
    EXPECT_TRUE(x[4].as_bool());
}

TEST(json_reader, unreadable_text_reads_as_null) {
    for (const char* text : {"", "   ", "{", "{\"a\":}", "{\"a\":1}{\"b\":2}", "{\"a\":1} x", "[1,]", "{'a':1}",
                             "{\"a\":\"\x01\"}", "{\"a\":\"\xC3\"}", "nul", "1e999999"}) {
        EXPECT_TRUE(read(text).is_null()) << text;
    }
}

// A text holds exactly one value: white space may follow it, nothing else, a NUL byte least of all (the
// parser underneath took a NUL for the end of the text).
TEST(json_reader, nothing_but_white_space_may_follow_the_value) {
    using namespace std::string_literals;
    const struct {
        std::string text;
        bool read;
    } cases[] = {
        {"[1]"s, true},
        {" \t\r\n[1] \t\r\n"s, true},
        {R"({"a":"b\u0000c"})"s, true},
        {"[1]\0"s, false},
        {"[1]\0xyz"s, false},
        {"[1]\0]"s, false},
        {"{\"a\":1}\0{\"b\":2}"s, false},
        {"[1] \0"s, false},
        {"\0[1]"s, false},
        {"[\"a\0b\"]"s, false},
        {"{\"a\0\":1}"s, false},
        {"1\0"s, false},
        {"\"text\"\0\"more\""s, false},
        {"[1]x"s, false},
        {"[1]]"s, false},
        {"[1],"s, false},
        {"[1] [2]"s, false},
        {"1 2"s, false},
        {"\"a\"\"b\""s, false},
        {"[1]\f"s, false},
        {"[1]\x1a"s, false},
        {"[1]\xc2\xa0"s, false},
        {"[1]\xef\xbb\xbf"s, false},
        {"[1]\xff"s, false},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const char ch : c.text) {
            shown += ch == '\0' ? std::string("<NUL>") : std::string(1, ch);
        }
        const value v = read(c.text);
        EXPECT_EQ(!v.is_null(), c.read) << shown;
    }
    const value kept = read(R"({"a":"b\u0000c"})");
    EXPECT_EQ(kept.as_object().at(0).value.as_string(), std::string("b\0c", 3));
}

// A server that cuts a text in the middle of a character leaves half a surrogate pair: the half reads as
// U+FFFD and the rest of the value is kept.
TEST(json_reader, unpaired_surrogate_escapes_read_as_replacement_characters) {
    const struct {
        const char* text;
        std::string expected;
    } cases[] = {
        {R"(["a\uD83D"])", "a\uFFFD"},
        {R"(["\uD83Db"])", "\uFFFDb"},
        {R"(["\uDE00x"])", "\uFFFDx"},
        {R"(["\ud83d\u0041"])", "\uFFFDA"},
        {R"(["\uD83D\uD83D\uDE00"])", "\uFFFD\U0001F600"},
        {R"(["\uDE00\uD83D"])", "\uFFFD\uFFFD"},
        {R"(["\uD83D\n"])", "\uFFFD\n"},
        {R"(["\uD83D\uDE00"])", "\U0001F600"},
        {R"(["\ud83d\ude00"])", "\U0001F600"},
        // An escaped backslash before "uD83D" is no escape of a code unit.
        {R"(["\\uD83D"])", "\\uD83D"},
        {R"(["\"\uDC00"])", "\"\uFFFD"},
        {R"(["\u0000x"])", std::string("\0x", 2)},
    };
    for (const auto& c : cases) {
        const value v = read(c.text);
        ASSERT_EQ(v.type(), kind::array) << c.text;
        EXPECT_EQ(v.as_array().at(0).as_string(), c.expected) << c.text;
    }
    // Keys and later members come through too.
    const value object = read(R"({"t\uD83D":"\uDBFF","n":5})");
    ASSERT_EQ(object.type(), kind::object);
    EXPECT_EQ(object.as_object()[0].name, "t\uFFFD");
    EXPECT_EQ(object.as_object()[1].value.as_int64(), 5);
    // Broken escapes are still refused.
    for (const char* text : {R"(["\uD83"])", R"(["\uD83D\u12"])", R"(["\x"])"}) {
        EXPECT_TRUE(read(text).is_null()) << text;
    }
}

std::string nested(int depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

TEST(json_reader, nesting_is_capped_at_32_levels) {
    EXPECT_EQ(read(nested(max_depth)).type(), kind::array);
    EXPECT_TRUE(read(nested(max_depth + 1)).is_null());
    // Far deeper than any stack would hold if the reader recursed.
    EXPECT_TRUE(read(nested(200000)).is_null());
}

TEST(json_reader, integers_keep_their_sign_kind) {
    const value v = read("[-9223372036854775808,18446744073709551615,4294967297,1.0]");
    const array& a = v.as_array();
    EXPECT_EQ(a[0].as_int64(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(a[1].type(), kind::unsigned_integer);
    EXPECT_EQ(a[1].as_uint64(), std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(a[1].as_int64(), -1);
    EXPECT_EQ(a[2].as_int32(), 1); // the low 32 bits
    EXPECT_EQ(a[3].type(), kind::real);
}

// Every kind read as every other kind: only the kind itself, and a real from either integer kind, succeed.
TEST(json_value, typed_access_is_strict_for_each_kind) {
    const value samples[] = {
        value(),          value::boolean(true), value::integer(-3),   value::unsigned_integer(18446744073709551615u),
        value::real(1.5), value::string("x"),   value::empty_array(), value::empty_object()};
    struct access {
        const char* name;
        std::function<void(const value&)> read;
        std::function<bool(kind)> allowed;
    };
    auto is = [](kind k) { return [k](kind found) { return found == k; }; };
    auto is_integer = [](kind found) { return found == kind::integer || found == kind::unsigned_integer; };
    const access accesses[] = {
        {"bool", [](const value& v) { (void)v.as_bool(); }, is(kind::boolean)},
        {"int64", [](const value& v) { (void)v.as_int64(); }, is_integer},
        {"uint64", [](const value& v) { (void)v.as_uint64(); }, is_integer},
        {"int32", [](const value& v) { (void)v.as_int32(); }, is_integer},
        {"real", [](const value& v) { (void)v.as_real(); },
         [&](kind found) { return found == kind::real || is_integer(found); }},
        {"string", [](const value& v) { (void)v.as_string(); }, is(kind::string)},
        {"array", [](const value& v) { (void)v.as_array(); }, is(kind::array)},
        {"object", [](const value& v) { (void)v.as_object(); }, is(kind::object)},
    };
    for (const value& sample : samples) {
        for (const access& a : accesses) {
            if (a.allowed(sample.type())) {
                EXPECT_NO_THROW(a.read(sample)) << a.name << " of " << kind_name(sample.type());
            } else {
                EXPECT_THROW(a.read(sample), type_error) << a.name << " of " << kind_name(sample.type());
            }
        }
    }
}

TEST(json_value, type_error_names_both_kinds) {
    try {
        (void)value::string("x").as_int64();
        FAIL();
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "value is a string, not an integer");
    }
}

TEST(json_writer, writes_compact_in_added_order) {
    value inner = value::empty_object();
    inner.add("z", value::integer(-1));
    inner.add("a", value::unsigned_integer(18446744073709551615u));
    inner.add("z", value::boolean(false));
    value list = value::empty_array();
    list.push_back(value());
    list.push_back(value::string("т"));
    inner.add("l", std::move(list));
    inner.add("o", value::empty_object());
    EXPECT_EQ(write(inner), R"({"z":-1,"a":18446744073709551615,"z":false,"l":[null,"т"],"o":{}})");
}

TEST(json_writer, escapes_quotes_backslashes_and_control_characters_only) {
    const std::string text = std::string("a\"b\\c/d\n\r\t\x01\x7F") + "ё€𝄞";
    EXPECT_EQ(write(value::string(text)), "\"a\\\"b\\\\c/d\\u000A\\u000D\\u0009\\u0001\\u007Fё€𝄞\"");
    EXPECT_EQ(read(write(value::string(text))).as_string(), text);
}

TEST(json_writer, reals_are_shortest_and_stay_reals) {
    const struct {
        double number;
        const char* text;
    } cases[] = {{0.0, "0.0"},
                 {350.0, "350.0"},
                 {-2.5, "-2.5"},
                 {0.1, "0.1"},
                 {1e21, "1e+21"},
                 {1.5e-7, "1.5e-07"},
                 {12.3f, "12.300000190734863"},
                 {std::nan(""), "null"},
                 {HUGE_VAL, "null"}};
    for (const auto& c : cases) {
        EXPECT_EQ(write(value::real(c.number)), c.text);
        if (std::isfinite(c.number)) {
            const value back = read(c.text);
            EXPECT_EQ(back.type(), kind::real) << c.text;
            EXPECT_EQ(back.as_real(), c.number) << c.text;
        }
    }
}

} // namespace
} // namespace zel_api::json
