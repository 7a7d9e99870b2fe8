#include "foundation/app_paths.h"
#include "foundation/device_info.h"
#include "foundation/text_utils.h"
#include "platform/system_services.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <thread>

namespace zel {
namespace {

constexpr char machine_a[] = "0123456789abcdef0123456789abcdef";
constexpr char machine_b[] = "fedcba9876543210fedcba9876543210";
// SHA-1 of the machine id followed by "%&!Brunol!&%".
constexpr char id_a[] = "DD34335AF83D2F3AC859B327B2F25CEE3F715BE9";
constexpr char id_b[] = "A4D88F2130A70255D22F7E0A83CFF9B5A761827F";

class device_info_test : public ::testing::Test {
protected:
    void SetUp() override {
        set_app_folder(utf8_to_wide(folder.path().string()));
        device_info::set_machine_id_files({folder.path() / "etc-machine-id", folder.path() / "dbus-machine-id"});
    }
    void TearDown() override {
        set_app_folder(L"");
        device_info::set_machine_id_files({});
    }
    test::temp_folder folder;
};

TEST_F(device_info_test, device_id_hashes_the_first_usable_machine_id) {
    struct test_case {
        const char* etc; // nullptr: no file
        const char* dbus;
        const char* expected;
    };
    const test_case cases[] = {
        {machine_a, machine_b, id_a},
        {nullptr, machine_b, id_b},
        {"", machine_b, id_b},                // empty file
        {"uninitialized\n", machine_b, id_b}, // first boot
        {"0123456789abcdef\n", nullptr, ""},  // too short
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(folder.path() / "etc-machine-id");
        std::filesystem::remove(folder.path() / "dbus-machine-id");
        if (c.etc) {
            folder.write("etc-machine-id", std::string(c.etc) + "\n");
        }
        if (c.dbus) {
            folder.write("dbus-machine-id", c.dbus);
        }
        EXPECT_EQ(device_unique_id(), c.expected) << (c.etc ? c.etc : "-") << " / " << (c.dbus ? c.dbus : "-");
    }
}

TEST_F(device_info_test, load_reads_first_words_of_the_program_files) {
    folder.write("etc-machine-id", machine_a);
    folder.write("profile.info", "358000111222333 second\n");
    folder.write("main.id", "4711 9999");
    const device_info info(nullptr);
    EXPECT_EQ(info.device_id(), utf8_to_wide(id_a));
    EXPECT_EQ(info.serial(), L"358000111222333");
    EXPECT_EQ(info.main_id(), L"4711");
}

TEST_F(device_info_test, missing_files_leave_empty_texts) {
    const device_info info(nullptr);
    EXPECT_EQ(info.device_id(), L"");
    EXPECT_EQ(info.serial(), L"");
    EXPECT_EQ(info.main_id(), L"");
}

TEST_F(device_info_test, a_telephony_serial_wins_over_profile_info) {
    struct phone_with_serial : system_services {
        std::wstring telephony_serial_number() override {
            return L"IMEI42";
        }
    } phone;
    system_services::install(&phone);
    folder.write("profile.info", "from_file");
    const device_info info(nullptr);
    system_services::install(nullptr);
    EXPECT_EQ(info.serial(), L"IMEI42");
}

TEST_F(device_info_test, save_main_id_replaces_the_file_whole) {
    struct test_case {
        std::wstring id;
        std::string file_after;
        std::wstring read_back;
    };
    const test_case cases[] = {
        {L"abc", "abc", L"abc"}, {L"ид", "4711 9999", L"4711"}, // not one byte a character: the old file stays
    };
    for (const auto& c : cases) {
        folder.write("main.id", "4711 9999");
        device_info info(nullptr);
        info.save_main_id(c.id);
        EXPECT_EQ(info.main_id(), c.id);
        EXPECT_EQ(folder.read("main.id"), c.file_after);
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "main.id.tmp"));
        EXPECT_EQ(device_info(nullptr).main_id(), c.read_back);
    }
}

TEST_F(device_info_test, readers_see_whole_ids_while_the_id_is_replaced) {
    device_info info(nullptr);
    const std::wstring first(64, L'1'), second(64, L'2');
    info.save_main_id(first);
    std::thread writer([&] {
        for (int i = 0; i < 20; ++i) {
            info.save_main_id(i % 2 ? first : second);
        }
    });
    for (int i = 0; i < 1000; ++i) {
        const std::wstring seen = info.main_id();
        ASSERT_TRUE(seen == first || seen == second);
    }
    writer.join();
}

TEST_F(device_info_test, create_makes_one_record) {
    EXPECT_EQ(device_info::instance(), nullptr);
    int handle = 0;
    device_info::create(&handle);
    device_info* const record = device_info::instance();
    ASSERT_NE(record, nullptr);
    device_info::create(nullptr);
    EXPECT_EQ(device_info::instance(), record);
    EXPECT_EQ(record->instance_handle(), &handle);
}

} // namespace
} // namespace zel
