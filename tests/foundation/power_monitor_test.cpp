#include "foundation/power_monitor.h"
#include "platform/power_supply.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zel {
namespace {

// One supply of a fake /sys/class/power_supply: its attribute files by name.
using supply = std::map<std::string, std::string>;

void write_tree(const test::temp_folder& root, const std::map<std::string, supply>& supplies) {
    for (const auto& [name, attributes] : supplies) {
        for (const auto& [attribute, value] : attributes) {
            root.write(std::filesystem::path(name) / attribute, value + "\n");
        }
    }
}

TEST(power_supply, reads_mains_and_the_first_battery) {
    const supply mains_on{{"type", "Mains"}, {"online", "1"}};
    const supply mains_off{{"type", "Mains"}, {"online", "0"}};
    struct test_case {
        const char* name;
        std::map<std::string, supply> supplies;
        bool mains_online;
        int battery_percent;
    };
    const test_case cases[] = {
        {"no supplies: a desktop on mains", {}, true, 255},
        {"on battery", {{"AC", mains_off}, {"BAT0", {{"type", "Battery"}, {"capacity", "57"}}}}, false, 57},
        {"charging; batteries in name order",
         {{"AC", mains_on},
          {"BAT1", {{"type", "Battery"}, {"capacity", "80"}}},
          {"BAT0", {{"type", "Battery"}, {"capacity", "40"}}}},
         true,
         40},
        {"any external supply online counts",
         {{"usb", {{"type", "USB"}, {"online", "0"}}}, {"qi", {{"type", "Wireless"}, {"online", "1"}}}},
         true,
         255},
        {"a programmable USB supply reports 2", {{"ucsi", {{"type", "USB_C"}, {"online", "2"}}}}, true, 255},
        {"all external supplies offline", {{"AC", mains_off}, {"usb", {{"type", "USB"}, {"online", "0"}}}}, false, 255},
        {"a mouse battery is not the system's",
         {{"hid-mouse", {{"type", "Battery"}, {"scope", "Device"}, {"capacity", "10"}}}},
         true,
         255},
        {"capacity not a number", {{"BAT0", {{"type", "Battery"}, {"capacity", "abc"}}}}, true, 255},
        {"capacity above 100", {{"BAT0", {{"type", "Battery"}, {"capacity", "101"}}}}, true, 255},
        {"capacity missing", {{"BAT0", {{"type", "Battery"}}}}, true, 255},
        {"empty battery", {{"BAT0", {{"type", "Battery"}, {"capacity", "0"}}}}, true, 0},
    };
    for (const auto& c : cases) {
        test::temp_folder root;
        write_tree(root, c.supplies);
        const auto status = power_supply(root.path()).read();
        ASSERT_TRUE(status.has_value()) << c.name;
        EXPECT_EQ(status->mains_online, c.mains_online) << c.name;
        EXPECT_EQ(status->battery_percent, c.battery_percent) << c.name;
    }
}

TEST(power_supply, a_missing_root_is_not_available) {
    const power_supply source("/nonexistent/power_supply");
    EXPECT_FALSE(source.available());
    EXPECT_FALSE(source.read().has_value());
}

// Collects the monitor's reports and lets the test wait for one it expects.
class reports {
public:
    power_monitor::callback callback() {
        return [this](bool mains, uint8_t percent) {
            std::lock_guard guard(lock_);
            seen_.emplace_back(mains, percent);
            signal_.notify_all();
        };
    }
    bool wait_for(bool mains, uint8_t percent) {
        std::unique_lock guard(lock_);
        return signal_.wait_for(guard, std::chrono::seconds(20),
                                [&] { return !seen_.empty() && seen_.back() == std::pair(mains, percent); });
    }
    std::vector<std::pair<bool, uint8_t>> seen() {
        std::lock_guard guard(lock_);
        return seen_;
    }

private:
    std::mutex lock_;
    std::condition_variable signal_;
    std::vector<std::pair<bool, uint8_t>> seen_;
};

TEST(power_monitor, reports_every_period_what_the_supplies_say) {
    test::temp_folder root;
    write_tree(root,
               {{"AC", {{"type", "Mains"}, {"online", "0"}}}, {"BAT0", {{"type", "Battery"}, {"capacity", "57"}}}});
    reports got;
    power_monitor monitor(got.callback(), 1, power_supply(root.path()));
    ASSERT_TRUE(got.wait_for(false, 57));
    EXPECT_FALSE(monitor.mains_online());
    EXPECT_EQ(monitor.battery_percent(), 57);

    write_tree(root, {{"AC", {{"online", "1"}}}, {"BAT0", {{"capacity", "58"}}}});
    ASSERT_TRUE(got.wait_for(true, 58));
}

TEST(power_monitor, a_failed_read_stores_zeros_and_does_not_call_back) {
    test::temp_folder top;
    const auto root = top.path() / "power_supply";
    top.write("power_supply/AC/type", "Mains\n");
    top.write("power_supply/AC/online", "1\n");
    reports got;
    auto monitor = std::make_unique<power_monitor>(got.callback(), 1, power_supply(root));
    ASSERT_TRUE(got.wait_for(true, 255));
    const auto before = got.seen().size();
    // Renamed away in one step: removing file by file would let a read see a half-removed supply.
    std::filesystem::rename(root, top.path() / "gone");
    for (int i = 0; i < 20000 && monitor->mains_online(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(monitor->mains_online());
    EXPECT_EQ(monitor->battery_percent(), 0);
    // Reads every millisecond go on failing for a while; the end of the monitor waits for its last callback.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(monitor->mains_online());
    monitor.reset();
    // Two reports at most came after the count: a read's whose callback was still on its way, and a read's that
    // overlapped the rename and saw half a supply. None of the failed reads reported.
    EXPECT_LE(got.seen().size(), before + 2);
}

TEST(power_monitor, without_a_power_status_it_stays_idle) {
    reports got;
    {
        power_monitor monitor(got.callback(), 1, power_supply("/nonexistent/power_supply"));
        EXPECT_EQ(monitor.battery_percent(), 0);
    }
    EXPECT_TRUE(got.seen().empty());
}

TEST(power_monitor, destruction_ends_the_wait_at_once) {
    test::temp_folder root;
    reports got;
    { power_monitor monitor(got.callback(), 3'600'000, power_supply(root.path())); }
    EXPECT_TRUE(got.seen().empty());
}

} // namespace
} // namespace zel
