// One thread feeds packets while another reads records and the taximeter, and a third delivers GPS
// locations: run under ThreadSanitizer (scripts/test), no race may be reported. Records a reader holds never
// change under it.
#include "api/database.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace zel_api::test {
namespace {

std::wstring ride_packet(int round) {
    const std::wstring price = std::to_wstring(100 + round % 7);
    return L"{\"order\":{\"s-id\":\"R\",\"l-type\":4,\"s\":8,\"i\":\"round " + std::to_wstring(round) +
           L"\",\"dct\":{\"n\":\"Город\",\"p\":" + price +
           L",\"cdu\":10,\"cdtu\":3}}}"
           L"{\"order\":{\"s-id\":\"" +
           std::to_wstring(round % 5) +
           L"\",\"l-type\":1,\"s\":1}}"
           L"{\"msg\":{\"id\":" +
           std::to_wstring(round % 3) + L",\"txt\":\"сообщение " + std::to_wstring(round) +
           L"\"}}{\"session-param\":{\"dt\":" + std::to_wstring(test_start_ms + round * 1000) + L",\"balance\":" +
           std::to_wstring(round) + L"}}{\"cmd-result\":{\"cmd-name\":\"x\",\"ok\":1}}";
}

TEST_F(store_test, packets_readers_and_gps_on_three_threads) {
    constexpr int rounds = 210;
    std::atomic<bool> done{false};
    std::atomic<int> checks{0};

    std::thread gps([&] {
        double north_m = 0.0;
        while (!done.load()) {
            clock_.advance_ms(1000);
            gps_.deliver(north_m += 5.0, 18.0);
        }
    });
    std::thread reader([&] {
        while (!done.load()) {
            if (const auto current = db_.get_current_order()) {
                const std::wstring note = current->i;
                const float price = current->dct ? current->dct->p_ref() : 0.0f;
                // A held record stays as it was read.
                EXPECT_EQ(current->i, note);
                EXPECT_EQ(current->dct ? current->dct->p_ref() : 0.0f, price);
            }
            for (const auto& order : db_.get_orders_1()) {
                EXPECT_EQ(order->l_type, 1);
            }
            if (const auto message = db_.find_msg(1)) {
                EXPECT_FALSE(message->txt.empty());
            }
            if (const auto session = db_.get_session_param()) {
                EXPECT_TRUE(session->balance.has_value());
            }
            const auto& meter = *db_.get_taximeter();
            EXPECT_GE(meter.cost_total(), 0.0f);
            EXPECT_GE(meter.distance(), 0.0f);
            meter.base_price();
            meter.is_running();
            meter.order_id();
            db_.get_server_clock()->server_now();
            db_.get_status2_stamp();
            ++checks;
        }
    });

    for (int round = 0; round < rounds; ++round) {
        const update_mask mask = feed(ride_packet(round));
        EXPECT_TRUE(mask.test(L"cmd-result"));
        if (round % 25 == 24) {
            // A reconnect, then the ride's order removed and given again.
            db_.clear_all();
            feed(L"{\"odel\":{\"l-type\":4,\"s-ids\":[\"R\"]}}");
        }
    }
    done = true;
    gps.join();
    reader.join();
    EXPECT_GT(checks.load(), 0);
    EXPECT_EQ(db_.get_current_order()->s_id, L"R");
    EXPECT_TRUE(db_.get_taximeter()->is_running());
}

} // namespace
} // namespace zel_api::test
