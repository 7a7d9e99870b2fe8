// elapsed_time_box: the time box picture (skin 7025) with the time since a start in its left field (minutes
// below an hour, else whole hours with "ч"; held between -99 and 999 so that it fits) and the time of day in its hour
// and minute fields. Painted with the offset its container passes (a scroll view's position and scroll). Takes no pen.
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

    // The left field's number and unit ("59" and "", "1" and "ч") and the time of day ("07", "05").
    struct texts {
        std::wstring number;
        std::wstring unit;
        std::wstring hour;
        std::wstring minute;
    };
    static texts texts_for(std::int64_t now_ms, std::int64_t start_s, std::int64_t offset_s);

private:
    std::int64_t now_ms_ = 0;
    std::int64_t start_s_ = 0;
    std::int64_t offset_s_ = 0;
    std::shared_ptr<Image> image_;
};

} // namespace zel::form
