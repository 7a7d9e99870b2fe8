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
#include "api/database.h"
#include "api/command_names.h"
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
const std::wstring lost = L"lost"; // stands for the link's loss
const std::wstring never_left = L"never left"; // the request found no link at its turn
const std::wstring settled = L"settled"; // the settle goes by, and the listener takes a turn
const std::wstring again = L"again";     // the driver closes the bill again
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
                        [] { return order_close::ride_owner{77, 7, 2}; }};
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
    testing::Values(course{"RemovalAndResultTogether", {removed + accepted}, {outcome::closed}, true},
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

} // namespace
} // namespace zel::controller_::test
