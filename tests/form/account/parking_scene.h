// What the area, parking and car screens' tests share: a screen harness logged in on a test dispatch server
// (tests/form/fixtures/parking*.script) whose login brings the session, the areas with their figures, the free
// cars and, when asked, a current order; the screens pushed directly; the texts of the list's rows; taps on
// rows; and the commands that reached the server (offer_scene's record of them).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "form/shell/list_panel.h"
#include "form/shell/panel_param.h"
#include "tests/form/order/offer_scene.h"

namespace zel::form::test {

// Areas of type 2 "Север" (15, no parkings, no "nda") and "Центр" (12, "nda" 5; parkings 13, 14 and the
// unknown 99), in that order, the parkings "Вокзал" (13, "adc" c 0 q 3) and "Рынок" (14, "adc" c 4 q 2) and
// the type-4 "Аэропорт" (16).
extern const char* const parking_areas;
// "cars" with one free car (1, "ав123с[777]") and with two (also 2, "а123вс[77]").
extern const char* const one_free_car;
extern const char* const two_free_cars;
// A current order (list 4).
extern const char* const current_order;

struct parking_world {
    // Session fields after "tzo", each with its leading comma.
    std::string session = R"(,"driver-status":0)";
    std::string cars = one_free_car;
    std::string order;
    // Further records.
    std::string extra;
};

class parking_scene : public offer_scene {
public:
    // Opens the harness on the script (a file name of tests/form/fixtures) with the world's records and the
    // values, and logs in: the first panel is current.
    void open_world(const parking_world& world, const std::string& script = "parking.script",
                    std::map<std::string, std::string> values = {});
    // Pushes the screen with the parameter and pumps until it is current.
    void open_screen(int id, std::shared_ptr<const panel_param> param = {});
    // The current panel as a list screen (a failure and null when it is none).
    list_panel* shown_list() const;
    // The texts of one paint inside the list, row by row (the list at its first row).
    std::vector<std::vector<std::wstring>> row_texts();
    // The texts of one paint inside the row, with their rectangles.
    std::vector<drawn_text> row_drawn(int row);
    // Taps the middle of the row.
    void tap_row(int row);
    // Sends a command of the test's own ("set-option") and pumps until the server has it: the commands the
    // screens sent before it have reached the server by then.
    void fence();
};

} // namespace zel::form::test
