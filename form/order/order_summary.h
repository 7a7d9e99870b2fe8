// order_summary: the body of an order as the order offer (30) and the take order panel (12) show it in their
// scroll views, one running column: the pick-up address, its note, the information line, the minimum sum with
// " р." and, on the same line at the right, the pin, the distance to the driver and " км.", then the divider
// (its picture and two rules) and the destinations. The corner badges' rule is here too; each panel places its
// badges itself (the offer in its box's corner, the take order panel in its view).
//
// The summary makes its twelve controls, owns them and lists them on the view, which only points at them: the
// panel makes it in show after what it puts above the column and drops it in hide (the view, made with the
// panel's add, goes at the clear after hide). The column is given in the view's own frame: its top, where the
// pick-up address stands, and its width. UI thread only.
//
// The two panels differ in three points, stated by their users:
//   the distance line   shown whenever "dist-to-driver" came (offer), or only when it is above 0 (take order)
//   the units           Unit = unit_text draws " р." and " км." exactly (offer); Unit = multiline_text wraps
//                       them, which drops the leading blank (take order)
//   the figure's gap    pixels between the distance figure and " км." (the take order panel leaves its
//                       content's left edge there)
//
// States (every fill places the whole column again from its top):
//   made    --fill--> filled   rows with a text shown and stacked, the others hidden, emptied and of height 0
//   filled  --fill--> filled
// A hidden distance pin is parked at the column's top, so a picture that is not drawn never stretches the
// view's content.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "api/command/received/order.h"
#include "form/drawing/geometry.h"

namespace zel::form {

class Image;
class image_control;
class line_control;
class manager_2;
class multiline_text;
class scroll_view;

// The corner badges of an order, in the order the panels make them, and their pictures: cashless ("icl" 1),
// trade ("trade" true, unless "osid" is 5), option (bit 0x20 of "of"), and "osid" 5, which stands in the trade
// badge's place.
enum class order_badge { cashless, trade, option, osid5, count };
inline constexpr std::array<int, static_cast<size_t>(order_badge::count)> order_badge_images = {7008, 7010, 7012, 7061};
// Which badges the order shows, by order_badge.
std::array<bool, static_cast<size_t>(order_badge::count)> order_badges_shown(const zel_api::command::order& o);

// "t (tx), t, t (tx)": the destinations in received order, ", " between points, a note in brackets after its
// address.
std::wstring destinations_text(const std::vector<zel_api::command::order_point>& points);

// Where the two panels' summaries differ.
struct order_summary_rules {
    enum class distance_rule { when_present, when_above_zero };
    distance_rule distance = distance_rule::when_present;
    // Pixels between the distance figure's right edge and " км.".
    int figure_gap = 0;
};

template <class Unit> class order_summary {
public:
    // Makes the controls at the column's top and lists them on the view, in painting order; the column is
    // (0, top, width) in the view's frame (its height is not used).
    order_summary(manager_2& form, scroll_view& view, const rect& column, const order_summary_rules& rules);
    ~order_summary();
    order_summary(const order_summary&) = delete;
    order_summary& operator=(const order_summary&) = delete;

    // Lays the column out for the order: texts, visibility and places.
    void fill(const zel_api::command::order& o);
    // The column's width from the next fill on (a panel narrows it to keep the texts clear of its scroll
    // buttons).
    void set_width(int width) {
        column_.w = width;
    }
    int width() const {
        return column_.w;
    }

    // The rows, for the panels' tests.
    multiline_text& pickup() const {
        return *pickup_;
    }
    multiline_text& pickup_note() const {
        return *pickup_note_;
    }
    multiline_text& information() const {
        return *information_;
    }
    multiline_text& sum() const {
        return *sum_;
    }
    Unit& sum_unit() const {
        return *sum_unit_;
    }
    Unit& distance_unit() const {
        return *distance_unit_;
    }
    multiline_text& distance() const {
        return *distance_;
    }
    image_control& pin() const {
        return *pin_;
    }
    image_control& divider() const {
        return *divider_;
    }
    multiline_text& destinations() const {
        return *destinations_;
    }

private:
    manager_2& form_;
    rect column_;
    order_summary_rules rules_;
    // The width of " км." in its font, measured when made.
    int unit_width_ = 0;
    std::shared_ptr<Image> pin_image_;
    std::shared_ptr<Image> divider_image_;

    // Top to bottom, in painting order.
    std::unique_ptr<multiline_text> pickup_;
    std::unique_ptr<multiline_text> pickup_note_;
    std::unique_ptr<multiline_text> information_;
    std::unique_ptr<multiline_text> sum_;
    std::unique_ptr<Unit> sum_unit_;
    std::unique_ptr<Unit> distance_unit_;
    std::unique_ptr<multiline_text> distance_;
    std::unique_ptr<image_control> pin_;
    std::unique_ptr<line_control> divider_dark_;
    std::unique_ptr<line_control> divider_light_;
    std::unique_ptr<image_control> divider_;
    std::unique_ptr<multiline_text> destinations_;
};

} // namespace zel::form
