#include "form/panel_dialog_gui.h"

#include <algorithm>

#include "form/dialog_request.h"
#include "form/drawing.h"
#include "form/frame_text_button.h"
#include "form/image.h"
#include "form/image_control.h"
#include "form/manager_2.h"
#include "form/multiline_text.h"
#include "form/skin_images.h"
#include "form/text_label.h"

namespace zel::form {

namespace {

enum { bottom, middle, top, spare_icon, message_icon, question_icon };
constexpr int image_ids[6] = {2019, 2020, 2021, 2022, 2023, 2024};

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
    return pieces_[request_->kind == dialog_request::message ? message_icon : question_icon].get();
}

void panel_dialog_gui::show(const panel_param* param) {
    request_ = param_as<dialog_request>(param);
    const skin_images* skin = form_.get_skin_images();
    for (int i = 0; i < 6; ++i) {
        images_[i] = skin_images::image_of(skin, image_ids[i]);
    }
    title_ = std::make_unique<text_label>(&form_, rect{}, L"");
    title_->set_font_size(30);
    title_->set_color(0xFFFFFF);
    add_control(title_.get(), 2);
    no_ = std::make_unique<frame_text_button>(&form_, rect{}, [this] { on_no(); }, L"Нет");
    yes_ = std::make_unique<frame_text_button>(&form_, rect{}, [this] { on_yes(); }, L"Да");
    ok_ = std::make_unique<frame_text_button>(&form_, rect{}, [this] { on_ok(); }, L"Ok");
    for (frame_text_button* b : {no_.get(), yes_.get(), ok_.get()}) {
        b->set_visible(false);
        b->set_font(35, 700);
        add_control(b, 2);
    }
    body_ = std::make_unique<multiline_text>(&form_, 0, 0, 0);
    body_->set_color(0xFFFFFF);
    body_->set_font(30, false);
    add_control(body_.get(), 2);
    const int width = own_.w - scaled(20, form_.get_scale());
    for (int piece : {bottom, middle, top}) {
        images_[piece]->resize(width, images_[piece]->height());
    }
    for (int i = 0; i < 6; ++i) {
        pieces_[i] = std::make_unique<image_control>(&form_, rect{}, images_[i]);
        pieces_[i]->set_visible(i <= top);
    }
    for (int piece : {bottom, middle, top}) {
        add_control(pieces_[piece].get(), 1);
    }
    for (int icon : {question_icon, message_icon, spare_icon}) {
        add_control(pieces_[icon].get(), 2);
    }
    if (!request_) {
        return; // nothing to ask: an empty box that any stack change removes
    }
    lay_out();
    if (request_->kind == dialog_request::message) {
        form_.play_sound(3);
    }
}

void panel_dialog_gui::lay_out() {
    const float s = form_.get_scale();
    const int m = scaled(10, s);
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
    image_control* shown = pieces_[message ? message_icon : question_icon].get();
    shown->set_rect(icon);
    shown->set_visible(true);
    title_->set_rect({icon.x + icon.w + m, icon.y, W - 3 * m - icon.w, static_cast<int>(0.65 * icon.h)});
    title_->set_format(36);
    title_->set_text(message ? L"Сообщение" : L"Внимание", 700);
    body_->set_position(static_cast<int>(20 * s + x0 + m), icon.y + icon.h, static_cast<int>(W - 40 * s - 2 * m));

    const int bh = static_cast<int>(70 * s);
    const int bw = static_cast<int>(W / 2 - 30 * s);
    const int by = static_cast<int>(y1 + bottom_image.height() - 20 * s - bh);
    no_->set_rect({static_cast<int>(20 * s + x0), by, bw, bh});
    yes_->set_rect({static_cast<int>(x0 + W - 20 * s - bw), by, bw, bh});
    ok_->set_rect({W / 2 - bw / 2 + x0, by, bw, bh});
    ok_->set_visible(message);
    no_->set_visible(!message);
    yes_->set_visible(!message);
}

void panel_dialog_gui::hide() {
    // The request stays with its stack entry.
    request_ = nullptr;
    title_.reset();
    no_.reset();
    yes_.reset();
    ok_.reset();
    body_.reset();
    for (auto& piece : pieces_) {
        piece.reset();
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
