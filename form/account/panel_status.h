// The status strip (id 1, never on the stack): the band across the top of every screen but the logo, with the
// back button, the battery, the dispatch connection, a spare place, the parking-filter switch, the GPS fix and
// the server's time of day. The manager lays it out once, shows it after every panel switch, paints it after
// the current panel, gives it the pen first and hands it every update mask after the current panel.
//
// It owns its six controls (made in set_rects, which the manager's load thread runs once before the first
// show), the power monitor, the GUI's GPS subscription and the 10-second keep-awake timer (all made at the
// first show and kept to the end of the process). It reacts to the global events: a lost link, the "login"
// result, every "cmd-result" (one unlock each, whatever command it answers), new session parameters and a new
// order offer (it pushes the offer panel, or brings the one already on the stack to the top).
//
// Threads: on_power_state runs on the power monitor's thread and on_gps_position on the GPS refresh thread.
// Each only works out the new state and hands it to its state_button (set_state is safe from any thread); the
// power report then asks the manager to repaint the clock (invalidate_rect is too). Nothing else of the strip
// is touched off the UI thread. The GPS service keeps its subscribers for good, so the strip subscribes
// through a link that its destructor cuts under the link's lock: a position being handed over finishes first,
// and none reaches a destroyed strip.
//
// Icons and their states:
//   battery     0..3 on battery (>= 70, 50-69, 30-49, < 30 %), 4..7 on mains (same bands); 0 when unknown
//   connection  1 not connected --"login" ok / show while connected--> 0 --"disconnect_local"--> 1
//   filter      hidden until session parameters; 0 "opt-parking-filter" true, 1 otherwise
//   GPS         0 no fix --accuracy <= 49.9--> 1 fix --accuracy above--> 0
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"
#include "gps/location.h"

namespace zel {
class power_monitor;
}

namespace zel::form {

class manager_2;
class Image;
class image_button;
class state_button;

class panel_status : public panel_base {
public:
    static constexpr int id = panel_ids::status;

    explicit panel_status(manager_2& form);
    ~panel_status() override;

    int panel_id() const override {
        return id;
    }
    void set_rects(const rect& own, const rect& screen) override;
    // Clipped to the strip and the update: where the pictures are taller than the band (screens of 180 to 191
    // DPI keep them unscaled) they would cover the top rows of the panel below, which was painted first.
    void paint_layer1(Graphics& g, const rect& update) override;
    void paint_background(Graphics& g, const rect& update) override;
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;

    // The back button's click: the manager's back, except over the message dialog or the order offer. The
    // strip is never the current panel, so the manager never asks it; it answers handled.
    int on_back() override;
    // Callbacks of the controls and dialogs (UI thread).
    void ask_filter();
    void on_filter_on(int answer);
    void on_filter_off(int answer);
    void on_dialog_closed(int answer);
    void keep_backlight();

    // Callbacks of the worker threads (any thread).
    void on_power_state(bool mains_online, std::uint8_t battery_percent);
    void on_gps_position(const gps::location& position);

    // The battery icon's state for a report; a percent above 100 means the level is unknown.
    static int battery_state(bool mains_online, std::uint8_t battery_percent);
    // The GPS icon's state for an accuracy (the GPS service reports 50.0 without a fix).
    static int gps_state(float accuracy);
    // "07:05": the hour and minute of the time of day, each with two digits.
    static std::wstring clock_text(std::int64_t local_seconds);

    // Where the clock is drawn (and what the power reports repaint).
    rect clock_rect() const;

    // Tests look at these; null before set_rects.
    state_button* battery_icon() const {
        return battery_.get();
    }
    state_button* connection_icon() const {
        return connection_.get();
    }
    state_button* spare_icon() const {
        return spare_.get();
    }
    state_button* filter_switch() const {
        return filter_.get();
    }
    state_button* gps_icon() const {
        return gps_.get();
    }
    image_button* back_button() const {
        return back_.get();
    }
    int backlight_timer() const {
        return backlight_timer_;
    }
    bool has_power_monitor() const {
        return monitor_ != nullptr;
    }

private:
    struct gps_link;

    // Hidden without session parameters, else shown with the state of "opt-parking-filter".
    void update_filter_switch();
    void answer_filter(int answer, bool on);

    manager_2& form_;
    std::shared_ptr<Image> background_;
    // Height of the strip's picture, which every icon takes.
    int band_height_ = 0;

    std::unique_ptr<image_button> back_;
    std::unique_ptr<state_button> battery_;
    std::unique_ptr<state_button> connection_;
    std::unique_ptr<state_button> spare_;
    std::unique_ptr<state_button> filter_;
    std::unique_ptr<state_button> gps_;
    // Set by the load thread once the controls exist; a show or command before that finds none to touch.
    std::atomic<bool> laid_out_{false};

    // After the controls: the monitor's thread stops before they go.
    std::unique_ptr<power_monitor> monitor_;
    std::shared_ptr<gps_link> gps_link_;
    int backlight_timer_ = -1;
};

} // namespace zel::form
