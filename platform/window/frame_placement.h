// Where the emulated screen's frame lies in a window's output: the whole output when the sizes match, else
// scaled to fit (the aspect kept) and centred between black bars. The picture is drawn into area() and the
// pen goes back through the same numbers, so a tap lands on the control the picture shows under it. A value:
// no threads, no locks.
#pragma once

#include <optional>

#include "platform/win_types.h"

namespace platform {

class frame_placement {
public:
    // The frame of the screen's size in an output of the given size; an empty output places it nowhere.
    static frame_placement fit(int screen_width, int screen_height, int output_width, int output_height);

    // The output's rectangle that shows the frame.
    const RECT& area() const {
        return area_;
    }
    // Whether the frame is shown at its own size (output pixels are screen pixels).
    bool unscaled() const;
    // The screen's pixel that the output's pixel (x, y) shows; none on the bars or outside the output.
    std::optional<POINT> to_screen(int x, int y) const;
    // The screen's pixel nearest to what the output's pixel (x, y) would show: a pen lifted off the picture
    // still ends its press on the screen's edge.
    POINT to_screen_clamped(int x, int y) const;

private:
    int screen_width_ = 0;
    int screen_height_ = 0;
    RECT area_{0, 0, 0, 0};
};

} // namespace platform
