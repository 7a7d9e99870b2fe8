// Resource-only DLLs: written by the skin packer's writer, read back by LoadLibraryW / FindResourceW, listed and
// extracted by icoutils' wrestool, and damaged files refused without reading outside their bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "platform/resources.h"
#include "platform/resources/pe_resources.h"
#include "tests/support/fan_out_dll.h"
#include "tools/skin/resource_dll_writer.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> sample_dll() {
    using skin_tools::resource_item;
    std::vector<resource_item> items;
    items.push_back({u"PNG", std::uint16_t{1046}, 0, {0x89, 'P', 'N', 'G', 1, 2, 3}});
    items.push_back({u"PNG", std::uint16_t{2001}, 0, {}});
    items.push_back({u"PNG", std::uint16_t{5}, 0, {9}});
    items.push_back({u"JPG", std::uint16_t{1046}, 0, {7, 7}});
    items.push_back({u"png", u"logo", 0, {4}});
    items.push_back({std::uint16_t{10}, std::uint16_t{7}, 1049, {5, 6}});
    return skin_tools::write_resource_dll(std::move(items));
}

class resources_test : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("morvik_resources_" + std::to_string(getpid()));
        fs::create_directories(folder_ / "skin");
        file_ = folder_ / "skin" / "sample.dll";
        bytes_ = sample_dll();
        std::ofstream(file_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
    }
    void TearDown() override {
        fs::remove_all(folder_);
    }

    static std::wstring wide(const std::string& s) {
        return std::wstring(s.begin(), s.end());
    }

    fs::path folder_;
    fs::path file_;
    std::vector<std::uint8_t> bytes_;
};

TEST_F(resources_test, finds_resources_by_integer_name_and_string_type) {
    // Either separator: the program builds "\skin\..." and "/skin/..." paths.
    const std::wstring backslashed = wide(folder_.string()) + L"\\skin\\sample.dll";
    HMODULE module = LoadLibraryW(backslashed.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(LoadLibraryW(wide(file_.string()).c_str()), module);

    for (LPCWSTR type : {L"PNG", L"png", L"Png"}) {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1046), type);
        ASSERT_NE(found, nullptr);
        ASSERT_EQ(SizeofResource(module, found), 7u);
        const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(std::vector<std::uint8_t>(data, data + 7), (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', 1, 2, 3}));
    }
    HRSRC jpg = FindResourceW(module, L"#1046", L"JPG");
    ASSERT_NE(jpg, nullptr);
    EXPECT_EQ(SizeofResource(module, jpg), 2u);
    HRSRC logo = FindResourceW(module, L"Logo", L"PNG");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(*static_cast<const std::uint8_t*>(LoadResource(module, logo)), 4);
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(7), MAKEINTRESOURCEW(10)), nullptr);
    HRSRC empty = FindResourceW(module, MAKEINTRESOURCEW(2001), L"PNG");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SizeofResource(module, empty), 0u);

    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(3000), L"PNG"), nullptr);
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(1046), L"GIF"), nullptr);
    EXPECT_EQ(SizeofResource(module, reinterpret_cast<HRSRC>(&module)), 0u);
    EXPECT_EQ(LoadResource(nullptr, jpg), nullptr);

    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module));
}

