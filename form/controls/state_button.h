// state_button: shows the picture registered for its current state key (the strip's battery, GPS and
// connection symbols); key -1 or a key without a picture shows nothing.
//
// Threads: the pictures are registered on the thread that builds the button, before it is shared (the
// strip lays out on the load thread), and never change afterwards. set_state may then run on any thread
// (the power and GPS threads do): it only reads the map, stores the key atomically and asks for a repaint
// through the manager's thread-safe invalidate_rect, while the UI thread paints.
#pragma once

#include <atomic>
#include <map>
#include <memory>

#include "form/controls/button.h"

namespace zel::form {

class Image;

class state_button : public button {
public:
    state_button(manager_2* form, const rect& r, std::function<void()> on_click);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Before the button is shared only; no repaint.
    virtual void set_state_image(int key, std::shared_ptr<Image> image);
    // The key when it has a picture, else -1; then a repaint. Any thread.
    virtual void set_state(int key);
    virtual int state() const {
        return state_.load(std::memory_order_acquire);
    }

private:
    std::map<int, std::shared_ptr<Image>> images_;
    std::atomic<int> state_{-1};
};

} // namespace zel::form
