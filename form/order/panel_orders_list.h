// The orders list (panel 6): the orders of one of the store's lists, one row each, in a list_view over the
// whole work rectangle with the two scroll arrows over it; a tapped row opens the take order panel (12) for
// that order. Its parameter is the list mode: 1 the current orders, 2 the preliminary orders (by their time),
// 3 the driver's own orders (as stored).
//
// The panel is its list's row source. It keeps the mode, the rows and their new-row flags between shows: each
// show and each "order" or "odel" refreshes them, and mode 1 merges into the rows held so that the driver keeps
// the place. The store copies records on write, so every refresh takes each kept row's current record again
// (same "s-id", same list); a row never shows an old copy. The two row faces (normal and pressed) are drawn
// once and kept. The list and the arrows are made through the panel base in show and destroyed by the clear
// after hide. UI thread only.
//
// Mode 1 refresh:
//   kept row whose "s-id" list 1 still has     -> replaced by that record, in its place
//   kept row whose "s-id" list 1 no longer has -> removed
//   order of list 1 not yet a row              -> inserted at the top (later orders above earlier ones)
//   any inserted, last arrow press > 10 s ago  -> the list back at its first row
// An "order" that leaves the driver's current order at "s" 2 moves on to the on-the-way panel (21).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "api/command/received/order.h"
#include "form/controls/list_row_source.h"
#include "form/order/row_faces.h"
#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Graphics;
class Image;
class image_button;
class list_view;

class panel_orders_list : public panel_base, public list_row_source {
public:
    using order_ptr = std::shared_ptr<const zel_api::command::order>;

    static constexpr int id = panel_ids::orders_list;
    // Arrow presses younger than this many seconds keep the driver's place when new orders come.
    static constexpr int64_t keep_place_seconds = 10;

    explicit panel_orders_list(manager_2& form);
    ~panel_orders_list() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void on_command(const zel_api::update_mask& mask) override;
    // The parameter is a number_param with the mode.
    void show(const panel_param* param) override;
    void hide() override;
    void on_key_up_arrow() override {
        on_arrow_up();
    }
    void on_key_down_arrow() override {
        on_arrow_down();
    }

    // The arrows and the arrow keys: one row, and the press time noted.
    void on_arrow_up();
    void on_arrow_down();
    // The rows again from the store, by the mode.
    void refresh();

    // --- the list's row source
    int row_count() const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    size row_size(int row) const override;
    void row_clicked(int row) override;
    // The row's new-row flag: set for a row added since it was last drawn (1 past the flags).
    int row_selected(int row) const override;

    // Mode 2's order: by "tt", the orders without "tt" after the others in the order they came.
    static bool order_time_less(const order_ptr& a, const order_ptr& b);

    // Tests look at these.
    const std::vector<order_ptr>& rows() const {
        return rows_;
    }
    int mode() const {
        return mode_;
    }
    list_view* view() const {
        return view_;
    }
    image_button* up_button() const {
        return up_;
    }
    image_button* down_button() const {
        return down_;
    }

private:
    // Mode 1: the merge that keeps the driver's place.
    void build_rows();
    // Mode 2: list 2 by the time of the orders.
    void sort_rows();
    // Sized to the rows; added places flagged new, the others unchanged.
    void resize_new_flags();
    // The picture loaded by show; an empty one for an id not loaded.
    std::shared_ptr<Image> picture(int image_id) const;
    // Draws the face of a row of the given size at (0, 0) of the surface.
    void draw_face(Graphics& face, int width, int height, bool pressed);
    void draw_status_icon(Graphics& g, const rect& r, const zel_api::command::order& o, int& icon_width);
    // Returns the time box's right edge; the row's left edge when none was drawn.
    int draw_preliminary_time(Graphics& g, const rect& r, const zel_api::command::order& o, int icon_width);
    void draw_lines(Graphics& g, const rect& r, const zel_api::command::order& o);
    void draw_badges(Graphics& g, const rect& r, const zel_api::command::order& o);
    // "star" stars from the right, as many as fit right of `taken` (what the top line holds up to there).
    void draw_stars(Graphics& g, const rect& r, const zel_api::command::order& o, int taken);

    manager_2& form_;
    std::map<int, std::shared_ptr<Image>> images_;
    // Owned by the panel base while shown (null otherwise).
    list_view* view_ = nullptr;
    image_button* up_ = nullptr;
    image_button* down_ = nullptr;
    int margin_ = 0;
    int mode_ = 0;
    std::vector<order_ptr> rows_;
    std::vector<bool> new_rows_;
    row_faces faces_;
    // now_seconds of the last arrow press; 0 before the first.
    int64_t last_scroll_ = 0;
};

} // namespace zel::form
