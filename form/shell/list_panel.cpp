#include "form/shell/list_panel.h"

#include "form/controls/image_button.h"
#include "form/controls/list_view.h"
#include "form/drawing/drawing.h"
#include "form/drawing/image.h"
#include "form/shell/manager_2.h"

namespace zel::form {

namespace {

constexpr std::array<int, 4> arrow_ids = {arrow_up_image, arrow_up_pressed_image, arrow_down_image,
                                          arrow_down_pressed_image};

} // namespace

list_panel::list_panel(manager_2& form, double row_height) : form_(form), row_height_(row_height) {}

list_panel::~list_panel() = default;

void list_panel::paint_background(Graphics& g, const rect& update) {
    paint_background_slate(g, update);
}

size list_panel::row_size(int) const {
    return {list_ ? list_->get_rect().w : 0, scaled(row_height_, form_.get_scale())};
}

int list_panel::row_selected(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= row_flags_.size()) {
        return 1;
    }
    return row_flags_[static_cast<std::size_t>(row)] ? 1 : 0;
}

void list_panel::scroll_list_up() {
    if (list_) {
        list_->scroll_up();
    }
}

void list_panel::scroll_list_down() {
    if (list_) {
        list_->scroll_down();
    }
}

rect list_panel::inset_work(int margin) const {
    return {own_.x + margin, own_.y + margin, own_.w - 2 * margin, own_.h - 2 * margin};
}

void list_panel::show_list(const rect& list_rect) {
    for (std::size_t i = 0; i < arrows_.size(); ++i) {
        arrows_[i] = form_image(&form_, arrow_ids[i]);
    }
    const int w = arrows_[0]->width();
    const int h = arrows_[0]->height();
    const int right = screen_.x + screen_.w;

    list_ = &add<list_view>(1, &form_, list_rect);
    list_->set_source(this);
    list_->set_enabled(true);
    list_->set_visible(true);
    list_->reset_first_row();
    up_ = &add<image_button>(
        2, &form_, rect{right - w, screen_.y, w, h}, [this] { scroll_list_up(); }, arrows_[0], arrows_[1]);
    down_ = &add<image_button>(
        2, &form_, rect{right - w, screen_.y + screen_.h - h, w, h}, [this] { scroll_list_down(); }, arrows_[2],
        arrows_[3]);
}

void list_panel::hide_list() {
    list_ = nullptr;
    up_ = nullptr;
    down_ = nullptr;
    for (auto& image : arrows_) {
        image.reset();
    }
    clear_map();
}

void list_panel::resize_row_flags(std::size_t count) {
    row_flags_.resize(count, true);
}

void list_panel::set_row_flags(std::size_t count, bool value) {
    row_flags_.assign(count, value);
}

void list_panel::clear_row_flag(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < row_flags_.size()) {
        row_flags_[static_cast<std::size_t>(row)] = false;
    }
}

void list_panel::invalidate_list() {
    if (list_) {
        form_.invalidate_rect(list_->get_rect());
    }
}

} // namespace zel::form
