// panel_take_shift (16): one shift on sale as a card (name, start time, length, price, the days of the driver's
// purchases and the sale badge) with "Назад" (back to the shift list) and "Купить смену" ("buy-shift"). Pushed
// with the shift's id; every command refreshes the card from the store, so a new purchase shows at once.
// panel_take_shift_hor is the landscape twin: the same controls and behaviour, its layout only.
//
//   state    event                                -> state    effect
//   hidden   show(id)                             -> shown    controls made, card filled
//   shown    "Купить смену"                       -> waiting  lock, "buy-shift" {"id"}
//   waiting  "cmd-result" "buy-shift" ok          -> hidden   unlock, pop (back to the list)
//   waiting  "cmd-result" "buy-shift" not ok      -> shown    unlock
//   shown    any mask                             -> shown    card filled again
//   shown    "Назад" / hide                       -> hidden   pop / controls destroyed
//
// UI thread only; the records are shared copies from the controller, read again on every refresh.
#pragma once

#include <cstdint>
#include <memory>

#include "form/geometry.h"
#include "form/panel_base.h"

namespace zel::form {

class manager_2;
class Image;
class image_control;
class text_label;
class frame_image_button;

class panel_take_shift : public panel_base {
public:
    static constexpr int id = 16;

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
        return buy_.get();
    }
    image_control* badge() const {
        return badge_.get();
    }
    text_label* date_label(int place) const {
        return date_labels_[place].get();
    }

protected:
    // Where the card and the buttons go: the card's area, and the two buttons' rectangles.
    struct layout_rects {
        rect card;
        rect back;
        rect buy;
    };
    virtual layout_rects place(float scale) const;
    // Controls beyond the card and the buttons (the landscape divider).
    virtual void add_extra_controls() {}
    virtual void drop_extra_controls() {}

    manager_2& form_;

private:
    void make_controls();
    // Fills the card from the store.
    void shift_offer_text();

    std::shared_ptr<Image> name_icon_;
    std::shared_ptr<Image> time_strip_;
    std::shared_ptr<Image> date_plate_;
    std::shared_ptr<Image> badge_image_;
    std::shared_ptr<Image> back_image_;
    std::shared_ptr<Image> buy_image_;

    std::unique_ptr<image_control> name_icon_control_;
    std::unique_ptr<image_control> time_strip_control_;
    std::unique_ptr<text_label> name_;
    std::unique_ptr<image_control> date_plates_[2];
    std::unique_ptr<text_label> price_;
    std::unique_ptr<text_label> currency_;
    std::unique_ptr<image_control> badge_;
    std::unique_ptr<text_label> date_labels_[2];
    std::unique_ptr<text_label> hours_;
    std::unique_ptr<text_label> minutes_;
    rect length_box_;
    std::unique_ptr<text_label> length_number_;
    std::unique_ptr<text_label> length_unit_;
    std::unique_ptr<frame_image_button> back_;
    std::unique_ptr<frame_image_button> buy_;

    int64_t shift_id_ = 0;
    bool shown_ = false;
};

} // namespace zel::form
