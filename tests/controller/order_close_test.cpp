// The close of an order against the store alone: the server's answer to "close-order" in every split and order
// (the removal before or after the result, together or apart, a refusal, a lost link and what the server lists
// after the reconnect, in its login answer or later, or nothing until the settle), each ending once with the
// ride's files written only on a close the server took. Then the controller against the test dispatch server: a
// close whose request never left, and the reconnect that answers the login with the result alone.
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/bill_record.h"
#include "api/command/received/order.h"
#include "api/command/sent/close_order.h"
#include "api/command_names.h"
#include "api/database.h"
#include "controller/order_close.h"
#include "foundation/app_paths.h"
#include "foundation/manual_clock.h"
#include "gps/gps_manager.h"
#include "gps/trip_data_file.h"
#include "tests/controller/controller_fixture.h"
#include "tests/support/temp_app_folder.h"

namespace zel::controller_::test {
namespace {

using outcome = order_close::outcome;

const std::wstring removed = LR"({"odel":{"l-type":4,"s-ids":["R-1"]}})";
const std::wstring accepted = LR"({"cmd-result":{"cmd-name":"close-order","ok":1}})";
const std::wstring refused = LR"({"cmd-result":{"cmd-name":"close-order","ok":0}})";
const std::wstring other = LR"({"nda":{"id":12,"c":1}})";
const std::wstring ride = LR"({"order":{"s-id":"R-1","l-type":4,"s":8,"s-tid":"T-15"}})";
const std::wstring lost = L"lost";             // stands for the link's loss
const std::wstring never_left = L"never left"; // the request found no link at its turn
const std::wstring settled = L"settled";       // the settle goes by, and the listener takes a turn
const std::wstring again = L"again";           // the driver closes the bill again
// Stands for a reconnect: the store emptied, then the login's answer that follows it.
const std::wstring reconnect = L"reconnect";
const std::wstring login_ok = LR"({"cmd-result":{"cmd-name":"login","ok":1}})";
const std::wstring listed = reconnect + ride + login_ok;
const std::wstring gone = reconnect + login_ok;
const std::wstring login_refused = reconnect + LR"({"cmd-result":{"cmd-name":"login","ok":0}})";
// Pushed after a login answered with its result alone.
const std::wstring general_order = LR"({"order":{"s-id":"G-1","l-type":1,"s":1}})";
const std::wstring another_ride = LR"({"order":{"s-id":"R-2","l-type":4,"s":2}})";

// The taximeter that the stored order starts listens to the GPS service: one of the test's own, without a
// refresh thread, so that no thread of a process-wide service outlives the test and runs into the exit.
struct own_gps {
    own_gps() {
        gps::gps_manager::set_instance(&service);
    }
    ~own_gps() {
        gps::gps_manager::set_instance(nullptr);
    }
    gps::manual_fix_source* source = nullptr;
    gps::gps_manager service{new_fix_source(source), {std::chrono::milliseconds(1000), false}};
};

struct course {
    const char* name;
    std::vector<std::wstring> packets;
    std::vector<outcome> reports;
    bool written;
};

void PrintTo(const course& c, std::ostream* out) {
    *out << c.name;
}

class close_course : public testing::TestWithParam<course> {
protected:
    manual_clock clock;
    own_gps gps;
    void SetUp() override {
        store.process_packet(ride);
        ASSERT_TRUE(store.get_taximeter()->is_running());
        store.set_bill(std::make_shared<zel_api::bill_record>(L"R-1"));
    }

    bool begin() {
        const auto order = store.get_current_order();
        return order && closing.begin(*order, 0, [this](outcome result) { reports.push_back(result); });
    }

    // One step of a course; each a second after the one before, so that every pair of files has its own name.
    void play(const std::wstring& packet) {
        clock.advance_ms(1000);
        if (packet == lost) {
            zel_api::update_mask mask;
            mask.set(L"disconnect_local");
            closing.on_mask(mask);
        } else if (packet == never_left) {
            unsent.back()();
        } else if (packet == settled) {
            closing.on_turn();
            EXPECT_TRUE(closing.in_hand()) << "decided before the settle";
            clock.advance_ms(order_close::list_settle_ms);
            closing.on_turn();
        } else if (packet == again) {
            ASSERT_TRUE(begin());
        } else if (packet.starts_with(reconnect)) {
            store.clear_all();
            closing.on_mask(store.process_packet(packet.substr(reconnect.size())));
        } else {
            closing.on_mask(store.process_packet(packet));
        }
    }

