#include "form/account/panel_balance.h"

#include <algorithm>

#include "controller/controller.h"
#include "form/color_box.h"
#include "form/drawing.h"
#include "form/font_holder.h"
#include "form/image.h"
#include "form/image_control.h"
#include "form/manager_2.h"
#include "form/multiline_text.h"
#include "form/plate_box.h"
#include "form/text_label.h"
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

    // The driver beside the photo frame; the call sign goes below the name once the name is wrapped. Both stay
    // beside the frame: the call sign keeps one line, the name the whole lines left above it.
    photo_box_ = std::make_unique<image_control>(&form_, rect{w.x + m, w.y + m, frame_w, frame_h}, photo_frame_);
    const int name_left = w.x + 2 * m + frame_w;
    const int name_width = w.w - 3 * m - frame_w;
    callsign_box_ = std::make_unique<multiline_text>(&form_, name_left, w.y + m, name_width);
    callsign_box_->set_font(text_size, false);
    callsign_box_->set_color(orange_text);
    callsign_box_->set_text(callsign_);
    const int callsign_h = line_height(*callsign_box_);
    callsign_box_->set_max_height(callsign_h);
    name_box_ = std::make_unique<multiline_text>(&form_, name_left, w.y + m, name_width);
    name_box_->set_font(text_size, false);
    name_box_->set_color(grey_text);
    name_box_->set_text(driver_name_);
    const int name_line = line_height(*name_box_);
    const int name_h = name_line == 0 ? 0
                                      : std::min(name_box_->text_height(),
                                                 std::max(frame_h - callsign_h, name_line) / name_line * name_line);
    name_box_->set_max_height(name_h);
    callsign_box_->set_position(name_left, w.y + m + name_h, name_width);

    // The car, its description and its plate.
    const int car_top = w.y + 2 * m + frame_h;
    car_box_ = std::make_unique<image_control>(&form_, rect{w.x + m, car_top, car_w, car_h}, car_pic_);
    const int car_right = w.x + 2 * m + car_w;
    plate_ = std::make_unique<plate_box>(
        &form_, rect{car_right, car_top + car_h - plate_size_->height(), plate_size_->width(), plate_size_->height()});
    plate_->set_text(plate_text_);
    car_text_ = std::make_unique<text_label>(&form_, rect{car_right, car_top, w.w - 3 * m - car_w, car_h / 2},
                                             car_description_);
    car_text_->set_font_size(text_size);
    car_text_->set_color(grey_text);
    car_text_->set_format(single_line);

    // The account: its caption wraps beside the number, which is as wide as its text.
    font_holder account_font(scaled(account_size, s), normal_weight);
    const int a = text_extent(form_.get_hwnd(), account_font, account_).width;
    const int account_top = car_top + car_h + 2 * m;
    account_caption_ = account_words + L" \"" + service_name_ + L"\"";
    account_caption_box_ = std::make_unique<multiline_text>(&form_, w.x + 3 * m, account_top, w.w - 4 * m - a);
    account_caption_box_->set_font(text_size, false);
    account_caption_box_->set_color(grey_text);
    account_caption_box_->set_text(account_caption_);
    const int account_h =
        std::min(account_caption_box_->text_height(), account_caption_lines * line_height(*account_caption_box_));
    account_caption_box_->set_max_height(account_h);
    account_box_ =
        std::make_unique<text_label>(&form_, rect{w.x + w.w - 3 * m - a, account_top, a, account_h}, account_);
    account_box_->set_font_size(account_size);
    account_box_->set_color(account_text);
    account_box_->set_format(centred_both);
    account_frame_ =
        std::make_unique<color_box>(&form_, rect{w.x + m, account_top - m, w.w - 2 * m, account_h + 2 * m});

    // The balance under its own frame.
    const int b = account_top + account_h + 2 * m;
    balance_frame_ = std::make_unique<color_box>(&form_, rect{w.x + m, b - 2 * m, w.w - 2 * m, pic_h + 4 * m});
    balance_box_ = std::make_unique<image_control>(&form_, rect{w.x + 3 * m, b, pic_w, pic_h}, balance_pic_);
    balance_caption_ =
        std::make_unique<text_label>(&form_, rect{w.x + 4 * m + pic_w, b, w.w / 2, pic_h}, balance_caption_text);
    balance_caption_->set_font_size(text_size);
    balance_caption_->set_color(grey_text);
    balance_caption_->set_format(left_centred);
    balance_value_ =
        std::make_unique<text_label>(&form_, rect{w.x + 3 * m, b - m, w.w - 6 * m, pic_h + 2 * m}, balance_);
    balance_value_->set_font_size(balance_size);
    balance_value_->set_color(orange_text);
    balance_value_->set_format(right_centred);

    // Each frame goes before the texts that lie on it.
    for (control* c : {static_cast<control*>(photo_box_.get()), static_cast<control*>(name_box_.get()),
                       static_cast<control*>(callsign_box_.get()), static_cast<control*>(car_box_.get()),
                       static_cast<control*>(plate_.get()), static_cast<control*>(car_text_.get()),
                       static_cast<control*>(account_frame_.get()), static_cast<control*>(account_box_.get()),
                       static_cast<control*>(account_caption_box_.get()), static_cast<control*>(balance_frame_.get()),
                       static_cast<control*>(balance_box_.get()), static_cast<control*>(balance_caption_.get()),
                       static_cast<control*>(balance_value_.get())}) {
        add_control(c, 1);
    }
}

void panel_balance::hide() {
    photo_box_.reset();
    name_box_.reset();
    callsign_box_.reset();
    car_box_.reset();
    plate_.reset();
    car_text_.reset();
    account_caption_box_.reset();
    account_box_.reset();
    account_frame_.reset();
    balance_frame_.reset();
    balance_box_.reset();
    balance_caption_.reset();
    balance_value_.reset();
    photo_frame_.reset();
    car_pic_.reset();
    plate_size_.reset();
    balance_pic_.reset();
    clear_texts();
}

} // namespace zel::form
