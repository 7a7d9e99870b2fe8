// The base of every screen. A panel is built once by the panel manager and lives to the end of the process;
// while it is current its shown controls sit in the child list in two layers (1 normal, 2 on top). Controls
// made with add<T> belong to the panel base: the manager's clear after every hide empties the list, drops the
// pen capture and destroys them, the last made first; a panel keeps a plain pointer only to a control it
// touches again, and forgets it in hide. A control a panel makes and keeps itself is only pointed at by the
// list (add_control). UI thread only.
//
//   state      event                 next
//   empty      show: add<T>          shown (children listed and owned)
//   shown      hide, then clear      empty (owned children destroyed, last first)
//
// Pen: a pen-down goes to the first visible child under the pen, layer 2 before layer 1, which is captured
// and gets the next pen-up wherever the pen is lifted; a pen-down on empty space clears the capture.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "api/update_mask.h"
#include "form/controls/control.h"
#include "form/drawing/geometry.h"
#include "form/shell/panel_param.h"

namespace zel::form {

class Graphics;

class panel_base {
public:
    panel_base() = default;
    virtual ~panel_base();
    panel_base(const panel_base&) = delete;
    panel_base& operator=(const panel_base&) = delete;

    // The background, then the layer-1 children that overlap the update rectangle.
    virtual void paint_layer1(Graphics& g, const rect& update);
    // The layer-2 children that overlap the update rectangle.
    virtual void paint_layer2(Graphics& g, const rect& update);
    virtual void on_pen_up(int x, int y);
    virtual void on_pen_down(int x, int y);
    virtual void on_key_up_arrow() {}
    virtual void on_key_down_arrow() {}
    // 1 when a visible child of either layer holds the point.
    virtual int hit_test(int x, int y);
    // The panel's own rectangle and the screen's; written by the manager's load thread before the panel is
    // first shown.
    virtual void set_rects(const rect& own, const rect& screen);
    // Black.
    virtual void paint_background(Graphics& g, const rect& update);
    virtual int panel_id() const = 0;
    virtual void on_command(const zel_api::update_mask&) {}
    // The parameter is borrowed from the stack entry (null for none) and stays valid until hide.
    virtual void show(const panel_param*) {}
    virtual void hide() {}
    // 0: not handled, the manager may pop the panel.
    virtual int on_back() {
        return 0;
    }

    void add_control(control* c, int layer);
    // Makes a control that the panel base owns until the next clear and lists it on the layer (1 normal, 2 on
    // top); the reference stays valid until then.
    template <class T, class... Args> T& add(int layer, Args&&... args) {
        auto made = std::make_unique<T>(std::forward<Args>(args)...);
        T& item = *made;
        owned_.push_back(std::move(made));
        add_control(&item, layer);
        return item;
    }
    // Empties the child list, drops the capture (so a pen-up with no pen-down since the next show cannot reach
    // a control that is gone) and destroys the controls made with add, the last made first.
    void clear_controls();
    // The first child in list order of that layer that is visible and holds the point; null when none.
    control* control_at(int x, int y, int layer) const;

    const rect& own_rect() const {
        return own_;
    }
    const rect& screen_rect() const {
        return screen_;
    }
    // Tests look at these.
    size_t control_count() const {
        return children_.size();
    }
    control* captured() const {
        return captured_;
    }

protected:
    rect own_;
    rect screen_;

private:
    struct child {
        control* item;
        int layer;
    };
    // The owned controls are destroyed last made first.
    void destroy_owned();

    std::vector<child> children_;
    std::vector<std::unique_ptr<control>> owned_;
    control* captured_ = nullptr;
};

// Appends the control to the panel's child list on the layer (1 normal, 2 on top).
inline void panel_add_control(panel_base& panel, control* c, int layer) {
    panel.add_control(c, layer);
}

} // namespace zel::form
