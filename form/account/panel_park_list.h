// The parking list (panel 10; its parameter the area's id as a number): the parkings that the area's "cid"
// names, each with the server's two figures of it ("adc": "c" and "q", each shown only above 0). A row is sent
// as "set-parking", unless the driver has not begun a shift and more than one car is free: then the car panel
// opens to begin the shift at that parking. UI thread only.
#pragma once

#include <cstdint>

#include "form/account/area_rows_panel.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_park_list : public area_rows_panel {
public:
    static constexpr int id = panel_ids::park_list;

    explicit panel_park_list(manager_2& form);

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void row_clicked(int row) override;

    int64_t area_id() const {
        return area_id_;
    }

protected:
    void draw_figures(Graphics& g, const font_holder& font, const zel_api::command::ref_area& area, int x, int top,
                      int band) override;

private:
    int64_t area_id_ = 0;
};

} // namespace zel::form
