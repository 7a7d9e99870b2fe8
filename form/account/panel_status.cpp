// Sections: construction and layout | painting | worker-thread reports | commands | show and hide |
// buttons and dialogs | keep-awake timer.
#include "form/account/panel_status.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include "api/command/received/order_offer.h"
#include "api/command/received/session_param.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/controls/image_button.h"
#include "form/controls/state_button.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/dialog_request.h"
#include "form/shell/main_window.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/logger.h"
#include "foundation/power_monitor.h"
#include "foundation/server_clock.h"
#include "foundation/text_utils.h"
#include "gps/gps_manager.h"
#include "platform/gdi.h"
#include "platform/text.h"

namespace zel::form {

using controller_::controller;
namespace key = zel_api::key;

namespace {

// Skin pictures.
constexpr int background_id = 8018;
constexpr int back_normal_id = 8001;
constexpr int back_pressed_id = 8002;
constexpr int battery_first_id = 8004; // states 0..7 are 8004..8011
constexpr int connected_id = 8012;
constexpr int not_connected_id = 8013;
constexpr int spare_id = 8003;
constexpr int filter_on_id = 8015;
constexpr int filter_off_id = 8014;
constexpr int gps_fix_id = 8016;
constexpr int gps_none_id = 8017;

// Icon states.
constexpr int connected = 0;
constexpr int not_connected = 1;
constexpr int filter_on = 0;
constexpr int filter_off = 1;
constexpr int gps_none = 0;
constexpr int gps_fix = 1;

// The clock: design font height, its distance from the right edge, its grey.
constexpr double clock_font = 35.0;
constexpr double clock_right_margin = 10.0;
constexpr rgb clock_colour{149, 149, 149};
constexpr UINT clock_format = 0x26; // right, vertically centred, single line

const std::vector<int> offer_notice_ids{panel_ids::offer_timeout, panel_ids::offer_closed,
                                        panel_ids::offer_final_rejection, panel_ids::offer_rejection};
constexpr unsigned backlight_period_s = 10;
constexpr int power_period_ms = 2000;

std::wstring two_digits(int value) {
    std::wstring text = int_to_wstring(value);
    return text.size() == 1 ? L"0" + text : text;
}

bool parking_filter_on(const zel_api::command::session_param& session) {
    return session.opt_parking_filter.value_or(false);
}

} // namespace

// The GPS service's way to the strip: cut (null) once the strip is gone.
struct panel_status::gps_link {
    std::mutex lock;
    panel_status* strip = nullptr;
};

// --- construction and layout

panel_status::panel_status(manager_2& form) : form_(form) {}

panel_status::~panel_status() {
    if (gps_link_) {
        std::lock_guard<std::mutex> hold(gps_link_->lock);
        gps_link_->strip = nullptr;
    }
    monitor_.reset();
}

void panel_status::set_rects(const rect& own, const rect& screen) {
    panel_base::set_rects(own, screen);
    const skin_images* skin = form_.get_skin_images();
    auto image = [skin](int id) { return skin_images::image_of(skin, id); };

    background_ = image(background_id);
    background_->resize(own.w, background_->height());
    // A strip without its picture still gets icons and a clock of the strip's height.
    band_height_ = background_->empty() ? own.h : background_->height();

    const auto back_normal = image(back_normal_id);
    back_ = std::make_unique<image_button>(
        &form_, rect{own.x, own.y, back_normal->width(), back_normal->height()}, [this] { on_back(); }, back_normal,
        image(back_pressed_id));
    int left = own.x + back_normal->width();

    // Each icon is as wide as its first picture and as high as the strip.
    auto make_icon = [&](int width_id, std::function<void()> click) {
        const int width = image(width_id)->width();
        auto icon = std::make_unique<state_button>(&form_, rect{left, own.y, width, band_height_}, std::move(click));
        left += width;
        return icon;
    };
    battery_ = make_icon(battery_first_id, nullptr);
    for (int state = 0; state < 8; ++state) {
        battery_->set_state_image(state, image(battery_first_id + state));
    }
    connection_ = make_icon(connected_id, nullptr);
    connection_->set_state_image(connected, image(connected_id));
    connection_->set_state_image(not_connected, image(not_connected_id));
    spare_ = make_icon(spare_id, nullptr);
    spare_->set_state_image(0, image(spare_id));
    filter_ = make_icon(filter_on_id, [this] { ask_filter(); });
    filter_->set_state_image(filter_on, image(filter_on_id));
    filter_->set_state_image(filter_off, image(filter_off_id));
    gps_ = make_icon(gps_fix_id, nullptr);
    gps_->set_state_image(gps_none, image(gps_none_id));
    gps_->set_state_image(gps_fix, image(gps_fix_id));

    battery_->set_state(0);
    connection_->set_state(not_connected);
    spare_->set_state(-1); // its place stays empty
    filter_->set_state(filter_off);
    filter_->set_visible(false);
    gps_->set_state(gps_none);

    for (control* c : {static_cast<control*>(back_.get()), static_cast<control*>(battery_.get()),
                       static_cast<control*>(connection_.get()), static_cast<control*>(spare_.get()),
                       static_cast<control*>(filter_.get()), static_cast<control*>(gps_.get())}) {
        add_control(c, 1);
    }
    laid_out_.store(true, std::memory_order_release);
}

rect panel_status::clock_rect() const {
    const float scale = form_.get_scale();
    const int x = own_.x;
    const int w = own_.w;
    return rect{static_cast<int>((x + w - w / 2) - clock_right_margin * scale), own_.y, w / 2, band_height_};
}

// --- painting

void panel_status::paint_layer1(Graphics& g, const rect& update) {
    const rect area = intersection(update, own_);
    if (area.w == 0 || area.h == 0) {
        return;
    }
    g.save();
    g.clip_to(area);
    panel_base::paint_layer1(g, area);
    g.restore();
}

void panel_status::paint_background(Graphics& g, const rect&) {
    if (background_) {
        background_->draw(g, screen_.x, screen_.y);
    }
    const controller* c = controller::instance();
    if (!c || !c->get_session_param()) {
        return;
    }
    const auto clock = c->get_server_clock();
    if (!clock) {
        return;
    }
    const int64_t local = clock->server_now() + clock->server_seconds();
    font_holder font(static_cast<int>(clock_font * form_.get_scale()), 400);
    g.draw_text(font, clock_rect(), clock_text(local), clock_format, TRANSPARENT, clock_colour);
}

std::wstring panel_status::clock_text(int64_t local_seconds) {
    return two_digits(unix_time_hour(local_seconds)) + L":" + two_digits(unix_time_minute(local_seconds));
}

// --- worker-thread reports

int panel_status::battery_state(bool mains_online, uint8_t battery_percent) {
    if (battery_percent > 100) {
        return 0;
    }
    int state = 0;
    if (battery_percent < 30) {
        state = 3;
    } else if (battery_percent < 50) {
        state = 2;
    } else if (battery_percent < 70) {
        state = 1;
    }
    return mains_online ? state + 4 : state;
}

int panel_status::gps_state(float accuracy) {
    // Compared as the float it is: 49.9f widened to a double lies just above 49.9, which would turn a reported
    // 49.9 into no fix.
    return accuracy <= 49.9f ? gps_fix : gps_none;
}

void panel_status::on_power_state(bool mains_online, uint8_t battery_percent) {
    if (!laid_out_.load(std::memory_order_acquire)) {
        return;
    }
    const int state = battery_state(mains_online, battery_percent);
    if (battery_->state() != state) {
        battery_->set_state(state);
    }
    // The clock has no timer of its own: the power reports keep it current.
    form_.invalidate_rect(clock_rect());
}

void panel_status::on_gps_position(const gps::location& position) {
    log(logger::info, L"panel_status::on_gps_position");
    char line[256];
    std::snprintf(line, sizeof line, "%.2f %.2f %.2f %.2f %.2f %.2f %.2f", static_cast<double>(position.accuracy),
                  position.altitude, position.latitude, position.longitude, static_cast<double>(position.speed),
                  static_cast<double>(position.delivery_time), static_cast<double>(position.gps_time));
    log(logger::info, utf8_to_wide(line));
    if (!laid_out_.load(std::memory_order_acquire)) {
        return;
    }
    const int state = gps_state(position.accuracy);
    if (gps_->state() != state) {
        gps_->set_state(state);
    }
}

// --- commands

void panel_status::on_command(const zel_api::update_mask& mask) {
    if (!laid_out_.load(std::memory_order_acquire)) {
        return;
    }
    controller* c = controller::instance();
    if (mask.test(key::disconnect_local)) {
        connection_->set_state(not_connected);
    }
    if (mask.test(key::cmd_result)) {
        if (const auto* result = mask.result_of(key::login)) {
            if (result->ok) {
                connection_->set_state(connected);
            } else if (!form_.has_panel(panel_ids::login)) {
                // The PIN screen raises its own dialog; this one is for the automatic logins again.
                form_.push_panel(panel_ids::dialog,
                                 std::make_shared<dialog_request>(dialog_request::message, result->err,
                                                                  [this](int answer) { on_dialog_closed(answer); }));
            }
        }
        // Whatever the command: every request locked the GUI once.
        form_.unlock();
    }
    if (mask.test(key::session_param) && c && c->get_session_param()) {
        update_filter_switch();
    }
    if (mask.test(key::order_offer) && c) {
        if (const auto offer = c->get_order_offer()) {
            // One offer panel: a second one below would show its stale offer again, take button and all, once
            // the top one is answered. The notices over it concern the replaced offer.
            if (!form_.raise_panel(panel_ids::order_offer, make_text_param(offer->s_order_id), offer_notice_ids)) {
                form_.push_panel(panel_ids::order_offer, make_text_param(offer->s_order_id));
            }
        }
    }
}

void panel_status::update_filter_switch() {
    const controller* c = controller::instance();
    const auto session = c ? c->get_session_param() : nullptr;
    if (!session) {
        filter_->set_visible(false);
        return;
    }
    filter_->set_visible(true);
    filter_->set_enabled(true);
    const int state = parking_filter_on(*session) ? filter_on : filter_off;
    if (filter_->state() != state) {
        filter_->set_state(state);
    }
}

// --- show and hide

void panel_status::show(const panel_param*) {
    if (!laid_out_.load(std::memory_order_acquire)) {
        return;
    }
    if (!monitor_) {
        monitor_ = std::make_unique<power_monitor>(
            [this](bool mains_online, uint8_t percent) { on_power_state(mains_online, percent); }, power_period_ms);
    }
    if (!gps_link_) {
        gps_link_ = std::make_shared<gps_link>();
        gps_link_->strip = this;
        gps::gps_manager::instance().subscribe([link = gps_link_](const gps::location& position) {
            std::lock_guard<std::mutex> hold(link->lock);
            if (link->strip) {
                link->strip->on_gps_position(position);
            }
        });
    }
    if (backlight_timer_ == -1) {
        backlight_timer_ = form_.set_timer(backlight_period_s, [this] { keep_backlight(); });
    }

    const controller* c = controller::instance();
    const int link = c && c->is_connected() ? connected : not_connected;
    if (connection_->state() != link) {
        connection_->set_state(link);
    }
    update_filter_switch();
}

void panel_status::hide() {
    monitor_.reset();
}

// --- buttons and dialogs

int panel_status::on_back() {
    const int top = form_.top_panel().id;
    if (top != panel_ids::dialog && top != panel_ids::order_offer) {
        form_.back();
    }
    return 1;
}

void panel_status::ask_filter() {
    const controller* c = controller::instance();
    const auto session = c ? c->get_session_param() : nullptr;
    if (!session) {
        return;
    }
    if (parking_filter_on(*session)) {
        form_.push_panel(panel_ids::dialog,
                         std::make_shared<dialog_request>(dialog_request::question, L"Выключить фильтр?",
                                                          [this](int answer) { on_filter_off(answer); }));
    } else {
        form_.push_panel(panel_ids::dialog,
                         std::make_shared<dialog_request>(dialog_request::question, L"Включить фильтр?",
                                                          [this](int answer) { on_filter_on(answer); }));
    }
}

void panel_status::on_filter_on(int answer) {
    answer_filter(answer, true);
}

void panel_status::on_filter_off(int answer) {
    answer_filter(answer, false);
}

// The switch keeps its picture until the server's new session parameters tell the outcome; the "cmd-result"
// of the request unlocks.
void panel_status::answer_filter(int answer, bool on) {
    form_.pop_panel();
    controller* c = controller::instance();
    if (answer == 0 || !c) {
        return;
    }
    form_.lock();
    c->set_option_1022(on);
}

void panel_status::on_dialog_closed(int) {
    form_.pop_panel();
}

// --- keep-awake timer

void panel_status::keep_backlight() {
    signal_user_activity();
}

} // namespace zel::form
