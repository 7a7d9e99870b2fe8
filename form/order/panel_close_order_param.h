// The close-order parameters (panel 28), pushed by the bill's edit button: rows for the sum (whole roubles),
// the distance (kilometres with one decimal) and the downtime (whole minutes), shown as the bill's tariff mode
// lets the driver correct them, and the keypad with "Ок" and "Отмена" below them (beside them on a landscape
// screen). A tapped row becomes the active row the keys type into. "Ок" writes into the controller's shared bill
// record only the rows the driver changed, so an untouched distance keeps its metres and an untouched downtime
// its seconds, and goes back to the bill; "Отмена" goes back without a change. The distance is read with "."
// as its decimal point whatever the locale. The controls are made through the panel base in show and destroyed
// by the clear after hide; the radio group lives from show to hide. UI thread only.
//
// Keys:
//   active row  key                 -> effect
//   any         "Ок" (100)          -> changed rows written into the bill record, pop
//   any         "Отмена" (101)      -> pop
//   none        any other           -> nothing
//   a row       0-8, 9 ".", 10 "0"  -> the key's text replaces a lone "0" (not for ".") or is appended
//   a row       11                  -> the last character erased ("0" when nothing is left)
// A text the row refuses (over 6 characters, a second ".", a second decimal) leaves the row unchanged.
#pragma once

#include <memory>
#include <string>

#include "form/drawing/geometry.h"
#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class Image;
class keypad_dialog;
class manager_2;
class radio_group;
class value_radio_button;

class panel_close_order_param : public panel_base {
public:
    static constexpr int id = panel_ids::close_params;

    enum row_index { sum_row = 0, distance_row = 1, downtime_row = 2, no_row = -1 };

    explicit panel_close_order_param(manager_2& form);
    ~panel_close_order_param() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param* param) override;
    void hide() override;

    void on_select_sum();
    void on_select_distance();
    void on_select_downtime();
    void on_keypad(int key);

    // Tests look at these while the panel is shown.
    value_radio_button* row(int index) const {
        return index >= 0 && index < 3 ? rows_[index] : nullptr;
    }
    keypad_dialog* keys() const {
        return keys_;
    }
    int active_row() const {
        return active_;
    }

    // "12.5" as 12.5 whatever the locale: digits with at most one "." between or after them; false for
    // anything else.
    static bool parse_decimal(const std::wstring& text, double& value);

protected:
    // Where the three row slots are stacked from the top, and the keypad.
    virtual rect rows_area() const;
    virtual rect keypad_area(int row_height) const;

private:
    void select(int index);
    void apply();
    void release();

    manager_2& form_;
    std::shared_ptr<Image> images_[3]; // 2188 sum, 2187 distance, 2189 downtime
    std::unique_ptr<radio_group> group_;
    // Owned by the panel base while shown (null otherwise).
    value_radio_button* rows_[3] = {nullptr, nullptr, nullptr};
    keypad_dialog* keys_ = nullptr;
    int active_ = no_row;
    // The rows whose text a key changed since show.
    bool changed_[3] = {false, false, false};
};

} // namespace zel::form
