// shift_card: the texts that a shift on sale shows wherever it is drawn (a row of the shift list, the card of the
// take-shift screen): its length as a number and a unit, its start time as hours and minutes, the driver's
// purchases of it (the first two days, in the store's order) and the sale status that picks the frame and the
// badge. Stateless; reads the server clock through the controller for the days and measures the length's number
// on the window to fit it in its box. UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "api/database.h"
#include "form/drawing/geometry.h"

namespace zel_api::command {
class shift;
class sell_shift;
} // namespace zel_api::command

namespace zel::form {

class shift_card {
public:
    using sales = zel_api::record_list<zel_api::command::sell_shift>;

    struct length_text {
        std::wstring number;
        std::wstring unit;
        // The number's font as a design size: the card's own, or smaller where the number needs it to fit.
        int number_size = length_number_font;
    };
    struct start_text {
        std::wstring hours;
        std::wstring minutes;
    };
    // One of the first two purchases: its day, or an empty place when the sale carries no start.
    struct purchase_place {
        bool shown = false;
        std::wstring day;
    };
    // Where the start time's two boxes and the length box lie on a card whose time strip has its left at ix
    // and its top at sy.
    struct time_places {
        rect hours;
        rect minutes;
        rect length;
    };
    struct purchases {
        purchase_place places[2];
        // Purchases walked: 0, 1 or 2 (the walk stops at the second).
        int found = 0;
    };

    // Below 25 hours the hours with "ч"; from 25 up whole days with "д"; a negative length reads "0ч"; empty
    // without "dur". The number in the card's font size.
    static length_text length(const zel_api::command::shift& shift);
    // The length as its box on a card of this scale shows it: the number's font steps down until the number
    // and the unit fit the box together, and a number that fits not even the smallest font is held ("9999+").
    static length_text fitted_length(HWND window, const zel_api::command::shift& shift, float scale);
    // The fonts of the length's number and unit, design sizes.
    static constexpr int length_number_font = 26;
    static constexpr int length_unit_font = 15;
    // "HH:MM" split in two; both empty for a text of other than five characters.
    static start_text start(const zel_api::command::shift& shift);
    // The days of the first two purchases of the shift, each day of (st-dt / 1000 + the service's time-zone
    // offset).
    static purchases bought(const sales& all, int64_t shift_id);
    // The largest "status" among the shift's purchases that carry one; 0 when none does.
    static int32_t sale_status(const sales& all, int64_t shift_id);
    // The price truncated to a whole number ("%ld"); empty without "c".
    static std::wstring price(const zel_api::command::shift& shift);
    static time_places places(int ix, int sy, float scale);
};

} // namespace zel::form