TEST_F(resources_test, own_module_and_missing_libraries_have_nothing) {
    HMODULE own = GetModuleHandleW(nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(FindResourceW(own, MAKEINTRESOURCEW(2001), L"PNG"), nullptr);
    EXPECT_EQ(LoadLibraryW(L"aygshell.dll"), nullptr);
    EXPECT_EQ(LoadLibraryW(wide(folder_.string()).c_str()), nullptr); // a folder
    EXPECT_EQ(GetProcAddressW(own, L"SHFullScreen"), nullptr);
    const fs::path text = folder_ / "not_a_dll.dll";
    std::ofstream(text) << "MZ but nothing else";
    EXPECT_EQ(LoadLibraryW(wide(text.string()).c_str()), nullptr);
}

TEST_F(resources_test, writer_output_is_deterministic_and_read_by_wrestool) {
    EXPECT_EQ(sample_dll(), bytes_);
    if (std::system("command -v wrestool >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "wrestool (icoutils) is not installed";
    }
    std::string listing;
    {
        std::FILE* pipe = ::popen(("wrestool -l '" + file_.string() + "'").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) {
            listing += line;
        }
        EXPECT_EQ(::pclose(pipe), 0);
    }
    EXPECT_NE(listing.find("--type='PNG' --name=1046 --language=0 ["), std::string::npos) << listing;
    EXPECT_NE(listing.find("--type='PNG' --name=5 --language=0 ["), std::string::npos) << listing;
    EXPECT_NE(listing.find("--type='JPG' --name=1046 --language=0 ["), std::string::npos) << listing;
    EXPECT_NE(listing.find("--type=10 --name=7 --language=1049 ["), std::string::npos) << listing;
    // And its extraction gives back the very bytes.
    const fs::path out = folder_ / "1046.bin";
    ASSERT_EQ(std::system(
                  ("wrestool -x -R --type=PNG --name=1046 '" + file_.string() + "' > '" + out.string() + "'").c_str()),
              0);
    std::ifstream in(out, std::ios::binary);
    const std::vector<char> extracted((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(extracted, (std::vector<char>{char(0x89), 'P', 'N', 'G', 1, 2, 3}));
}

TEST_F(resources_test, every_truncation_and_bad_offset_is_refused_or_stays_in_bounds) {
    std::string error;
    auto check = [&](const std::vector<std::uint8_t>& bytes) {
        auto parsed = platform::pe_resources::parse(bytes.data(), bytes.size(), error);
        if (parsed) {
            for (const auto& r : parsed->all()) {
                EXPECT_LE(r.offset + r.size, bytes.size());
            }
        }
        return parsed.has_value();
    };
    EXPECT_TRUE(check(bytes_));
    for (std::size_t n = 0; n < bytes_.size(); ++n) {
        check(std::vector<std::uint8_t>(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(n)));
    }
    EXPECT_FALSE(check(std::vector<std::uint8_t>(bytes_.begin(), bytes_.begin() + 0x300)));
    // Every single byte of the headers and directory set to 0xFF in turn.
    for (std::size_t i = 0; i < 0x300; ++i) {
        auto damaged = bytes_;
        damaged[i] = 0xFF;
        check(damaged);
    }
    // The data entry of PNG 1046 (its RVA is the data's file offset moved to the section's address) claims more
    // bytes than the file has.
    auto parsed = platform::pe_resources::parse(bytes_.data(), bytes_.size(), error);
    const auto* png = parsed->find(std::u16string(u"PNG"), std::uint16_t{1046});
    ASSERT_NE(png, nullptr);
    const std::uint32_t rva = static_cast<std::uint32_t>(png->offset - 0x200 + 0x1000);
    auto far_data = bytes_;
    bool patched = false;
    for (std::size_t i = 0x200; i + 8 <= far_data.size() && !patched; i += 4) {
        if (std::equal(far_data.begin() + i, far_data.begin() + i + 4, reinterpret_cast<const std::uint8_t*>(&rva))) {
            far_data[i + 6] = 0x01; // size 65536 + 7
            patched = true;
        }
    }
    ASSERT_TRUE(patched);
    EXPECT_FALSE(check(far_data));
    EXPECT_EQ(error, "resource data outside the file");
}

// Directories that point into one another: the entries a reader follows grow as the product of the levels'
// sizes. A wide fan-out is refused after a bounded walk; a narrow one is an ordinary empty library.
TEST_F(resources_test, directories_fanning_out_are_refused_after_a_bounded_walk) {
    struct fan_case {
        std::uint16_t width;
        bool parses;
    };
    for (const fan_case c : {fan_case{1, true}, fan_case{64, true}, fan_case{1024, false}, fan_case{65535, false}}) {
        SCOPED_TRACE(c.width);
        const auto bytes = zel::test::fan_out_dll(c.width);
        std::string error;
        auto parsed = platform::pe_resources::parse(bytes.data(), bytes.size(), error);
        EXPECT_EQ(parsed.has_value(), c.parses) << error;
        if (parsed) {
            EXPECT_TRUE(parsed->all().empty());
        } else {
            EXPECT_EQ(error, "too many resource directory entries");
        }
    }
}

TEST_F(resources_test, a_failed_library_is_read_once_until_the_file_changes) {
    const fs::path hostile = folder_ / "skin" / "hostile.dll";
    const auto fan = zel::test::fan_out_dll(65535);
    std::ofstream(hostile, std::ios::binary)
        .write(reinterpret_cast<const char*>(fan.data()), static_cast<std::streamsize>(fan.size()));
    const std::wstring path = wide(hostile.string());

    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadLibraryW(path.c_str()), nullptr);
    EXPECT_EQ(LoadLibraryW(path.c_str()), nullptr);
    EXPECT_EQ(LoadLibraryW((wide(folder_.string()) + L"\\skin\\hostile.dll").c_str()), nullptr);
    const std::string log = testing::internal::GetCapturedStderr();
    // One parse, one line: each later request is answered from the remembered failure.
    EXPECT_EQ(log,
              "[platform] damaged resource library " + hostile.string() + ": too many resource directory entries\n");

    // An update puts a sound library in its place: it loads.
    fs::remove(hostile);
    std::ofstream(hostile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1046), L"PNG"), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

// Loads race outside the table's lock: every thread must get the one module, and each load must count.
TEST_F(resources_test, concurrent_loads_share_one_module_and_count_every_load) {
    const std::wstring path = wide(file_.string());
    constexpr int threads = 8;
    std::vector<HMODULE> got(threads);
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i) {
        workers.emplace_back([&, i] { got[static_cast<std::size_t>(i)] = LoadLibraryW(path.c_str()); });
    }
    for (auto& w : workers) {
        w.join();
    }
    ASSERT_NE(got[0], nullptr);
    for (HMODULE m : got) {
        EXPECT_EQ(m, got[0]);
    }
    for (int i = 0; i < threads; ++i) {
        EXPECT_TRUE(FreeLibrary(got[0]));
    }
    EXPECT_FALSE(FreeLibrary(got[0]));
}

} // namespace
