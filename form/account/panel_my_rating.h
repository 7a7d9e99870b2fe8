// The driver's rating (panel 14): one row per rating item ("ref-rate"), its name, the driver's value from the
// "riv" record of the same id (0 without one) coloured by how it stands against the item's maximum, and "/"
// with the maximum. The items and values are copied at show, in the store's order, and stay as they were while
// the panel is shown: it reacts to no command. Rows take no click. UI thread only.
//
//   state    event -> state    effect
//   hidden   show  -> shown    list and arrows made, items and values copied
//   shown    hide  -> hidden   list, arrows and their pictures released
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "api/command/received/ref_rate.h"
#include "api/command/received/riv.h"
#include "form/geometry.h"
#include "form/list_panel_base.h"
#include "form/panel_base.h"

namespace zel::form {

class manager_2;
class Image;
class image_button;
class list_view;

class panel_my_rating : public panel_base, public list_panel_base {
public:
    static constexpr int id = 14;

    explicit panel_my_rating(manager_2& form);
    ~panel_my_rating() override;

    // The value's colour for an item's maximum and the driver's value.
    static rgb value_colour(std::int32_t max, std::int32_t value);

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param* param) override;
    void hide() override;
    void on_key_up_arrow() override;
    void on_key_down_arrow() override;

    int row_count() const override;
    size row_size(int row) const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int) override {}
    int row_selected(int row) const override;

    list_view* list() const {
        return list_.get();
    }

private:
    void refresh();
    // The driver's value of the item: the first "riv" with its id, 0 without one.
    std::int32_t value_of(std::int64_t rate_id) const;

    manager_2& form_;
    // Up arrow normal and pressed (1046, 1047), down arrow normal and pressed (1044, 1045).
    std::array<std::shared_ptr<Image>, 4> arrows_;
    std::unique_ptr<list_view> list_;
    std::unique_ptr<image_button> up_;
    std::unique_ptr<image_button> down_;
    std::vector<std::shared_ptr<const zel_api::command::ref_rate>> rates_;
    std::vector<std::shared_ptr<const zel_api::command::riv>> values_;
    std::vector<bool> row_flags_;
};

} // namespace zel::form