    std::vector<std::filesystem::path> trip_files(const std::string& extension) const {
        std::vector<std::filesystem::path> found;
        if (std::filesystem::is_directory(folder_path)) {
            for (const auto& entry : std::filesystem::directory_iterator(folder_path)) {
                if (entry.path().extension() == extension) {
                    found.push_back(entry.path());
                }
            }
        }
        return found;
    }

    size_t files(const std::string& extension) const {
        return trip_files(extension).size();
    }

    zel::test::temp_app_folder folder;
    std::filesystem::path folder_path = folder.path() / "order_close_inf";
    zel_api::database store;
    std::vector<std::string> sent;
    std::vector<std::function<void()>> unsent;
    std::vector<outcome> reports;
    order_close closing{store, folder_path,
                        [this](std::unique_ptr<zel_api::command::close_order> request, std::function<void()> never) {
                            sent.push_back(std::string(request ? "close-order" : ""));
                            unsent.push_back(std::move(never));
                        },
                        [] {
                            return order_close::ride_owner{77, 7, 2};
                        }};
};

TEST_P(close_course, EndsOnceWithTheFilesOfASuccessOnly) {
    ASSERT_TRUE(begin());
    EXPECT_EQ(sent.size(), 1u);
    for (const std::wstring& packet : GetParam().packets) {
        ASSERT_NO_FATAL_FAILURE(play(packet));
    }
    EXPECT_EQ(reports, GetParam().reports);
    EXPECT_EQ(files(".tax_data"), GetParam().written ? 1u : 0u);
    EXPECT_EQ(files(".order_track"), GetParam().written ? 1u : 0u);
    for (const auto& file : trip_files(".tax_data")) {
        // Whose ride it was, as the owner source says.
        std::ifstream in(file, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        gps::tax_data_record record;
        ASSERT_TRUE(gps::parse_tax_data(record, gps::trip_file_text(bytes.str())));
        EXPECT_EQ(record.order_id, L"R-1");
        EXPECT_EQ(record.driver_id, 77);
        EXPECT_EQ(record.organization_id, 7);
        EXPECT_EQ(record.city_id, 2);
    }
    // Over: later packets report nothing more.
    closing.on_mask(store.process_packet(accepted));
    closing.settle();
    EXPECT_EQ(reports, GetParam().reports);
}

INSTANTIATE_TEST_SUITE_P(
    order_close, close_course,
    testing::Values(
        course{"RemovalAndResultTogether", {removed + accepted}, {outcome::closed}, true},
        course{"RemovalFirst", {removed, accepted}, {outcome::closed}, true},
        course{"ResultFirst", {accepted, other, removed}, {outcome::accepted, outcome::closed}, true},
        course{"Refused", {refused}, {outcome::refused}, false},
        course{"RemovedThenRefused", {removed, refused}, {outcome::refused}, false},
        // The answer lost: what the server lists after the reconnect tells whether it took the close.
        course{"LostAndNotTaken", {other, lost, listed}, {outcome::lost}, false},
        course{"LostAndTaken", {lost, gone, settled}, {outcome::closed}, true},
        course{"LostUntilALoginSucceeds", {lost, login_refused, lost, gone, settled}, {outcome::closed}, true},
        course{"LostAfterTheResult", {accepted, lost}, {outcome::accepted, outcome::closed}, true},
        // The login answered with its result alone: the verdict waits for the server's list.
        course{"ListedAfterTheLoginResult", {lost, gone, other, ride}, {outcome::lost}, false},
        course{"NoListUntilTheSettle", {lost, gone, other, general_order, settled}, {outcome::closed}, true},
        course{"AnotherOrderListed", {lost, gone, another_ride}, {outcome::closed}, true},
        course{"LostAgainWhileWaiting", {lost, gone, lost, settled, listed}, {outcome::lost}, false},
        course{"AnsweredWhileWaiting", {lost, gone, removed + accepted}, {outcome::closed}, true},
        // The request never left: lost at once, nothing guessed.
        course{"NeverLeft", {never_left, removed}, {outcome::lost}, false},
        course{"NeverLeftOnALostLink", {lost, never_left, gone}, {outcome::lost}, false},
        // Found lost, its old request then answered with success: the files once.
        course{"LostThenAnswered", {lost, listed, accepted, accepted}, {outcome::lost}, true},
        course{"LostThenRefused", {lost, listed, refused, accepted}, {outcome::lost}, false},
        course{"LostThenClosedAgainAndBothAnswered",
               {lost, listed, again, accepted, removed, accepted},
               {outcome::lost, outcome::accepted, outcome::closed},
               true}),
    [](const testing::TestParamInfo<course>& info) { return std::string(info.param.name); });

TEST(order_close, AnAcceptedCloseWhoseOrderStaysIsOverWhenSettled) {
    own_gps gps;
    zel::test::temp_app_folder folder;
    zel_api::database store;
    store.process_packet(LR"({"order":{"s-id":"R-1","l-type":4,"s":8}})");
    store.set_bill(std::make_shared<zel_api::bill_record>(L"R-1"));
    std::vector<outcome> reports;
    order_close closing(store, folder.path() / "order_close_inf", [](auto, auto) {});
    ASSERT_TRUE(closing.begin(*store.get_current_order(), 0, [&](outcome result) { reports.push_back(result); }));
    closing.on_mask(store.process_packet(LR"({"cmd-result":{"cmd-name":"close-order","ok":1}})"));
    closing.on_mask(store.process_packet(LR"({"nda":{"id":12,"c":1}})"));
    EXPECT_EQ(reports, (std::vector<outcome>{outcome::accepted}));
    closing.settle();
    EXPECT_EQ(reports, (std::vector<outcome>{outcome::accepted, outcome::closed}));
}

TEST(order_close, NoBillNothingSent) {
    own_gps gps;
    zel::test::temp_app_folder folder;
    zel_api::database store;
    store.process_packet(LR"({"order":{"s-id":"R-1","l-type":4,"s":8}})");
    int sent = 0;
    order_close closing(store, folder.path() / "order_close_inf", [&](auto, auto) { ++sent; });
    EXPECT_FALSE(closing.begin(*store.get_current_order(), 0, [](outcome) {}));
    EXPECT_EQ(sent, 0);
}

// --- the controller's close against the test dispatch server

// The reports of one close, as the controller's threads bring them.
class report_log {
public:
    order_close::report sink() {
        return [this](outcome result) {
            std::lock_guard guard(lock_);
            seen_.push_back(result);
            changed_.notify_all();
        };
    }
    // Waits (a safety limit, not a timing) until count reports have come; all of them.
    std::vector<outcome> wait(size_t count) {
        std::unique_lock guard(lock_);
        changed_.wait_for(guard, std::chrono::seconds(30), [&] { return seen_.size() >= count; });
        return seen_;
    }
    std::vector<outcome> seen() const {
        std::lock_guard guard(lock_);
        return seen_;
    }

private:
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<outcome> seen_;
};

class controller_close : public controller_fixture {
protected:
    // The ride's order current with its bill stored; the close begun.
    void begin_close() {
        const auto order = ctl->get_current_order();
        ASSERT_TRUE(order);
        ctl->set_bill(std::make_shared<zel_api::bill_record>(L"R-1"));
        ASSERT_TRUE(ctl->closing().begin(*order, 0, reports.sink()));
    }

    std::vector<gps::tax_data_record> tax_data_files() const {
        std::vector<gps::tax_data_record> found;
        const std::filesystem::path folder = app_file(L"\\order_close_inf");
        if (!std::filesystem::is_directory(folder)) {
            return found;
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".tax_data") {
                std::ifstream in(entry.path(), std::ios::binary);
                std::stringstream bytes;
                bytes << in.rdbuf();
                gps::tax_data_record record;
                EXPECT_TRUE(gps::parse_tax_data(record, gps::trip_file_text(bytes.str())));
                found.push_back(record);
            }
        }
        return found;
    }

    report_log reports;
};

TEST_F(controller_close, ACloseWhoseRequestFindsNoLinkIsLostAtOnce) {
    start();
    add_dispatch_server(unused_port());
    ctl->store().process_packet(ride);
    ASSERT_NO_FATAL_FAILURE(begin_close());
    EXPECT_EQ(reports.wait(1), std::vector<outcome>{outcome::lost});
    // The screen that locked itself for the answer is freed as on a lost link.
    EXPECT_TRUE(listener.wait_for(zel_api::disconnect_local_name()).test(zel_api::disconnect_local_name()));
    EXPECT_FALSE(ctl->closing().in_hand());
    EXPECT_TRUE(tax_data_files().empty());
}

// What the server says after the reconnect, in the login's answer or after it.
struct reconnect_case {
    const char* name;
    std::string relogin;    // the answer to the reconnect's login
    std::string later;      // pushed after it
    std::wstring later_bit; // the update bit of the push, and how many masks carry it once it came
    size_t later_count;
    bool settle;   // no list comes: the verdict waits for the settle
    bool callsign; // a call-sign request on a connection of its own ends meanwhile
    outcome verdict;
};

void PrintTo(const reconnect_case& c, std::ostream* out) {
    *out << c.name;
}

const std::string login_result = R"({"cmd-result":{"cmd-name":"login","ok":1}})";
const std::string session = R"({"session-fix-param":{"sid":2,"driver-id":77}})";
const std::string ride_text = R"({"order":{"s-id":"R-1","l-type":4,"s":8,"s-tid":"T-15"}})";
const std::string nda_text = R"({"nda":{"id":12,"c":1}})";

class close_after_reconnect : public controller_close, public testing::WithParamInterface<reconnect_case> {};

TEST_P(close_after_reconnect, DecidesOnWhatTheServerListed) {
    const reconnect_case& c = GetParam();
    auto server = dispatch_server("relogin_close.script", {{"RELOGIN", c.relogin}, {"LATER", c.later}});
    start();
    add_dispatch_server(server->port());
    std::unique_ptr<test_peer> callsigns;
    if (c.callsign) {
        callsigns = dispatch_server("callsigns.script");
        ctl->store().process_packet(device_server_text(9, {L"127.0.0.1:" + callsigns->port_text() + L":main"}));
    }
    ASSERT_NO_FATAL_FAILURE(log_in());
    ASSERT_NO_FATAL_FAILURE(begin_close());
    ASSERT_TRUE(listener.wait_for(zel_api::cmd_result_name(), 2).payload()) << server->transcript();
    ASSERT_TRUE(listener.wait_for(c.later_bit, c.later_count).test(c.later_bit)) << server->transcript();
    if (c.settle) {
        // Everything the server sent is in; no list of the driver's orders: the close waits.
        ASSERT_NO_FATAL_FAILURE(wait_listener_turns());
        EXPECT_TRUE(reports.seen().empty());
        EXPECT_TRUE(ctl->closing().in_hand());
        if (c.callsign) {
            const size_t notices = listener.count(zel_api::disconnect_local_name());
            ctl->request_callsign_list(L"M1", L"L1", 9, 1);
            ASSERT_TRUE(listener.wait_for(zel_api::disconnect_local_name(), notices + 1)
                            .test(zel_api::disconnect_local_name()));
            ASSERT_NO_FATAL_FAILURE(wait_listener_turns());
            EXPECT_TRUE(ctl->closing().in_hand());
        }
        clock.advance_ms(order_close::list_settle_ms);
    }
    EXPECT_EQ(reports.wait(1), std::vector<outcome>{c.verdict}) << server->transcript();
    const auto files = tax_data_files();
    if (c.verdict == outcome::lost) {
        EXPECT_TRUE(files.empty());
        EXPECT_NE(ctl->find_order(4, L"R-1"), nullptr);
    } else {
        // Written once, naming the login's driver and the server entry's organisation and city.
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0].order_id, L"R-1");
        EXPECT_EQ(files[0].driver_id, 77);
        EXPECT_EQ(files[0].organization_id, 7);
        EXPECT_EQ(files[0].city_id, 2);
    }
    expect_script_done(*server);
}

INSTANTIATE_TEST_SUITE_P(order_close, close_after_reconnect,
                         testing::Values(reconnect_case{"OrderInsideTheLoginAnswer", session + ride_text + login_result,
                                                        nda_text, L"nda", 1, false, false, outcome::lost},
                                         reconnect_case{"OrderPushedAfterTheLoginResult", session + login_result,
                                                        ride_text, L"order", 2, false, false, outcome::lost},
                                         reconnect_case{"NothingListedUntilTheSettle", session + login_result, nda_text,
                                                        L"nda", 1, true, false, outcome::closed},
                                         reconnect_case{"CallSignLinkEndsWhileWaiting", session + login_result,
                                                        nda_text, L"nda", 1, true, true, outcome::closed}),
                         [](const testing::TestParamInfo<reconnect_case>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace zel::controller_::test
