// The car panel (panel 20; its parameter a car_param): the cars free for the driver ("cars", its "freecars"),
// each with its name, its colour and its registration number drawn as a number plate. In mode 0 a chosen car
// begins the shift at the parameter's parking ("shift-begin"), in mode 1 it becomes the driver's car
// ("set-work-wheel"); in any other mode a row does nothing. The cars record is taken at show. UI thread only.
//
//   state    event                                   -> state    effect
//   shown    row tap, mode 0 or 1                    -> waiting  GUI locked, the request sent
//   waiting  its result ("shift-begin" or            -> shown    unlock; on success back to the first panel
//            "set-work-wheel")
#pragma once

#include <cstdint>
#include <memory>

#include "api/command/received/cars.h"
#include "form/shell/list_panel.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class plate_box;

class panel_set_car : public list_panel {
public:
    static constexpr int id = panel_ids::set_car;

    explicit panel_set_car(manager_2& form);
    ~panel_set_car() override;

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void hide() override;
    void on_command(const zel_api::update_mask& mask) override;

    int row_count() const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int row) override;

    int32_t mode() const {
        return mode_;
    }
    int64_t parking_id() const {
        return parking_id_;
    }

private:
    std::shared_ptr<Image> icon_;
    std::unique_ptr<plate_box> plate_;
    std::shared_ptr<const zel_api::command::cars> cars_;
    int32_t mode_ = -1;
    int64_t parking_id_ = 0;
};

} // namespace zel::form
