// Sections: layout | show and hide | keys | the login's answer.
#include "form/account/panel_login.h"

#include "api/command/received/cmd_result.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/account/login_param.h"
#include "form/controls/keypad.h"
#include "form/controls/state_button.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/dialog_request.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/logger.h"

namespace zel::form {

using controller_::controller;

namespace {

// Pictures: the empty indicator (its size places the row), and the indicator of each state.
constexpr int size_image_id = 1013;
constexpr std::array<int, 3> state_image_ids = {1013, 1016, 1015};
constexpr int state_empty = 0;
constexpr int state_filled = 1;

// Design heights of the two label lines and their fonts.
constexpr double name_height = 45;
constexpr double prompt_height = 34;
constexpr int name_font = 38;
constexpr unsigned name_colour = 0xEDEDED;
constexpr int prompt_font = 30;
constexpr unsigned prompt_colour = 0xFFFFFF;
constexpr int keypad_margin = 5;
constexpr wchar_t prompt_text[] = L"Введите PIN";

} // namespace

// --- layout

panel_login::layout panel_login::portrait_layout(const rect& area, float scale, int gap, int indicator_w,
                                                 int indicator_h) {
    const int name_h = scaled(name_height, scale);
    const int prompt_h = scaled(prompt_height, scale);
    const int cx = area.x + area.w / 2;
    const int top = area.y + name_h + prompt_h + gap;
    layout l;
    l.name = {area.x, area.y, area.w, name_h};
    l.prompt = {area.x, area.y + name_h, area.w, prompt_h};
    const int lefts[4] = {cx - 2 * indicator_w - gap / 2 - gap, cx - gap / 2 - indicator_w, cx + gap / 2,
                          cx + gap / 2 + indicator_w + gap};
    for (std::size_t i = 0; i < 4; ++i) {
        l.indicators[i] = {lefts[i], top, indicator_w, indicator_h};
    }
    const int keys_top = top + indicator_h + indicator_h / 4;
    l.keypad = {area.x + keypad_margin, keys_top, area.w - 2 * keypad_margin,
                (area.y + area.h - keypad_margin) - keys_top};
    return l;
}

panel_login::layout panel_login::lay_out(int gap, int indicator_w, int indicator_h) const {
    return portrait_layout(own_, form_.get_scale(), gap, indicator_w, indicator_h);
}

// --- show and hide

panel_login::panel_login(manager_2& form) : form_(form) {}

panel_login::~panel_login() = default;

void panel_login::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

bool panel_login::server_known(
    const std::vector<std::shared_ptr<const zel_api::command::obj_device_server>>& servers) const {
    if (server_index_ < servers.size() && servers[server_index_]) {
        return true;
    }
    log(logger::warning, L"panel_login: the server index " + std::to_wstring(server_index_) + L" names none of the " +
                             std::to_wstring(servers.size()) + L" dispatch servers; back to the start panel");
    return false;
}

void panel_login::back_to_start() {
    form_.pop_to_first_quiet();
    form_.push_panel(panel_ids::start);
}

void panel_login::show(const panel_param* param) {
    pin_.clear();
    dialog_raised_ = false;
    controller* c = controller::instance();
    servers_ = c ? c->get_device_servers() : decltype(servers_){};
    const auto* chosen = param_as<login_param>(param);
    server_index_ = chosen ? chosen->server_index : static_cast<std::uint32_t>(-1);
    driver_id_ = chosen ? chosen->driver_id : 0;
    // The list may have changed since the call sign screen took the index: logging in on an entry that is not
    // there would send "login" for organisation 0.
    if (!server_known(servers_)) {
        back_to_start();
        return;
    }

    const skin_images* skin = form_.get_skin_images();
    size_image_ = skin_images::image_of(skin, size_image_id);
    for (std::size_t i = 0; i < state_images_.size(); ++i) {
        state_images_[i] = skin_images::image_of(skin, state_image_ids[i]);
    }
    const int iw = size_image_->width();
    const int ih = size_image_->height();
    if (gap_ < 0) {
        gap_ = iw / 11;
    }
    const layout l = lay_out(gap_, iw, ih);

    name_ = &add<text_label>(1, &form_, l.name, L"");
    name_->set_font_size(name_font);
    name_->set_color(name_colour);
    auto& prompt = add<text_label>(1, &form_, l.prompt, prompt_text);
    prompt.set_font_size(prompt_font);
    prompt.set_color(prompt_colour);
    for (std::size_t i = 0; i < indicators_.size(); ++i) {
        indicators_[i] = &add<state_button>(1, &form_, l.indicators[i], [] {});
        for (std::size_t state = 0; state < state_images_.size(); ++state) {
            indicators_[i]->set_state_image(static_cast<int>(state), state_images_[state]);
        }
        indicators_[i]->set_visible(true);
        indicators_[i]->set_state(state_empty);
    }
    keypad_ = &add<keypad>(1, &form_, l.keypad);
    keypad_->set_point_enabled(false);
    keypad_->set_callback([this](int key) { on_key(key); });

    name_->set_text(servers_[server_index_]->n, 400);
}

void panel_login::hide() {
    name_ = nullptr;
    indicators_.fill(nullptr);
    keypad_ = nullptr;
    size_image_.reset();
    for (auto& image : state_images_) {
        image.reset();
    }
}

// --- keys

void panel_login::set_indicators() {
    for (std::size_t i = 0; i < indicators_.size(); ++i) {
        if (indicators_[i]) {
            indicators_[i]->set_state(i < pin_.size() ? state_filled : state_empty);
        }
    }
}

void panel_login::on_key(int key) {
    if (key == keypad::erase_key) {
        if (!pin_.empty()) {
            pin_.pop_back();
        }
    } else if (const wchar_t digit = keypad::digit_of(key); digit != 0 && pin_.size() < pin_length) {
        pin_.push_back(digit);
    }
    set_indicators();
    if (pin_.size() != pin_length) {
        return;
    }
    controller* c = controller::instance();
    if (!c) {
        return;
    }
    if (!server_known(c->get_device_servers())) {
        back_to_start();
        return;
    }
    form_.lock();
    c->connect_org(static_cast<int32_t>(server_index_), pin_, driver_id_);
}

// --- the login's answer

void panel_login::on_command(const zel_api::update_mask& mask) {
    if (!mask.test(zel_api::key::cmd_result)) {
        return;
    }
    if (const auto* result = mask.result_of(zel_api::key::login)) {
        if (result->ok) {
            form_.pop_to_first();
        } else {
            refused(result->err);
        }
    } else {
        // The answer of another request (or none) is not the login's: it unlocks, as the strip does, and the PIN
        // goes with it, so that the next key starts a new PIN instead of sending the old one again.
        pin_.clear();
        set_indicators();
    }
    form_.unlock();
}

void panel_login::refused(const std::wstring& error) {
    pin_.clear();
    set_indicators();
    // A second refusal before the dialog is up raises no second one.
    if (dialog_raised_) {
        return;
    }
    form_.push_panel(panel_ids::dialog,
                     std::make_shared<dialog_request>(dialog_request::message, error,
                                                      [this](int answer) { on_dialog_closed(answer); }));
    dialog_raised_ = true;
    form_.play_sound(4);
    if (controller* c = controller::instance()) {
        c->disconnect();
        c->set_server_index(-1);
    }
}

void panel_login::on_dialog_closed(int) {
    form_.pop_panel();
}

} // namespace zel::form
