// What the order offer's tests share: a screen harness logged in on a test dispatch server that offers an order
// right after the login (tests/form/fixtures/offer_*.script), the offer and its notices as the manager built
// them, the commands that reached the server, and the offer records the tests send.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "form/order/panel_order_offer.h"
#include "form/order/panel_order_offer_fine_close.h"
#include "form/order/panel_order_offer_fine_final_rejection.h"
#include "form/order/panel_order_offer_fine_rejection.h"
#include "form/order/panel_order_offer_fine_timeout.h"
#include "tests/form/screen_fixture.h"

namespace zel::form::test {

// The session's "dt" of the screen fixture: the server's time when the stepped clock starts (07:05 at UTC+3).
inline constexpr int64_t session_dt_ms = 1600056300000;

// An offer as the server sends it (the value of "order-offer"). `order` holds the nested order's fields after
// "s-id" and "l-type".
struct offer_record {
    std::string id = "O-1";
    int64_t seconds_left = 125;
    bool fineable = false;
    int fine_rating = 5;
    std::string fine_sum = "150.0";
    int reward_rating = 3;
    std::string order = R"("af":{"t":"Ленина 1"})";

    std::string json() const;
};

// A whole packet's text of one offer: {"order-offer":...}.
std::string offer_packet(const offer_record& offer);

class offer_scene : public screen_harness {
public:
    // Opens the harness on the script (a file name of tests/form/fixtures) with the offer as OFFER and its id
    // as ID, logs in and pumps until the offer panel is current.
    void open_offer(const std::string& script, const offer_record& offer,
                    std::map<std::string, std::string> values = {},
                    platform::screen_size screen = platform::screen_size{480, 800, 192});

    panel_order_offer& offer_panel();
    panel_order_offer_fine_timeout& timeout_notice();
    panel_order_offer_fine_close& close_notice();
    panel_order_offer_fine_final_rejection& final_notice();
    panel_order_offer_fine_rejection& fine_warning();

    // The server's cue for NEXT (offer_news.script): the test's "set-option" request.
    void cue();
    // How often a sound was played.
    int sound_count(int id) const;
    // The texts of one paint of the whole window that equal the text.
    std::vector<drawn_text> shown(const std::wstring& text);
};

// Readable Russian in failure messages.
std::string utf8(const std::wstring& text);

} // namespace zel::form::test
