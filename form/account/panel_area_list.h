// The area list (panel 9): the service region's areas of type 2 in the store's order, each with the number of
// drivers the server counts in it ("nda"; 0 without a figure). Without a current order a row opens the
// parking list of its area; with one, the area is sent at once as "set-parking". UI thread only.
#pragma once

#include "form/account/area_rows_panel.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class panel_area_list : public area_rows_panel {
public:
    static constexpr int id = panel_ids::area_list;

    explicit panel_area_list(manager_2& form);

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void row_clicked(int row) override;

protected:
    void draw_figures(Graphics& g, const font_holder& font, const zel_api::command::ref_area& area, int x, int top,
                      int band) override;
};

} // namespace zel::form
