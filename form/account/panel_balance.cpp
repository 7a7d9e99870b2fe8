#include "form/account/panel_balance.h"

#include <algorithm>

#include "controller/controller.h"
#include "form/account/color_box.h"
#include "form/controls/image_control.h"
#include "form/controls/multiline_text.h"
#include "form/controls/plate_box.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"
#include "foundation/text_utils.h"

namespace zel::form {

using controller_::controller;

namespace {

constexpr int photo_frame_id = 2005;
constexpr int car_id = 2004;
constexpr int plate_size_id = 2006;
constexpr int balance_id = 2009;

constexpr double margin = 10;
constexpr int text_size = 25;
constexpr int account_size = 30;
constexpr int balance_size = 40;
constexpr int normal_weight = 400;

constexpr unsigned grey_text = 0xCFD3D3;
constexpr unsigned orange_text = 0xF9A218;
constexpr unsigned account_text = 0xE8ECED;

constexpr unsigned single_line = 0x20;
constexpr unsigned centred_both = 0x25;
constexpr unsigned left_centred = 0x24;
constexpr unsigned right_centred = 0x26;

const std::wstring balance_caption_text = L"Баланс";

// The balance line holds the caption and eight digits with a decimal: a balance beyond is held at the range.
constexpr float largest_balance = 9999999.0f;
// The service's name wraps beside the account number in at most this many lines.
constexpr int account_caption_lines = 3;

// One line of a block of text (its font's line), 0 while it has no line.
int line_height(const multiline_text& block) {
    return block.lines().empty() ? 0 : block.text_height() / static_cast<int>(block.lines().size());
}
const std::wstring account_words = L"Счет в";

} // namespace

panel_balance::panel_balance(manager_2& form) : form_(form) {}

panel_balance::~panel_balance() = default;

void panel_balance::paint_background(Graphics& g, const rect& update) {
    paint_background_dark(g, update);
}

void panel_balance::show(const panel_param*) {
    photo_frame_ = form_image(&form_, photo_frame_id);
    car_pic_ = form_image(&form_, car_id);
    plate_size_ = form_image(&form_, plate_size_id);
    balance_pic_ = form_image(&form_, balance_id);
    read_texts();
    build();
}

void panel_balance::clear_texts() {
    driver_name_.clear();
    service_name_.clear();
    balance_.clear();
    callsign_.clear();
    car_description_.clear();
    plate_text_.clear();
    account_.clear();
}

void panel_balance::read_texts() {
    clear_texts();
    const controller* c = controller::instance();
    if (!c) {
        return;
    }
    if (const auto fix = c->get_session_fix_param()) {
        driver_name_ = fix->driver_fio;
        account_ = int64_to_wstring(fix->account);
    }
    if (const auto session = c->get_session_param()) {
        if (session->balance) {
            balance_ = float1_to_wstring(std::clamp(*session->balance, -largest_balance, largest_balance));
        }
        callsign_ = session->callsign;
        car_description_ = session->car_name + L" " + session->car_color;
        plate_text_ = session->car_regnum;
    }
    if (const auto server = c->get_current_server()) {
        service_name_ = server->n;
    }
}

void panel_balance::build() {
    const float s = form_.get_scale();
    const int m = scaled(margin, s);
    const rect& w = own_;
    const int frame_w = photo_frame_->width();
    const int frame_h = photo_frame_->height();
    const int car_w = car_pic_->width();
    const int car_h = car_pic_->height();
    const int pic_w = balance_pic_->width();
    const int pic_h = balance_pic_->height();

    // Added in paint order: each frame before the texts that lie on it.
    // The driver beside the photo frame; the call sign goes below the name once the name is wrapped. Both stay
    // beside the frame: the call sign keeps one line, the name the whole lines left above it.
    add<image_control>(1, &form_, rect{w.x + m, w.y + m, frame_w, frame_h}, photo_frame_);
    const int name_left = w.x + 2 * m + frame_w;
    const int name_width = w.w - 3 * m - frame_w;
    auto& name_box = add<multiline_text>(1, &form_, name_left, w.y + m, name_width);
    name_box.set_font(text_size, false);
    name_box.set_color(grey_text);
    name_box.set_text(driver_name_);
    auto& callsign_box = add<multiline_text>(1, &form_, name_left, w.y + m, name_width);
    callsign_box.set_font(text_size, false);
    callsign_box.set_color(orange_text);
    callsign_box.set_text(callsign_);
    const int callsign_h = line_height(callsign_box);
    callsign_box.set_max_height(callsign_h);
    const int name_line = line_height(name_box);
    const int name_h = name_line == 0 ? 0
                                      : std::min(name_box.text_height(),
                                                 std::max(frame_h - callsign_h, name_line) / name_line * name_line);
    name_box.set_max_height(name_h);
    callsign_box.set_position(name_left, w.y + m + name_h, name_width);

    // The car, its plate and its description.
    const int car_top = w.y + 2 * m + frame_h;
    add<image_control>(1, &form_, rect{w.x + m, car_top, car_w, car_h}, car_pic_);
    const int car_right = w.x + 2 * m + car_w;
    plate_ = &add<plate_box>(
        1, &form_,
        rect{car_right, car_top + car_h - plate_size_->height(), plate_size_->width(), plate_size_->height()});
    plate_->set_text(plate_text_);
    auto& car_text =
        add<text_label>(1, &form_, rect{car_right, car_top, w.w - 3 * m - car_w, car_h / 2}, car_description_);
    car_text.set_font_size(text_size);
    car_text.set_color(grey_text);
    car_text.set_format(single_line);

    // The account: its caption wraps beside the number, which is as wide as its text; the frame and the number
    // take their height from the caption's lines.
    font_holder account_font(scaled(account_size, s), normal_weight);
    const int a = text_extent(form_.get_hwnd(), account_font, account_).width;
    const int account_top = car_top + car_h + 2 * m;
    account_caption_ = account_words + L" \"" + service_name_ + L"\"";
    auto& account_frame = add<color_box>(1, &form_, rect{});
    auto& account_box = add<text_label>(1, &form_, rect{}, account_);
    account_box.set_font_size(account_size);
    account_box.set_color(account_text);
    account_box.set_format(centred_both);
    auto& account_caption_box = add<multiline_text>(1, &form_, w.x + 3 * m, account_top, w.w - 4 * m - a);
    account_caption_box.set_font(text_size, false);
    account_caption_box.set_color(grey_text);
    account_caption_box.set_text(account_caption_);
    const int account_h =
        std::min(account_caption_box.text_height(), account_caption_lines * line_height(account_caption_box));
    account_caption_box.set_max_height(account_h);
    account_box.set_rect(rect{w.x + w.w - 3 * m - a, account_top, a, account_h});
    account_frame.set_rect(rect{w.x + m, account_top - m, w.w - 2 * m, account_h + 2 * m});

    // The balance under its own frame.
    const int b = account_top + account_h + 2 * m;
    add<color_box>(1, &form_, rect{w.x + m, b - 2 * m, w.w - 2 * m, pic_h + 4 * m});
    add<image_control>(1, &form_, rect{w.x + 3 * m, b, pic_w, pic_h}, balance_pic_);
    auto& balance_caption =
        add<text_label>(1, &form_, rect{w.x + 4 * m + pic_w, b, w.w / 2, pic_h}, balance_caption_text);
    balance_caption.set_font_size(text_size);
    balance_caption.set_color(grey_text);
    balance_caption.set_format(left_centred);
    auto& balance_value = add<text_label>(1, &form_, rect{w.x + 3 * m, b - m, w.w - 6 * m, pic_h + 2 * m}, balance_);
    balance_value.set_font_size(balance_size);
    balance_value.set_color(orange_text);
    balance_value.set_format(right_centred);
}

void panel_balance::hide() {
    plate_ = nullptr;
    photo_frame_.reset();
    car_pic_.reset();
    plate_size_.reset();
    balance_pic_.reset();
    clear_texts();
}

} // namespace zel::form
