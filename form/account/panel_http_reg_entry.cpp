#include "form/account/panel_http_reg_entry.h"

#include "form/controls/image_control.h"
#include "form/controls/keypad_dialog.h"
#include "form/controls/multiline_text.h"
#include "form/controls/text_label.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

// The field's pictures: middle, left end, right end.
constexpr std::array<int, 3> field_image_ids = {2014, 2015, 2016};
constexpr int middle = 0;
constexpr int left_end = 1;
constexpr int right_end = 2;

constexpr double padding = 10;
constexpr int keypad_margin = 5;
constexpr int keypad_bottom = 10;
constexpr int hint_font = 25;
constexpr unsigned hint_colour = 0xFFFFFF;
constexpr unsigned hint_format = 0x21; // each line centred
constexpr unsigned text_colour = 0xF8BA34;

} // namespace

panel_http_reg_entry::panel_http_reg_entry(manager_2& form, std::wstring hint, std::wstring sample, int font_size,
                                           int small_font_size)
    : form_(form), hint_text_(std::move(hint)), sample_(std::move(sample)), font_size_(font_size),
      small_font_size_(small_font_size) {}

panel_http_reg_entry::~panel_http_reg_entry() = default;

panel_http_reg_entry::layout panel_http_reg_entry::lay_out(const rect& area, float scale, int hint_h, size left,
                                                           size mid, size right) {
    const int p = scaled(padding, scale);
    const int top = area.y + hint_h + p;
    const int field_right = area.x + area.w - right.width - p;
    layout l;
    l.hint_x = area.x + p;
    l.hint_y = area.y;
    l.hint_w = area.w - 2 * p;
    l.field_middle = {area.x + p + left.width, top, field_right - (area.x + p + left.width), mid.height};
    l.field_left = {area.x + p, top, left.width, left.height};
    l.field_right = {field_right, top, right.width, right.height};
    l.label = {area.x + p, top, area.w - 2 * p, mid.height};
    const int keys_top = top + mid.height + p;
    l.keypad = {area.x + keypad_margin, keys_top, area.w - 2 * keypad_margin,
                (area.y + area.h - keypad_bottom) - keys_top};
    return l;
}

void panel_http_reg_entry::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

void panel_http_reg_entry::build_controls() {
    const skin_images* skin = form_.get_skin_images();
    for (std::size_t i = 0; i < field_images_.size(); ++i) {
        field_images_[i] = skin_images::image_of(skin, field_image_ids[i]);
    }
    const float s = form_.get_scale();
    const areas shape = screen_areas();
    const rect& area = shape.entry;

    // The hint keeps the field's padding from the sides: wrapped to the whole width, its lines ran from edge to
    // edge (on a landscape screen into the keypad's "Ок").
    const int p = scaled(padding, s);
    hint_ = &add<multiline_text>(1, &form_, area.x + p, area.y, area.w - 2 * p);
    hint_->set_font(hint_font, false);
    hint_->set_color(hint_colour);
    hint_->set_format(hint_format);
    hint_->set_text(hint_text_);
    hint_->set_enabled(true);
    hint_->set_visible(true);

    auto size_of = [](const Image& image) { return size{image.width(), image.height()}; };
    layout l = lay_out(area, s, hint_->text_height(), size_of(*field_images_[left_end]),
                       size_of(*field_images_[middle]), size_of(*field_images_[right_end]));
    if (shape.keypad) {
        l.keypad = *shape.keypad;
    }

    field_images_[middle]->resize(l.field_middle.w, l.field_middle.h);
    auto field_piece = [&](const rect& r, int image) {
        auto& piece = add<image_control>(1, &form_, r, field_images_[image]);
        piece.set_enabled(true);
        piece.set_visible(true);
    };
    field_piece(l.field_middle, middle);
    field_piece(l.field_left, left_end);
    field_piece(l.field_right, right_end);
    keys_ = &add<keypad_dialog>(1, &form_, l.keypad);
    keys_->set_callback([this](int key) { on_key(key); });
    keys_->set_enabled(true);
    keys_->set_visible(true);

    label_ = &add<text_label>(2, &form_, l.label, L"");
    // The label scales its size when it draws; the sample is measured at the drawn size.
    const font_holder sample_font(scaled(font_size_, s), 400);
    const bool narrow = l.label.w < text_extent(form_.get_hwnd(), sample_font, sample_).width;
    label_->set_font_size(narrow ? small_font_size_ : font_size_);
    label_->set_color(text_colour);
    label_->set_visible(true);
    label_->set_enabled(true);
}

void panel_http_reg_entry::show_text(const std::wstring& text) {
    if (label_) {
        label_->set_text(text, 400);
    }
}

void panel_http_reg_entry::hide() {
    hint_ = nullptr;
    keys_ = nullptr;
    label_ = nullptr;
    for (auto& image : field_images_) {
        image.reset();
    }
}

} // namespace zel::form
