// The close of an order against the store alone: the server's answer to "close-order" in every split and order
// (the removal before or after the result, together or apart, a refusal, a lost link and what the reconnect's
// login lists then), each ending once with the ride's files written only on a close the server took.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/bill_record.h"
#include "api/command/received/order.h"
#include "api/command/sent/close_order.h"
#include "api/database.h"
#include "controller/order_close.h"
#include "gps/gps_manager.h"
#include "tests/controller/controller_fixture.h"
#include "tests/support/temp_app_folder.h"

namespace zel::controller_::test {
namespace {

using outcome = order_close::outcome;

const std::wstring removed = LR"({"odel":{"l-type":4,"s-ids":["R-1"]}})";
const std::wstring accepted = LR"({"cmd-result":{"cmd-name":"close-order","ok":1}})";
const std::wstring refused = LR"({"cmd-result":{"cmd-name":"close-order","ok":0}})";
const std::wstring other = LR"({"nda":{"id":12,"c":1}})";
const std::wstring lost = L"lost"; // stands for the link's loss
// Stands for a reconnect: the store emptied, then the login's answer that follows it.
const std::wstring reconnect = L"reconnect";
const std::wstring login_ok = LR"({"cmd-result":{"cmd-name":"login","ok":1}})";
const std::wstring listed = reconnect + LR"({"order":{"s-id":"R-1","l-type":4,"s":8,"s-tid":"T-15"}})" + login_ok;
const std::wstring gone = reconnect + login_ok;
const std::wstring login_refused = reconnect + LR"({"cmd-result":{"cmd-name":"login","ok":0}})";

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
    own_gps gps;
    void SetUp() override {
        store.process_packet(LR"({"order":{"s-id":"R-1","l-type":4,"s":8,"s-tid":"T-15"}})");
        ASSERT_TRUE(store.get_taximeter()->is_running());
        store.set_bill(std::make_shared<zel_api::bill_record>(L"R-1"));
    }

    size_t files(const std::string& extension) const {
        size_t found = 0;
        if (std::filesystem::is_directory(folder_path)) {
            for (const auto& entry : std::filesystem::directory_iterator(folder_path)) {
                found += entry.path().extension() == extension ? 1 : 0;
            }
        }
        return found;
    }

    zel::test::temp_app_folder folder;
    std::filesystem::path folder_path = folder.path() / "order_close_inf";
    zel_api::database store;
    std::vector<std::string> sent;
    std::vector<outcome> reports;
    order_close closing{store, folder_path, [this](std::unique_ptr<zel_api::command::close_order> request) {
                            sent.push_back(std::string(request ? "close-order" : ""));
                        }};
};

TEST_P(close_course, EndsOnceWithTheFilesOfASuccessOnly) {
    const auto order = store.get_current_order();
    ASSERT_TRUE(order);
    ASSERT_TRUE(closing.begin(*order, 0, [this](outcome result) { reports.push_back(result); }));
    EXPECT_EQ(sent.size(), 1u);
    for (const std::wstring& packet : GetParam().packets) {
        if (packet == lost) {
            zel_api::update_mask mask;
            mask.set(L"disconnect_local");
            closing.on_mask(mask);
        } else if (packet.starts_with(reconnect)) {
            store.clear_all();
            closing.on_mask(store.process_packet(packet.substr(reconnect.size())));
        } else {
            closing.on_mask(store.process_packet(packet));
        }
    }
    EXPECT_EQ(reports, GetParam().reports);
    EXPECT_EQ(files(".tax_data"), GetParam().written ? 1u : 0u);
    EXPECT_EQ(files(".order_track"), GetParam().written ? 1u : 0u);
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
                    course{"LostAndTaken", {lost, gone}, {outcome::closed}, true},
                    course{"LostUntilALoginSucceeds", {lost, login_refused, lost, gone}, {outcome::closed}, true},
                    course{"LostAfterTheResult", {accepted, lost}, {outcome::accepted, outcome::closed}, true}),
    [](const testing::TestParamInfo<course>& info) { return std::string(info.param.name); });

TEST(order_close, AnAcceptedCloseWhoseOrderStaysIsOverWhenSettled) {
    own_gps gps;
    zel::test::temp_app_folder folder;
    zel_api::database store;
    store.process_packet(LR"({"order":{"s-id":"R-1","l-type":4,"s":8}})");
    store.set_bill(std::make_shared<zel_api::bill_record>(L"R-1"));
    std::vector<outcome> reports;
    order_close closing(store, folder.path() / "order_close_inf", [](auto) {});
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
    order_close closing(store, folder.path() / "order_close_inf", [&](auto) { ++sent; });
    EXPECT_FALSE(closing.begin(*store.get_current_order(), 0, [](outcome) {}));
    EXPECT_EQ(sent, 0);
}

} // namespace
} // namespace zel::controller_::test
