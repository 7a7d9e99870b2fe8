// panel_take_shift (16): one shift on sale as a card (name, start time, length, price, the days of the driver's
// purchases and the sale badge) with "Назад" (back to the shift list) and "Купить смену" ("buy-shift"). Pushed
// with the shift's id; every command refreshes the card from the store, so a new purchase shows at once.
// panel_take_shift_hor is the landscape twin: the same controls and behaviour, its layout only.
//
//   state    event                                -> state    effect
//   hidden   show(id)                             -> shown    controls added, card filled
//   shown    "Купить смену"                       -> waiting  lock, "buy-shift" {"id"}
//   waiting  "cmd-result" "buy-shift" ok          -> hidden   unlock, pop (back to the list)
//   waiting  "cmd-result" "buy-shift" not ok      -> shown    unlock
//   shown    any mask                             -> shown    card filled again
//   shown    "Назад" / hide                       -> hidden   pop / controls forgotten (the clear destroys them)
//
// UI thread only; the records are shared copies from the controller, read again on every refresh.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "form/drawing/geometry.h"
#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Image;
class image_control;
class text_label;
class frame_image_button;

class panel_take_shift : public panel_base {
public:
    static constexpr int id = panel_ids::take_shift;

    explicit panel_take_shift(manager_2& form);
    ~panel_take_shift() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;

    void on_back_button();
    void on_buy();

    // Tests look at these while the panel is shown.
    frame_image_button* buy_button() const {
        return buy_;
    }
    image_control* badge() const {
        return badge_;
    }
    text_label* date_label(int place) const {
        return date_labels_[place];
    }

protected:
    // Where the card and the buttons go: the card's area, and the two buttons' rectangles.
    struct layout_rects {
        rect card;
        rect back;
        rect buy;
    };
    virtual layout_rects place(float scale) const;
    // Controls beyond the card and the buttons (the landscape divider), added last.
    virtual void add_extra_controls() {}

    manager_2& form_;

private:
    void make_controls();
    // An empty label of that size, colour and DrawText flags, added on the layer.
    text_label* add_label(int layer, const rect& r, int size, unsigned colour, unsigned flags);
    // Fills the card from the store.
    void shift_offer_text();

    std::shared_ptr<Image> name_icon_;
    std::shared_ptr<Image> time_strip_;
    std::shared_ptr<Image> date_plate_;
    std::shared_ptr<Image> badge_image_;
    std::shared_ptr<Image> back_image_;
    std::shared_ptr<Image> buy_image_;

    // The controls the card fills again on every refresh; the panel base owns them from show to the clear.
    text_label* name_ = nullptr;
    std::array<image_control*, 2> date_plates_{};
    text_label* price_ = nullptr;
    text_label* currency_ = nullptr;
    image_control* badge_ = nullptr;
    std::array<text_label*, 2> date_labels_{};
    text_label* hours_ = nullptr;
    text_label* minutes_ = nullptr;
    rect length_box_;
    text_label* length_number_ = nullptr;
    text_label* length_unit_ = nullptr;
    frame_image_button* buy_ = nullptr;

    int64_t shift_id_ = 0;
    bool shown_ = false;
};

} // namespace zel::form
