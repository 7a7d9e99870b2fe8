// The texts one repaint draws, as the step runner looks for them. Between begin() and end() it keeps every text
// that DrawTextW draws (installed with platform::set_text_recorder), with the rectangle given to the drawing;
// outside that it keeps nothing, so a long drive's repaints pile nothing up.
//
// Threads: drawn() runs on the drawing thread, begin() and end() on the step runner's; one lock guards both.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace zel::app {

class screen_texts : public platform::text_recorder {
public:
    struct drawn_text {
        std::wstring text;
        RECT rect{};
    };

    void drawn(const std::wstring& text, const RECT& rect, COLORREF colour, UINT format) override;

    // Forgets what was kept and keeps what is drawn from now on.
    void begin();
    // Stops keeping and hands over the texts drawn since begin(), in drawing order.
    std::vector<drawn_text> end();

    // The rectangle of the last of these texts equal to text.
    static std::optional<RECT> find(const std::vector<drawn_text>& texts, const std::wstring& text);

private:
    std::mutex lock_;
    bool keeping_ = false;
    std::vector<drawn_text> texts_;
};

} // namespace zel::app
