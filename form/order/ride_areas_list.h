// ride_areas_list: the row source of the ride screen's areas list — one row per parking area, its name and the
// number of drivers in it (the store's "nda" record of the area, read through the controller at each paint,
// 0 without one) on a grey face, yellow while pressed. It holds the area records it was given (snapshots of
// the store; the panel gives new ones on every change), one "not yet drawn" flag per row, the click callback,
// its two pictures and the two row faces (normal and pressed) it draws once and copies afterwards. UI thread
// only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "api/database.h"
#include "form/controls/list_row_source.h"
#include "form/order/row_faces.h"

namespace zel::form {

class Graphics;
class Image;
class manager_2;

class ride_areas_list : public list_row_source {
public:
    using rows = zel_api::record_list<zel_api::command::ref_area>;

    // The rows are row_width wide; on_click is given the row index (none: a tap does nothing).
    ride_areas_list(manager_2* form, int row_width, std::function<void(int)> on_click);
    ~ride_areas_list() override;

    // Replaces the rows; every row counts as not yet drawn.
    void set_rows(rows areas);
    const rows& areas() const {
        return areas_;
    }

    int row_count() const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    size row_size(int row) const override;
    void row_clicked(int row) override;
    // 1 until the row was drawn since the last set_rows, and for a row beyond the rows.
    int row_selected(int row) const override;

private:
    // Draws the face of a row of the given size at (0, 0) of the surface.
    void draw_face(Graphics& face, int width, int height, bool pressed);

    manager_2* form_;
    int row_width_;
    std::function<void(int)> on_click_;
    rows areas_;
    std::vector<bool> not_drawn_;
    std::shared_ptr<Image> badge_; // 1041
    std::shared_ptr<Image> icon_;  // 1040
    row_faces faces_;
};

} // namespace zel::form
