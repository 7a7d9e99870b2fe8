// The status strip's icons are switched by the power monitor's and the GPS service's threads while the UI
// thread paints and handles commands; the strip goes away while the GPS service still runs. Built under
// ThreadSanitizer too (scripts/test).
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "form/account/panel_status.h"
#include "form/controls/state_button.h"
#include "gps/gps_manager.h"
#include "gps/manual_fix_source.h"
#include "tests/form/shell_fixture.h"

namespace zel::form::test {
namespace {

gps::gps_fix fix_with(bool accurate) {
    gps::gps_fix fix;
    fix.valid = 1;
    fix.fix = 1;
    fix.pdop = accurate ? 1.5f : 50.0f;
    fix.latitude = 55.75;
    fix.longitude = 37.62;
    return fix;
}

// The GPS service with a refresh thread of its own, installed for one test; it outlives the strip.
class gps_service {
public:
    gps_service() {
        auto source = std::make_unique<gps::manual_fix_source>();
        source_ = source.get();
        service_ = std::make_unique<gps::gps_manager>(std::move(source),
                                                      gps::gps_manager::options{std::chrono::milliseconds(2), true});
        gps::gps_manager::set_instance(service_.get());
        service_->subscribe([this](const gps::location&) { ++deliveries; });
    }
    ~gps_service() {
        gps::gps_manager::set_instance(nullptr);
    }
    gps::manual_fix_source& source() {
        return *source_;
    }

    std::atomic<int> deliveries{0};

private:
    gps::manual_fix_source* source_ = nullptr;
    std::unique_ptr<gps::gps_manager> service_;
};

TEST(strip_race, power_and_gps_reports_while_the_ui_paints_and_the_strip_goes_first) {
    gps_service gps;
    shell_harness shell;
    panel_status* strip = nullptr;
    manager_2::panel_table table = shell.recording_table();
    table.status = [&strip](manager_2& form) {
        auto panel = std::make_unique<panel_status>(form);
        strip = panel.get();
        return std::unique_ptr<panel_base>(std::move(panel));
    };
    shell.build({480, 800, 192}, std::move(table));
    shell.start();
    shell.manager->reset_to_panel(manager_2::master_id);
    shell.run();
    ASSERT_NE(strip, nullptr);
    ASSERT_TRUE(strip->has_power_monitor()); // the first show subscribed to the GPS service as well

    constexpr int reports = 3000;
    std::atomic<bool> done{false};
    std::thread power([&] {
        for (int i = 0; i < reports; ++i) {
            strip->on_power_state(i % 2 == 0, static_cast<uint8_t>(i % 120));
        }
        strip->on_power_state(false, 29);
        done.store(true);
    });
    std::thread fixes([&] {
        for (int i = 0; !done.load(); ++i) {
            gps.source().set(fix_with(i % 2 == 0));
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        gps.source().set(fix_with(true));
    });
    // The UI keeps painting, and handling the global events, until the workers are through.
    for (int turn = 0; turn < 1000000 && !done.load(); ++turn) {
        shell.manager->post_command(mask_of({L"disconnect_local", L"session-param"}));
        shell.manager->invalidate_rect(rect{0, 0, 480, 54});
        shell.run();
    }
    power.join();
    fixes.join();
    shell.run();
    EXPECT_EQ(strip->battery_icon()->state(), 3);

    // The GPS service goes on calling its subscribers while the strip is destroyed, and after.
    shell.teardown();
    const int delivered = gps.deliveries.load();
    while (gps.deliveries.load() < delivered + 3) {
        std::this_thread::yield();
    }
}

} // namespace
} // namespace zel::form::test
