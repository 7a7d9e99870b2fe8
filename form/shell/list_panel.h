// list_panel: the shape the list screens share. The panel is the row source of a list_view that fills its work
// rectangle (the derived screen says how far inset), with an up arrow at the screen's top-right corner and a
// down arrow at its bottom-right corner; the arrows and the up and down keys scroll the list by one row. Each
// row has a flag, set when the row is added and cleared when the row is drawn, that the view reads through
// row_selected (a row past the flags answers set). The background is slate.
//
// The derived screen builds its rows and calls show_list from its show and hide_list from its hide; the list and
// the arrows belong to the panel base from show_list to the manager's clear after hide, their pictures live to
// hide_list, the rows and flags until the next show.
// UI thread only.
//
//   state   event       -> state   effect
//   hidden  show_list   -> shown   list (layer 1) and arrows (layer 2) added, list back at its first row
//   shown   hide_list   -> hidden  list and arrows forgotten (the manager's clear destroys them), arrow
//                                  pictures released, the row map emptied
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "form/controls/list_row_source.h"
#include "form/shell/panel_base.h"

namespace zel::form {

class manager_2;
class Image;
class image_button;
class list_view;

class list_panel : public panel_base, public list_row_source {
public:
    ~list_panel() override;

    void paint_background(Graphics& g, const rect& update) override;
    void on_key_up_arrow() override {
        scroll_list_up();
    }
    void on_key_down_arrow() override {
        scroll_list_down();
    }

    // The list's width by the design row height times the scale.
    size row_size(int row) const override;
    // The row's flag; set for a row past the flags.
    int row_selected(int row) const override;

    void scroll_list_up();
    void scroll_list_down();

    // Tests look at these while the screen is shown.
    list_view* list() const {
        return list_;
    }
    image_button* up_arrow() const {
        return up_;
    }
    image_button* down_arrow() const {
        return down_;
    }

protected:
    list_panel(manager_2& form, double row_height);

    // The work rectangle less the margin on every side.
    rect inset_work(int margin) const;
    // Makes the list over the rectangle with this panel as its row source, enabled and visible, and the two
    // arrows of the size of the up arrow's picture; the list goes back to its first row.
    void show_list(const rect& list_rect);
    void hide_list();

    // Resizes the flags to the row count, the new ones set.
    void resize_row_flags(std::size_t count);
    // Every flag set or cleared.
    void set_row_flags(std::size_t count, bool value);
    void clear_row_flag(int row);
    // Asks for a repaint of the list (nothing while hidden).
    void invalidate_list();

    manager_2& form_;

private:
    double row_height_;
    // Up arrow normal and pressed, down arrow normal and pressed.
    std::array<std::shared_ptr<Image>, 4> arrows_;
    // Owned by the panel base from show_list to the clear that follows hide.
    list_view* list_ = nullptr;
    image_button* up_ = nullptr;
    image_button* down_ = nullptr;
    std::vector<bool> row_flags_;
};

} // namespace zel::form
