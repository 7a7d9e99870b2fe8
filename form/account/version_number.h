// A four-part program version ("3.5.0.1220") and its ordering. Made from a text split at every "."; only a text
// of exactly four parts is read, each part as a decimal number (leading blanks, an optional sign, then digits
// up to the first other character; none gives 0, beyond 32 bits it stops at the limit). Any other text leaves
// all four numbers 0 and the version not parsed. A plain value; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zel::form {

struct version_number {
    explicit version_number(const std::wstring& text);

    std::array<int32_t, 4> numbers{};
    std::wstring text;
    // Whether the text had four parts.
    bool parsed = false;
};

// Over the four numbers in order: 1 at the first place where a's is smaller, -1 where it is larger, 0 when
// all are equal.
int compare_versions(const version_number& a, const version_number& b);

// Whether the offered version is a newer one than the program's: it parsed and the program's is smaller.
bool is_newer_version(const version_number& program, const version_number& offered);

} // namespace zel::form
