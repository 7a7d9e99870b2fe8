// ride_orders_list: the row source of the ride screen's orders list — one row per order on the order face
// (yellow-bordered while pressed): the class tag (or the order's own tariff with its name), the time box of a
// preliminary order, the pick-up address, the minimum sum and the distance to the driver (or the pick-up
// note), the last destination, the corner badges and the stars. It holds the order records it was given
// (snapshots of the store; the panel gives new ones on every change), one "not yet drawn" flag per row, the
// click callback, its 23 pictures (the face middles stretched to the row width) and the two row faces
// (normal and pressed) it draws once and copies afterwards. Times come from the controller's server clock at
// each paint. UI thread only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "api/database.h"
#include "form/controls/list_row_source.h"
#include "form/order/row_faces.h"

namespace zel::form {

class Graphics;
class Image;
class manager_2;

class ride_orders_list : public list_row_source {
public:
    using rows = zel_api::record_list<zel_api::command::order>;

    // The rows are row_width wide; on_click is given the row index (none: a tap does nothing).
    ride_orders_list(manager_2* form, int row_width, std::function<void(int)> on_click);
    ~ride_orders_list() override;

    // Replaces the rows; every row counts as not yet drawn.
    void set_rows(rows orders);
    const rows& orders() const {
        return orders_;
    }

    int row_count() const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    size row_size(int row) const override;
    void row_clicked(int row) override;
    // 1 until the row was drawn since the last set_rows, and for a row beyond the rows.
    int row_selected(int row) const override;

    // The class tag's picture of an "st" value; 0 for a value without one.
    static int class_image_id(int32_t st);

private:
    using picture = std::shared_ptr<Image>;
    void draw_face(Graphics& face, int width, int height, bool pressed);
    void draw_class(Graphics& g, const zel_api::command::order& o, int left, int top);
    void draw_time_box(Graphics& g, const zel_api::command::order& o, int left, int top);
    void draw_lines(Graphics& g, const zel_api::command::order& o, const rect& r, int margin);
    void draw_marks(Graphics& g, const zel_api::command::order& o, const rect& r, int margin);

    manager_2* form_;
    int row_width_;
    std::function<void(int)> on_click_;
    rows orders_;
    std::vector<bool> not_drawn_;

    picture pressed_middle_;            // 7001, stretched
    picture pressed_left_;              // 7002
    picture pressed_right_;             // 7003
    picture normal_middle_;             // 7004, stretched
    picture normal_left_;               // 7005
    picture normal_right_;              // 7006
    std::map<int, picture> class_tags_; // 7014-7024 by picture id
    picture own_tariff_;                // 7062
    picture time_box_;                  // 7025
    picture cashless_;                  // 7007
    picture trade_;                     // 7009
    picture flagged_;                   // 7011: "of" bit 0x20
    picture star_;                      // 7013
    row_faces faces_;
};

} // namespace zel::form
