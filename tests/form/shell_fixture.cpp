#include "tests/form/shell_fixture.h"

#include <algorithm>
#include <stdexcept>

#include "api/command/received/cmd_result.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/graphics.h"
#include "form/shell/dialog_request.h"
#include "form/shell/main_window.h"
#include "foundation/text_utils.h"
#include "platform/headless.h"

namespace zel::form::test {

namespace {

// The program's own procedure, without its start-up: the test builds the manager itself.
LRESULT test_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE) {
        return 0;
    }
    return main_window_proc(window, message, wparam, lparam);
}

std::string describe(const panel_param* param) {
    if (const auto* n = param_as<number_param>(param)) {
        return " n:" + std::to_string(n->value);
    }
    if (const auto* t = param_as<text_param>(param)) {
        return " t:" + wide_to_utf8(t->value);
    }
    if (const auto* d = param_as<dialog_request>(param)) {
        return " dialog:" + wide_to_utf8(d->text);
    }
    return "";
}

} // namespace

namespace {

// Exactly the pixels of r (fill_rect covers one more each way); nothing for an empty one.
void fill_exactly(Graphics& g, const rect& r, const rgb& colour) {
    if (r.w > 0 && r.h > 0) {
        brush_holder brush(colour);
        g.fill_rect(rect{r.x, r.y, r.w - 1, r.h - 1}, brush);
    }
}

} // namespace

recording_control::~recording_control() = default;

void recording_control::paint(Graphics& g, const rect&, int, int) {
    if (colour && is_visible()) {
        fill_exactly(g, rect_, *colour);
    }
}

void recording_panel::paint_background(Graphics& g, const rect& update) {
    if (background) {
        fill_exactly(g, intersection(own_rect(), update), *background);
    }
}

void recording_control::on_pen_down(int, int) {
    log_.push_back("down " + name_);
    if (throws) {
        throw std::runtime_error("pen");
    }
}

void recording_control::on_pen_up(int, int) {
    log_.push_back("up " + name_);
    if (throws) {
        throw std::runtime_error("pen");
    }
}

void recording_panel::show(const panel_param* param) {
    log_.push_back("show " + std::to_string(id_) + describe(param));
    shown = param;
    for (const control_shape& shape : controls) {
        made.push_back(std::make_unique<recording_control>(&form_, shape.r, shape.name, log_));
        made.back()->set_visible(shape.visible);
        made.back()->colour = shape.colour;
        add_control(made.back().get(), shape.layer);
    }
}

void recording_panel::hide() {
    // Reads the parameter it was shown with: it must still be alive here.
    log_.push_back("hide " + std::to_string(id_) + describe(shown));
    made.clear();
    shown = nullptr;
}

void recording_panel::on_command(const zel_api::update_mask& mask) {
    log_.push_back("cmd " + std::to_string(id_));
    if (command_hook) {
        command_hook(mask);
    }
    if (throw_on_command) {
        throw std::runtime_error("on_command");
    }
}

void recording_panel::on_key_up_arrow() {
    log_.push_back("arrow-up " + std::to_string(id_));
}

void recording_panel::on_key_down_arrow() {
    log_.push_back("arrow-down " + std::to_string(id_));
}

int recording_panel::on_back() {
    log_.push_back("back " + std::to_string(id_));
    return back_answer;
}

shell_harness::shell_harness() = default;

shell_harness::~shell_harness() {
    teardown();
}

void shell_harness::teardown() {
    if (manager) {
        manager->await_load();
    }
    set_main_manager(nullptr);
    manager.reset();
    if (window) {
        DestroyWindow(window);
        window = nullptr;
    }
    panels.clear();
    status = nullptr;
}

manager_2::panel_table shell_harness::recording_table() {
    manager_2::panel_table table;
    table.status = [this](manager_2& m) {
        auto p = std::make_unique<recording_panel>(m, 1, log);
        status = p.get();
        return std::unique_ptr<panel_base>(std::move(p));
    };
    table.lock = [this](manager_2& m) {
        auto p = std::make_unique<recording_panel>(m, -1, log);
        p->background.reset(); // the overlay leaves the screen below as it is
        overlay = p.get();
        return std::unique_ptr<panel_base>(std::move(p));
    };
    for (int id : test_ids) {
        table.rows.push_back({id,
                              [this, id](manager_2& m) {
                                  auto p = std::make_unique<recording_panel>(m, id, log);
                                  panels[id] = p.get();
                                  return std::unique_ptr<panel_base>(std::move(p));
                              },
                              nullptr});
    }
    return table;
}

void shell_harness::build(const platform::screen_size& screen, manager_2::panel_table table) {
    platform::headless::start(screen);
    WNDCLASSW wc{};
    wc.lpfnWndProc = test_window_proc;
    wc.lpszClassName = L"SHELLTEST";
    RegisterClassW(&wc); // a second registration in the same process fails harmlessly
    window = CreateWindowExW(0, L"SHELLTEST", L"Morvik test", WS_VISIBLE, 0, 0, screen.width, screen.height, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    manager = std::make_unique<manager_2>(window, table.rows.empty() ? recording_table() : std::move(table));
    manager->set_sound([this](int id) { sounds.push_back(id); });
    set_main_manager(manager.get());
}

void shell_harness::start() {
    manager->start();
    manager->await_load();
    run();
}

void shell_harness::run() {
    platform::headless::run_until_idle();
}

call_log shell_harness::take() {
    call_log taken;
    taken.swap(log);
    return taken;
}

std::vector<int> shell_harness::stack_ids() const {
    std::vector<int> ids;
    for (const panel_entry& e : manager->stack()) {
        ids.push_back(e.id);
    }
    return ids;
}

recording_panel& shell_harness::panel(int id) {
    return *panels.at(id);
}

recording_panel& shell_harness::strip() {
    return *status;
}

zel_api::update_mask mask_of(std::initializer_list<const wchar_t*> names) {
    zel_api::update_mask mask;
    for (const wchar_t* name : names) {
        mask.set(name);
    }
    return mask;
}

zel_api::update_mask result_mask(const std::wstring& command, bool ok) {
    auto result = std::make_shared<zel_api::command::cmd_result>();
    result->cmd_name = command;
    result->ok = ok;
    zel_api::update_mask mask;
    mask.set(L"cmd-result");
    mask.set_payload(result);
    return mask;
}

} // namespace zel::form::test
