// elapsed_time_box: the time box picture (skin 7025) with the time since a start in its left field (minutes
// below an hour, else whole hours with "ч"; the figure's font steps down until it fits the field, and a figure
// that fits not even the smallest is held with a mark) and the time of day in its hour and minute fields.
// Painted with the offset its container passes (a scroll view's position and scroll). Takes no pen. The rows that
// draw the same picture themselves (the orders lists, the order card) paint its texts through paint_texts.
// UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "form/controls/control.h"

namespace zel::form {

class Image;

class elapsed_time_box : public control {
public:
    elapsed_time_box(manager_2* form, const rect& r);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // now: ms since 1970; start: s since 1970; offset: seconds added to now for the time of day. Repaints.
    void set_times(std::int64_t now_ms, std::int64_t start_s, std::int64_t offset_s);

    // The left field's count as a number and its text, its unit ("59" and "", "1" and "ч", "-120" and "") and
    // the time of day ("07", "05").
    struct texts {
        std::int64_t count = 0;
        std::wstring number;
        std::wstring unit;
        std::wstring hour;
        std::wstring minute;
    };
    static texts texts_for(std::int64_t now_ms, std::int64_t start_s, std::int64_t offset_s);

    // The texts over a time box picture whose top-left corner is (x, y).
    static void paint_texts(Graphics& g, HWND window, float scale, int x, int y, const texts& shown);

private:
    std::int64_t now_ms_ = 0;
    std::int64_t start_s_ = 0;
    std::int64_t offset_s_ = 0;
    std::shared_ptr<Image> image_;
};

} // namespace zel::form
