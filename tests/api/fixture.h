// Fixture packets of tests/api/fixtures: read as the controller hands a packet on (wide text) and cut by the
// splitter, which drops the line that says where the packet comes from.
#pragma once

#include "api/split_json_objects.h"
#include "foundation/text_utils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace zel_api::test {

inline std::string fixture_bytes(const std::string& name) {
    const char* root = std::getenv("MORVIK_SOURCE_DIR");
    const std::string path = std::string(root ? root : ".") + "/tests/api/fixtures/" + name + ".json";
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "missing fixture " << path;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The one object of a fixture packet.
inline std::wstring fixture_object(const std::string& name) {
    const auto pieces = split_json_objects(zel::utf8_to_wide(fixture_bytes(name)));
    EXPECT_EQ(pieces.size(), 1u) << name;
    return pieces.empty() ? std::wstring() : pieces.front();
}

template <class Record> Record parse_fixture(const std::string& name) {
    Record record;
    record.from_json(fixture_object(name));
    return record;
}

} // namespace zel_api::test
