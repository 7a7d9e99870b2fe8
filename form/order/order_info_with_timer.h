// order_info_with_timer: the framed box in the middle of the on-the-way and waiting screens. It shows a caption
// line, a four-digit flip clock (MMSS, from skin pictures) or in its place a "Позвонить клиенту" button, and
// three stacked word-wrapped text blocks (pick-up address, comment, destinations) with scroll arrows when they
// overflow the box. order_card adds the icons and the time box of the caption line through paint_info.
//
// It owns its six children (three blocks, two arrows, the call button) and paints and feeds them itself: the
// panel lists only the card. The scroll offset (0 or negative) moves the caption, the clock, the call button,
// the icons and every block; it survives refills of the blocks and only reset_scroll clears it.
//
// Arrows (refreshed after every block change and every pen event):
//   down shown and enabled  exactly when the bottom of block 3 lies below the card's bottom
//   up   shown and enabled  exactly when the offset is negative
// UI thread only.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form/controls/control.h"

namespace zel::form {

class Image;
class image_button;
class frame_icon_button;
class multiline_text;

class order_info_with_timer : public control {
public:
    order_info_with_timer(manager_2* form, const rect& r, std::function<void()> on_call);
    ~order_info_with_timer() override;

    // Handed to the up arrow, the down arrow and the call button in that order, then the arrows refreshed.
    void on_pen_up(int x, int y) override;
    void on_pen_down(int x, int y) override;
    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Sets the offset to 0; moves nothing by itself (the next block change places the blocks).
    void reset_scroll() {
        offset_ = 0;
    }
    int scroll_offset() const {
        return offset_;
    }
    // Draws what a subclass adds over the caption line; nothing here.
    virtual void paint_info(Graphics& g);

    // These store and repaint the card.
    void set_order_text(const std::wstring& text);
    // Four digits MMSS; any other length is drawn (and kept) as "9999".
    void set_timer_text(const std::wstring& text);
    void set_block_1(const std::wstring& text);
    void set_block_2(const std::wstring& text);
    void set_block_3(const std::wstring& text);
    void set_call_button_visible(bool visible);

    // The icon inputs; they store only (the next repaint shows them). -1 means absent.
    virtual void set_figures(int32_t cc, int32_t ccs);
    virtual void set_kind(int32_t sms);
    virtual void set_time(int64_t tt);

    void on_scroll_up();
    void on_scroll_down();
    void update_scroll();

    // Tests look at these.
    const std::wstring& order_text() const {
        return caption_;
    }
    const std::wstring& timer_text() const {
        return timer_;
    }
    // The digits the last paint drew, or empty when the call button stood in their place.
    const std::wstring& painted_digits() const {
        return painted_digits_;
    }
    multiline_text& block(int n) const {
        return *blocks_[static_cast<std::size_t>(n - 1)];
    }
    image_button& scroll_up_button() const {
        return *up_;
    }
    image_button& scroll_down_button() const {
        return *down_;
    }
    frame_icon_button& call_button() const {
        return *call_;
    }
    // Where the text blocks start with no scrolling.
    int text_top() const {
        return text_top_;
    }

protected:
    float scale() const;

    int offset_ = 0;

private:
    // Block 1 at the text top moved by the offset, each next block under the one before it.
    void place_blocks(int from);
    rect call_button_rect() const;
    void draw_timer(Graphics& g);

    std::shared_ptr<Image> corner_tl_; // 1018
    std::shared_ptr<Image> corner_bl_; // 1017
    std::shared_ptr<Image> corner_tr_; // 1019
    std::shared_ptr<Image> corner_br_; // 1020
    std::shared_ptr<Image> cell_;      // 2025
    std::shared_ptr<Image> colon_;     // 2046
    // The scroll arrows' pictures (drawing.h).
    std::shared_ptr<Image> up_image_;
    std::shared_ptr<Image> up_pressed_;
    std::shared_ptr<Image> down_image_;
    std::shared_ptr<Image> down_pressed_;
    std::shared_ptr<Image> call_icon_; // 2190
    // Digit d: its top half (2026 + 2d) and bottom half (2027 + 2d).
    std::vector<std::pair<std::shared_ptr<Image>, std::shared_ptr<Image>>> digits_;
    std::wstring caption_;
    std::wstring timer_;
    std::wstring painted_digits_;
    int text_top_ = 0;
    std::array<std::unique_ptr<multiline_text>, 3> blocks_;
    std::unique_ptr<image_button> up_;
    std::unique_ptr<image_button> down_;
    std::unique_ptr<frame_icon_button> call_;
};

} // namespace zel::form
