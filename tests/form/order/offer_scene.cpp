#include "tests/form/order/offer_scene.h"

#include <algorithm>

#include "foundation/text_utils.h"

namespace zel::form::test {

std::string offer_record::json() const {
    return R"({"s-order-id":")" + id + R"(","deadline-time":)" + std::to_string(session_dt_ms + seconds_left * 1000) +
           R"(,"fineable":)" + (fineable ? "1" : "0") + R"(,"fine-rating":)" + std::to_string(fine_rating) +
           R"(,"fine-sum":)" + fine_sum + R"(,"reward-rating":)" + std::to_string(reward_rating) +
           R"(,"order":{"s-id":")" + id + R"(","l-type":1)" + (order.empty() ? "" : "," + order) + "}}";
}

std::string offer_packet(const offer_record& offer) {
    return R"({"order-offer":)" + offer.json() + "}";
}

std::string utf8(const std::wstring& text) {
    return wide_to_utf8(text);
}

void offer_scene::open_offer(const std::string& script, const offer_record& offer,
                             std::map<std::string, std::string> values, platform::screen_size screen) {
    screen_options options;
    options.screen = screen;
    options.dispatch_script = "tests/form/fixtures/" + script;
    options.values = std::move(values);
    options.values["OFFER"] = offer.json();
    options.values["ID"] = offer.id;
    open(options);
    log_in();
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == 30; })) << dispatch_server->transcript();
}

panel_order_offer& offer_scene::offer_panel() {
    return static_cast<panel_order_offer&>(*manager->panel_for(30));
}

panel_order_offer_fine_timeout& offer_scene::timeout_notice() {
    return static_cast<panel_order_offer_fine_timeout&>(*manager->panel_for(31));
}

panel_order_offer_fine_close& offer_scene::close_notice() {
    return static_cast<panel_order_offer_fine_close&>(*manager->panel_for(32));
}

panel_order_offer_fine_final_rejection& offer_scene::final_notice() {
    return static_cast<panel_order_offer_fine_final_rejection&>(*manager->panel_for(33));
}

panel_order_offer_fine_rejection& offer_scene::fine_warning() {
    return static_cast<panel_order_offer_fine_rejection&>(*manager->panel_for(34));
}

void offer_scene::cue() {
    ctl().set_option_1022(true);
}

int offer_scene::sound_count(int id) const {
    const auto all = sounds();
    return static_cast<int>(std::count(all.begin(), all.end(), id));
}

std::vector<drawn_text> offer_scene::shown(const std::wstring& text) {
    std::vector<drawn_text> found;
    for (const drawn_text& t : screen_texts()) {
        if (t.text == text) {
            found.push_back(t);
        }
    }
    return found;
}

} // namespace zel::form::test
