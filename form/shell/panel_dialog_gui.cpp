#include "form/shell/panel_dialog_gui.h"

#include <algorithm>

#include "form/controls/frame_text_button.h"
#include "form/controls/image_control.h"
#include "form/controls/multiline_text.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/dialog_request.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

enum { bottom, middle, top, spare_icon, message_icon, question_icon };
constexpr int image_ids[6] = {2019, 2020, 2021, 2022, 2023, 2024};

// Design lengths (ints, so each product with the scale stays a float): the box's inset from the work area's
// sides, the margin inside it, the text's and the buttons' inset from the box's sides, a button's height.
constexpr int box_inset = 20;
constexpr int margin = 10;
constexpr int side_inset = 20;
constexpr int button_height = 70;
// A button is half the box less this; the title is this share of the icon's height.
constexpr int button_shrink = 30;
constexpr double title_share = 0.65;

constexpr int title_size = 30;
constexpr int text_size = 30;
constexpr int button_size = 35;
constexpr int bold = 700;
constexpr unsigned text_colour = 0xFFFFFF;
// DrawText flags: one line, left and vertically centred.
constexpr unsigned title_format = 36;
constexpr int message_sound = 3;

} // namespace

panel_dialog_gui::panel_dialog_gui(manager_2& form) : form_(form) {}

panel_dialog_gui::~panel_dialog_gui() = default;

void panel_dialog_gui::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

image_control* panel_dialog_gui::icon() const {
    if (!request_) {
        return nullptr;
    }
    return pieces_[request_->kind == dialog_request::message ? message_icon : question_icon];
}

void panel_dialog_gui::show(const panel_param* param) {
    request_ = param_as<dialog_request>(param);
    const skin_images* skin = form_.get_skin_images();
    for (int i = 0; i < 6; ++i) {
        images_[i] = skin_images::image_of(skin, image_ids[i]);
    }
    title_ = &add<text_label>(2, &form_, rect{}, L"");
    title_->set_font_size(title_size);
    title_->set_color(text_colour);
    no_ = &add<frame_text_button>(
        2, &form_, rect{}, [this] { on_no(); }, L"Нет");
    yes_ = &add<frame_text_button>(
        2, &form_, rect{}, [this] { on_yes(); }, L"Да");
    ok_ = &add<frame_text_button>(
        2, &form_, rect{}, [this] { on_ok(); }, L"Ok");
    for (frame_text_button* b : {no_, yes_, ok_}) {
        b->set_visible(false);
        b->set_font(button_size, bold);
    }
    body_ = &add<multiline_text>(2, &form_, 0, 0, 0);
    body_->set_color(text_colour);
    body_->set_font(text_size, false);
    const int width = own_.w - scaled(box_inset, form_.get_scale());
    for (int piece : {bottom, middle, top}) {
        images_[piece]->resize(width, images_[piece]->height());
    }
    // The frame's pieces under everything, the icons (only the one the request asks for is shown) on top.
    for (int piece : {bottom, middle, top}) {
        pieces_[piece] = &add<image_control>(1, &form_, rect{}, images_[piece]);
    }
    for (int icon : {question_icon, message_icon, spare_icon}) {
        pieces_[icon] = &add<image_control>(2, &form_, rect{}, images_[icon]);
        pieces_[icon]->set_visible(false);
    }
    if (!request_) {
        return; // nothing to ask: an empty box that any stack change removes
    }
    lay_out();
    if (request_->kind == dialog_request::message) {
        form_.play_sound(message_sound);
    }
}

void panel_dialog_gui::lay_out() {
    const float s = form_.get_scale();
    const int m = scaled(margin, s);
    Image& bottom_image = *images_[bottom];
    Image& top_image = *images_[top];
    const int W = bottom_image.width();
    const int X = own_.x, Y = own_.y, Wo = own_.w, Ho = own_.h;

    body_->set_position(0, 0, W - 8 * m);
    body_->set_text(request_->text);
    int T = body_->get_rect_c().h;
    const int H0 = bottom_image.height() + 2 * m + images_[spare_icon]->height();
    if (T + H0 > Ho - 2 * m) {
        // The design let T go negative on small screens, which the text reads as no maximum.
        T = std::max(0, Ho - 2 * m - H0);
        body_->set_max_height(T);
    }
    const int half = (H0 + T) / 2;
    const int x0 = Wo / 2 - W / 2 + X;
    const int y0 = Ho / 2 - half + Y;
    pieces_[top]->set_rect({x0, y0, W, top_image.height()});
    const int y1 = Ho / 2 - bottom_image.height() / 2 + Y + half;
    pieces_[bottom]->set_rect({x0, y1, W, bottom_image.height()});
    images_[middle]->resize(W, y1 - top_image.height() - y0);
    pieces_[middle]->set_rect({x0, y0 + top_image.height(), W, images_[middle]->height()});

    const bool message = request_->kind == dialog_request::message;
    Image& icon_image = *images_[question_icon];
    const rect icon{x0 + m, y0 + m, icon_image.width(), icon_image.height()};
    image_control* shown = pieces_[message ? message_icon : question_icon];
    shown->set_rect(icon);
    shown->set_visible(true);
    title_->set_rect({icon.x + icon.w + m, icon.y, W - 3 * m - icon.w, static_cast<int>(title_share * icon.h)});
    title_->set_format(title_format);
    title_->set_text(message ? L"Сообщение" : L"Внимание", bold);
    body_->set_position(static_cast<int>(side_inset * s + x0 + m), icon.y + icon.h,
                        static_cast<int>(W - 2 * side_inset * s - 2 * m));

    const int bh = static_cast<int>(button_height * s);
    const int bw = static_cast<int>(W / 2 - button_shrink * s);
    const int by = static_cast<int>(y1 + bottom_image.height() - side_inset * s - bh);
    no_->set_rect({static_cast<int>(side_inset * s + x0), by, bw, bh});
    yes_->set_rect({static_cast<int>(x0 + W - side_inset * s - bw), by, bw, bh});
    ok_->set_rect({W / 2 - bw / 2 + x0, by, bw, bh});
    ok_->set_visible(message);
    no_->set_visible(!message);
    yes_->set_visible(!message);
}

void panel_dialog_gui::hide() {
    // The request stays with its stack entry.
    request_ = nullptr;
    title_ = nullptr;
    no_ = nullptr;
    yes_ = nullptr;
    ok_ = nullptr;
    body_ = nullptr;
    for (auto& piece : pieces_) {
        piece = nullptr;
    }
    for (auto& image : images_) {
        image.reset();
    }
}

void panel_dialog_gui::answer(int value) {
    if (request_ && request_->callback) {
        request_->callback(value);
    }
}

void panel_dialog_gui::on_no() {
    answer(dialog_request::answer_no);
}

void panel_dialog_gui::on_yes() {
    answer(dialog_request::answer_yes);
}

void panel_dialog_gui::on_ok() {
    answer(dialog_request::answer_ok);
}

} // namespace zel::form
