// The main menu (panel 2), also the panel of every id without a screen of its own. A 3 x 3 grid of menu cells;
// several buttons share a cell and the refresh rule shows the one that fits the driver's state (logged in,
// "driver-status", the current order's status, the parking area). Pictures live from show to hide, the buttons
// (the panel base's, made at show) until the clear after it; nothing is kept between shows, and every command
// while the menu is current runs the rule again on what the controller holds then. UI thread only.
//
// Buttons by number (1-19), cell (column, row):
//   (0,0) 1 "Текущие заказы" (note: current orders / "oac"), 2 "Таксометр", 3 "По адресу", 4 "В пути",
//         5 "Работаю"
//   (1,0) 6 "Предв. заказы" (note)      (2,0) 7 "Мои заказы" (note)
//   (0,1) 8 parking (area name, queue badge), 9 "Выбор района", 10 "Не на смене", 11/12 "Таксометр" (inert;
//         11 never shown), 13 "На обеде", 14 "На ремонте"
//   (1,1) 15 "Навигатор"   (2,1) 16 "Такси" (inert, always disabled)
//   (0,2) 17 "Организация" (1,2) 18 "Моя информация" (2,2) 19 "Выход"
// At most one button of a cell is visible after a refresh, so the button drawn is the one the pen reaches.
// The background is the panel base's black.
#pragma once

#include <array>
#include <memory>

#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Image;
class menu_button;
class menu_button_note;
class menu_button_ex;

class panel_master_panel_2 : public panel_base {
public:
    static constexpr int id = panel_ids::main_menu;
    static constexpr int button_count = 19;
    static constexpr int image_count = 24;

    explicit panel_master_panel_2(manager_2& form);
    ~panel_master_panel_2() override;

    int panel_id() const override {
        return id;
    }
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;

    // Shows, hides, enables and fills in the buttons from the controller's present state.
    void refresh();
    // Button 8: the area list, the driver status or the area's parkings, by the session parameters.
    void on_parking();
    // Button 15: starts the program named by the first line of "navigation.txt", without arguments.
    void start_navigator();

    // Button 1-19 while the menu is shown, else null.
    menu_button* button(int number) const;
    // The cell (column, row) of button 1-19 in the work rectangle.
    rect cell_of(int number) const;

private:
    void build_buttons();

    manager_2& form_;
    // Skin 5001-5026 without 5004 and 5020, by id order.
    std::array<std::shared_ptr<Image>, image_count> images_;
    // Index 0 is button 1; null while hidden.
    std::array<menu_button*, button_count> buttons_{};
    menu_button_note* current_orders_ = nullptr;
    menu_button_note* preliminary_orders_ = nullptr;
    menu_button_note* my_orders_ = nullptr;
    menu_button_ex* parking_ = nullptr;
};

} // namespace zel::form
