// The driver's rating (panel 14): one row per rating item ("ref-rate"), its name, the driver's value from the
// "riv" record of the same id (0 without one) coloured by how it stands against the item's maximum, and "/"
// with the maximum. The items and values are copied at show, in the store's order, and stay as they were while
// the panel is shown: it reacts to no command. Rows take no click. UI thread only.
//
//   state    event -> state    effect
//   hidden   show  -> shown    list and arrows made, items and values copied
//   shown    hide  -> hidden   list, arrows and their pictures released
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "api/command/received/ref_rate.h"
#include "api/command/received/riv.h"
#include "form/drawing/geometry.h"
#include "form/shell/list_panel.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_my_rating : public list_panel {
public:
    static constexpr int id = panel_ids::my_rating;

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

    int row_count() const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int) override {}

private:
    void refresh();
    // The driver's value of the item: the first "riv" with its id, 0 without one.
    std::int32_t value_of(std::int64_t rate_id) const;

    std::vector<std::shared_ptr<const zel_api::command::ref_rate>> rates_;
    std::vector<std::shared_ptr<const zel_api::command::riv>> values_;
};

} // namespace zel::form
