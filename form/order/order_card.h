// order_card: the order box of the on-the-way and waiting screens: order_info_with_timer and, on its caption
// line from the right, the time box of an order at a fixed time (the minutes or hours left and the clock time
// of the order, by the server's clock), the kind icon ("sms") and the count icon ("ccs", else "cc"). UI thread
// only; the server clock is read through the controller at each paint.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "form/order/order_info_with_timer.h"

namespace zel::form {

class order_card : public order_info_with_timer {
public:
    order_card(manager_2* form, const rect& r, std::function<void()> on_call);
    ~order_card() override;

    void paint_info(Graphics& g) override;
    void set_figures(int32_t cc, int32_t ccs) override {
        cc_ = cc;
        ccs_ = ccs;
    }
    void set_kind(int32_t sms) override {
        kind_ = sms;
    }
    // Milliseconds since 1970 by the server's clock; -1: no time box.
    void set_time(int64_t tt) override {
        time_ = tt;
    }

    // The skin ids of the icons these inputs choose.
    static int count_icon(int32_t cc, int32_t ccs);
    static int kind_icon(int32_t sms);
    // The time box's rectangle at the last paint (empty when none was drawn).
    const rect& time_box_rect() const {
        return time_box_;
    }

private:
    void draw_info(Graphics& g, const rect& box);

    // Skin pictures 7025 (the time box) to 7041 (the last kind icon), by id - 7025.
    std::array<std::shared_ptr<Image>, 17> pictures_;
    int32_t ccs_ = -1;
    int32_t cc_ = -1;
    int32_t kind_ = -1;
    int64_t time_ = -1;
    rect time_box_{};
};

} // namespace zel::form
