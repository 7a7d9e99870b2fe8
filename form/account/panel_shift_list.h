// panel_shift_list (15): the shifts on sale, one row each with its name, start time, length, price, the days of
// the driver's first two purchases and the sale's frame and badge; a row opens the take-shift screen for its
// shift. The rows are copies of the store's shifts and purchases, read again at show and whenever "shift",
// "sell-shift" or "shift-del" arrive (the list keeps its place). UI thread only.
#pragma once

#include <memory>

#include "api/database.h"
#include "form/shell/list_panel.h"
#include "form/shell/panel_ids.h"

namespace zel_api::command {
class shift;
class sell_shift;
} // namespace zel_api::command

namespace zel::form {

class panel_shift_list : public list_panel {
public:
    static constexpr int id = panel_ids::shift_list;

    explicit panel_shift_list(manager_2& form);
    ~panel_shift_list() override;

    int panel_id() const override {
        return id;
    }
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;

    int row_count() const override {
        return static_cast<int>(shifts_.size());
    }
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int row) override;

private:
    void refresh();

    std::shared_ptr<Image> name_icon_;
    std::shared_ptr<Image> time_strip_;
    std::shared_ptr<Image> badge_;
    std::shared_ptr<Image> date_plate_;
    zel_api::record_list<zel_api::command::shift> shifts_;
    zel_api::record_list<zel_api::command::sell_shift> sales_;
};

} // namespace zel::form
