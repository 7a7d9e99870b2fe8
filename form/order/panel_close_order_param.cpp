// Sections: layout | show and hide | keys.
#include "form/order/panel_close_order_param.h"

#include <cmath>
#include <cstdio>

#include "api/bill_record.h"
#include "controller/controller.h"
#include "form/controls/keypad.h"
#include "form/controls/keypad_dialog.h"
#include "form/controls/radio_group.h"
#include "form/drawing/drawing.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/order/bill_money.h"
#include "form/order/value_radio_button.h"
#include "form/shell/manager_2.h"
#include "foundation/logger.h"

namespace zel::form {

using controller_::controller;
using zel_api::bill_record;

namespace {

// --- layout numbers (design pixels)

constexpr double row_design_height = 110.0;
constexpr double keypad_bottom_gap = 6.0; // the portrait keypad stops this far above the work area's bottom

// The figure with "." as its decimal point whatever the locale, as the keys type it.
std::wstring format(const wchar_t* pattern, double value) {
    wchar_t text[64];
    std::swprintf(text, 64, pattern, value);
    std::wstring out = text;
    for (wchar_t& c : out) {
        if (c == L',') {
            c = L'.';
        }
    }
    return out;
}

} // namespace

panel_close_order_param::panel_close_order_param(manager_2& form) : form_(form) {}

panel_close_order_param::~panel_close_order_param() {
    release();
}

// --- layout

rect panel_close_order_param::rows_area() const {
    return own_rect();
}

rect panel_close_order_param::keypad_area(int row_height) const {
    const rect& R = own_rect();
    return {R.x, R.y + 3 * row_height, R.w, R.h - 3 * row_height - scaled(keypad_bottom_gap, form_.get_scale())};
}

void panel_close_order_param::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

// --- show and hide

void panel_close_order_param::show(const panel_param*) {
    const float s = form_.get_scale();
    const skin_images* skin = form_.get_skin_images();
    const int image_ids[3] = {2188, 2187, 2189};
    for (int i = 0; i < 3; ++i) {
        images_[i] = skin_images::image_of(skin, image_ids[i]);
    }
    const int row_h = scaled(row_design_height, s);
    const rect A = rows_area();

    controller* ctl = controller::instance();
    const std::shared_ptr<bill_record> bill = ctl ? ctl->get_bill() : nullptr;
    const int64_t mode = bill ? bill->tariff_mode_ref() : 0;
    const bool shown[3] = {(mode & bill_record::mode_total) != 0, (mode & bill_record::mode_distance_downtime) != 0,
                           (mode & bill_record::mode_distance_downtime) != 0};

    group_ = std::make_unique<radio_group>();
    const wchar_t* captions[3] = {L"Сумма", L"Расстояние", L"Простой"};
    std::function<void()> selects[3] = {[this] { on_select_sum(); }, [this] { on_select_distance(); },
                                        [this] { on_select_downtime(); }};
    // Shown rows one under another from the top; a hidden row keeps its own slot.
    int next = 0;
    for (int i = 0; i < 3; ++i) {
        const int slot = shown[i] ? next++ : i;
        rows_[i] = &add<value_radio_button>(1, &form_, rect{A.x, A.y + slot * row_h, A.w, row_h}, selects[i],
                                            images_[i], captions[i], group_.get());
        group_->add(rows_[i]);
        rows_[i]->set_value(L"0");
        rows_[i]->set_visible(shown[i]);
        rows_[i]->set_enabled(shown[i]);
        changed_[i] = false;
    }
    rows_[distance_row]->set_mode(1);

    keys_ = &add<keypad_dialog>(1, &form_, keypad_area(row_h));
    keys_->set_callback([this](int key) { on_keypad(key); });
    keys_->set_visible(true);
    keys_->set_enabled(true);
    active_ = no_row;

    if (!bill) {
        log(logger::warning, L"panel_close_order_param::show: no bill");
        return;
    }
    rows_[sum_row]->set_value(format(L"%.0f", whole_roubles(bill->total_ref())));
    rows_[distance_row]->set_value(format(L"%.1f", bill->distance_ref() * 0.001));
    rows_[downtime_row]->set_value(format(L"%.0f", bill->downtime_seconds_ref() / 60));
}

void panel_close_order_param::hide() {
    release();
}

void panel_close_order_param::release() {
    // The controls are the panel base's: the clear after hide destroys them.
    keys_ = nullptr;
    for (auto& r : rows_) {
        r = nullptr;
    }
    group_.reset();
    for (auto& image : images_) {
        image.reset();
    }
    active_ = no_row;
}

// --- keys

void panel_close_order_param::on_select_sum() {
    select(sum_row);
}

void panel_close_order_param::on_select_distance() {
    select(distance_row);
}

void panel_close_order_param::on_select_downtime() {
    select(downtime_row);
}

void panel_close_order_param::select(int index) {
    active_ = index;
    if (keys_) {
        keys_->set_point_enabled(index == distance_row);
    }
}

bool panel_close_order_param::parse_decimal(const std::wstring& text, double& value) {
    double whole = 0;
    double fraction = 0;
    double step = 1;
    bool point = false;
    bool digit = false;
    for (const wchar_t c : text) {
        if (c == L'.' && !point) {
            point = true;
        } else if (c >= L'0' && c <= L'9') {
            digit = true;
            if (point) {
                step /= 10;
                fraction += (c - L'0') * step;
            } else {
                whole = whole * 10 + (c - L'0');
            }
        } else {
            return false;
        }
    }
    if (!digit) {
        return false;
    }
    value = whole + fraction;
    return true;
}

void panel_close_order_param::apply() {
    controller* ctl = controller::instance();
    const std::shared_ptr<bill_record> bill = ctl ? ctl->get_bill() : nullptr;
    if (!bill) {
        log(logger::warning, L"panel_close_order_param::apply: no bill, nothing written");
        return;
    }
    const int64_t mode = bill->tariff_mode_ref();
    double value = 0;
    auto read = [&](int index) {
        if (!changed_[index]) {
            return false;
        }
        if (!parse_decimal(rows_[index]->value_text(), value)) {
            log(logger::warning, L"panel_close_order_param::apply: not a number, kept: " + rows_[index]->value_text());
            return false;
        }
        return true;
    };
    if ((mode & bill_record::mode_total) != 0 && read(sum_row)) {
        bill->set_total(static_cast<float>(static_cast<int32_t>(value)));
    }
    if ((mode & bill_record::mode_distance_downtime) != 0) {
        if (read(distance_row)) {
            bill->set_distance(static_cast<float>(std::lround(value * 1000.0)));
        }
        if (read(downtime_row)) {
            bill->set_downtime_seconds(static_cast<int32_t>(value) * 60);
        }
    }
}

void panel_close_order_param::on_keypad(int key) {
    if (key == keypad_dialog::ok_code) {
        apply();
        form_.pop_panel();
        return;
    }
    if (key == keypad_dialog::cancel_code) {
        form_.pop_panel();
        return;
    }
    if (active_ == no_row || !keys_ || key < 0 || key > keypad::erase_key) {
        return;
    }
    value_radio_button& r = *rows_[active_];
    std::wstring text = r.value_text();
    if (key == keypad::erase_key) {
        if (!text.empty()) {
            text.pop_back();
        }
    } else {
        const std::wstring typed = keys_->key_caption(key);
        if (text == L"0" && typed != L".") {
            text.clear();
        }
        text += typed;
    }
    const std::wstring before = r.value_text();
    r.set_value(text);
    if (r.value_text() != before) {
        changed_[active_] = true;
    }
}

} // namespace zel::form
