// panel_order_offer_fine: the common base of the order offer (30) and of its four notices (31 to 34). Each is
// a framed box of 507 x 518 design pixels (or the screen's width or height when smaller) centred on the whole
// screen, not on the work area, unless it would then reach under the status strip: then it is no taller than the
// work area and centred on it. It is drawn from three skin pictures (2021 top, 2020 middle, 2019 bottom); the base
// paints only that box, so the screen around it keeps what the panel below drew. The pictures' rounded corners
// are partly transparent: layout keeps a copy of what lay under the box, and every paint lays that copy down
// before the pictures, so the corners look the same however often the box is painted. Its content rectangle is
// the box itself; the derived panels place their controls in it.
//
// It also builds the notices' common parts: the "Прочитал" button (back to the first panel), the yellow title,
// and the fine boxes ("РЕЙТИНГ", "РУБЛЕЙ"), filled from the stored offer. Every derived show calls layout()
// first and every hide release_images() first. Back is handled (never pops); no panel id of its own. UI thread
// only; the offer is read as a shared copy through the controller, so the store's lock is never held here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "api/database.h"
#include "form/shell/panel_base.h"

namespace zel::form {

class manager_2;
class Image;
class caption_value_box;
class frame_text_button;
class text_label;

class panel_order_offer_fine : public panel_base {
public:
    using offer_ptr = zel_api::record_ptr<zel_api::command::order_offer>;

    explicit panel_order_offer_fine(manager_2& form);
    ~panel_order_offer_fine() override;

    // What lay under the box when it was laid out, then the three pieces of the frame, where they meet the
    // update rectangle; nothing else.
    void paint_background(Graphics& g, const rect& update) override;
    int on_back() override {
        return 1;
    }

    // Sizes and centres the box, makes its frame pictures and copies what the manager's back buffer holds under
    // the box.
    void layout();
    // Drops the frame pictures and the copy under the box (the next layout makes them again).
    void release_images();
    // The box (x, y, w, h); valid after layout.
    const rect& content_rect() const {
        return content_;
    }

    // "Прочитал": back to the first panel, dropping the offer and its notices.
    void on_read();

    // The stored offer, empty when none (or no controller).
    static offer_ptr current_offer();
    // Seconds from the server's now to the offer's deadline; negative once it passed.
    static int64_t seconds_left(const zel_api::command::order_offer& offer);
    // "mm:ss" of a count of seconds, at least two digits each; a negative count reads "00:00" and one beyond
    // 999 minutes "999:59".
    static std::wstring countdown_text(int64_t seconds);
    // The value of a fine box (four digits fit its big font) and the refuse button's badge (three digits fit):
    // "-" and the fine's size, held at largest. The take button's badge: "+" and the reward, held between 0 and
    // 999.
    static constexpr int64_t box_largest = 9999;
    static constexpr int64_t badge_largest = 999;
    static std::wstring fine_text(int64_t fine, int64_t largest = badge_largest);
    static std::wstring reward_text(int64_t reward);
    // A fine or a price written as the design writes it: truncated toward zero; a value beyond the 32-bit range
    // is held at its end (with a log line) instead of overflowing.
    static int32_t truncated(double value);

protected:
    // The fine boxes of the notices 31, 33 and 34 (owned by the panel base).
    struct fine_boxes {
        caption_value_box* rating = nullptr;
        caption_value_box* roubles = nullptr;
    };

    // Each made control is visible, owned by the panel base and listed on layer 1.
    frame_text_button& make_read_button();
    text_label& make_title(const std::wstring& text);
    fine_boxes make_fine_boxes();
    // "-" and the fine on each box; a box is hidden when the offer is not fineable or its fine is 0.
    static void fill_fine_boxes(const fine_boxes& boxes, const zel_api::command::order_offer& offer);

    manager_2& form_;

private:
    // Copies of skin 2021 (top), 2020 (middle), 2019 (bottom), sized by layout.
    std::shared_ptr<Image> top_image_;
    std::shared_ptr<Image> middle_image_;
    std::shared_ptr<Image> bottom_image_;
    // The back buffer's pixels under the box at layout: the screen the box was laid over.
    std::unique_ptr<Graphics> beneath_;
    rect content_;
    rect top_;
    rect middle_;
    rect bottom_;
};

} // namespace zel::form
