// frame_button: a drawn push button — a bevelled frame with a vertical gradient whose colours tell the state
// (yellow while pressed; otherwise grey, green or red by the style the panel sets) and four corner pictures.
// The framed and offer buttons draw their content over it. UI thread only.
//
// Face: pressed -> yellow (1); else style 0 -> grey (0), 1 -> green (2), 2 -> red (3), other -> grey (0).
#pragma once

#include <memory>

#include "form/controls/button.h"

namespace zel::form {

class Image;

class frame_button : public button {
public:
    frame_button(manager_2* form, const rect& r, std::function<void()> on_click);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Stores only; the caller repaints.
    void set_style(int style) {
        style_ = style;
    }
    int style() const {
        return style_;
    }
    // The draw_gradient_frame style of the current state.
    int frame_style() const;

protected:
    // Corners top-left (1018), bottom-left (1017), top-right (1019), bottom-right (1020).
    std::shared_ptr<Image> corners_[4];
    int style_ = 0;
};

} // namespace zel::form
