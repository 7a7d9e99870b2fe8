// What the shell's tests share: a headless window whose procedure is the program's own (without its start-up),
// a panel manager built on it from a table of recording panels, and a log of what the panels were asked to do.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "form/controls/control.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_base.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace zel::form::test {

// One line per call: "show 5", "show 5 n:7", "show -2 dialog:text", "hide 5", "cmd 5", "back 5".
using call_log = std::vector<std::string>;

// A control that records its pen events; it may throw from them.
class recording_control : public control {
public:
    recording_control(manager_2* form, const rect& r, std::string name, call_log& log)
        : control(form, r), name_(std::move(name)), log_(log) {}
    ~recording_control() override;
    void on_pen_down(int x, int y) override;
    void on_pen_up(int x, int y) override;
    // Fills exactly its rectangle with the colour, when one is set.
    void paint(Graphics& g, const rect& update, int dx, int dy) override;
    bool throws = false;
    std::optional<rgb> colour;

private:
    std::string name_;
    call_log& log_;
};

// A screen that records show, hide and commands, owns the controls it makes in show and destroys them in hide.
class recording_panel : public panel_base {
public:
    recording_panel(manager_2& form, int id, call_log& log) : form_(form), id_(id), log_(log) {}

    int panel_id() const override {
        return id_;
    }
    void show(const panel_param* param) override;
    void hide() override;
    void on_command(const zel_api::update_mask& mask) override;
    int on_back() override;
    void on_key_up_arrow() override;
    void on_key_down_arrow() override;

    // Controls made at each show: name, rectangle, layer.
    struct control_shape {
        control_shape(std::string n, rect area, int l = 1, bool shown = true, std::optional<rgb> fill = {})
            : name(std::move(n)), r(area), layer(l), visible(shown), colour(fill) {}
        std::string name;
        rect r;
        int layer = 1;
        bool visible = true;
        std::optional<rgb> colour;
    };
    // Fills the part of the update inside the panel's own rectangle; none: draws no background.
    void paint_background(Graphics& g, const rect& update) override;
    std::optional<rgb> background = rgb{0, 0, 0};
    std::vector<control_shape> controls;
    int back_answer = 0;
    bool throw_on_command = false;
    std::function<void(const zel_api::update_mask&)> command_hook;
    // The parameter of the last show (borrowed, valid until hide).
    const panel_param* shown = nullptr;
    std::vector<std::unique_ptr<recording_control>> made;

private:
    manager_2& form_;
    int id_;
    call_log& log_;
};

// The ids the tests' table builds: the main menu, a few screens, the dialog and the offer.
inline const std::vector<int> test_ids = {2, 5, 6, 7, 8, 9, -2, 30};

class shell_harness {
public:
    shell_harness();
    virtual ~shell_harness();
    // Destroys the manager (after its load thread) and the window.
    void teardown();

    // Builds the window and the manager on this screen (once per test; the constructor does not).
    void build(const platform::screen_size& screen = {}, manager_2::panel_table table = {});
    // The manager shows the logo, its load thread runs to its end, and the queue is drained.
    void start();
    // Dispatches until nothing is left.
    void run();
    // The calls logged since the last take.
    call_log take();
    // The ids of the stack, top first.
    std::vector<int> stack_ids() const;
    recording_panel& panel(int id);
    recording_panel& strip();
    manager_2::panel_table recording_table();

    call_log log;
    HWND window = nullptr;
    std::unique_ptr<manager_2> manager;
    std::map<int, recording_panel*> panels;
    recording_panel* status = nullptr;
    recording_panel* overlay = nullptr;
    std::vector<int> sounds;
};

// An update mask with these names set.
zel_api::update_mask mask_of(std::initializer_list<const wchar_t*> names);
// An update mask of one "cmd-result" answering the command.
zel_api::update_mask result_mask(const std::wstring& command, bool ok = true);

class shell_fixture : public ::testing::Test, public shell_harness {};

} // namespace zel::form::test
