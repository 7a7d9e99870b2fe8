// Sections: construction and start | stack | screen facts and repaints | load thread | switching and painting |
// commands | messages and preliminary orders | input | lock | timers | calls of other threads.
#include "form/shell/manager_2.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <stdexcept>

#include "api/command/received/cmd_result.h"
#include "api/command_names.h"
#include "controller/controller.h"
#include "form/account/panel_logo.h"
#include "form/drawing/graphics.h"
#include "form/drawing/skin_images.h"
#include "form/shell/message_preorder_workflow.h"
#include "form/shell/panel_base.h"
#include "foundation/sound_player.h"
#include "platform/gdi.h"

namespace zel::form {

using controller_::controller;

// --- construction and start

manager_2::manager_2(HWND window) : manager_2(window, default_table()) {}

manager_2::manager_2(HWND window, panel_table table)
    : window_(window), width_(GetSystemMetrics(SM_CXSCREEN)), height_(GetSystemMetrics(SM_CYSCREEN)),
      sound_([](int id) { sound_player::play(id); }), ui_thread_(std::this_thread::get_id()) {
    workflow_ = std::make_unique<message_preorder_workflow>(*this);
    const bool landscape = height_ <= width_;
    status_owned_ = table.status(*this);
    status_ = status_owned_.get();
    for (const panel_row& row : table.rows) {
        const panel_factory& make = landscape && row.landscape ? row.landscape : row.portrait;
        panels_.emplace_back(row.id, make(*this));
        if (row.id == master_id) {
            master_ = panels_.back().second.get();
        }
    }
    lock_owned_ = table.lock(*this);
    lock_panel_ = lock_owned_.get();
    if (!master_ && !panels_.empty()) {
        master_ = panels_.front().second.get();
    }
    if (!master_ || !status_ || !lock_panel_) {
        throw std::invalid_argument("manager_2: the panel table lacks the strip, the overlay or a screen");
    }
    dpi_ = query_dpi();
    window_dc_ = GetDC(window_);
    back_buffer_ = std::make_unique<Graphics>(width_, height_, window_dc_);
}

manager_2::~manager_2() {
    await_load();
    // The logo's update thread posts to this manager: the logo stops it while everything here still stands.
    logo_.reset();
    if (window_dc_) {
        ReleaseDC(window_, window_dc_);
    }
}

void manager_2::start() {
    assert_ui_thread();
    const rect screen{0, 0, width_, height_};
    logo_ = std::make_unique<panel_logo>(*this, zel_api::program_version());
    logo_->set_rects(screen, screen);
    current_ = logo_.get();
    stack_.push_back(panel_entry{logo_id, nullptr});
    load_thread_ = std::thread([this] { f_load(); });
}

void manager_2::await_load() {
    if (load_thread_.joinable()) {
        load_thread_.join();
    }
}

panel_base* manager_2::panel_for(int id) const {
    if (id == logo_id && logo_) {
        return logo_.get();
    }
    for (const auto& [panel_id, panel] : panels_) {
        if (panel_id == id) {
            return panel.get();
        }
    }
    return master_;
}

void manager_2::assert_ui_thread() const {
    assert(std::this_thread::get_id() == ui_thread_ && "the panel manager's stack, timers and lock are UI-thread only");
}

// --- stack

void manager_2::post_change() {
    PostMessageW(window_, CHANGE_PANEL, 0, 0);
}

void manager_2::push_panel(int id, std::shared_ptr<const panel_param> param) {
    assert_ui_thread();
    stack_.push_front(panel_entry{id, std::move(param)});
    post_change();
}

void manager_2::replace_panel(int id, std::shared_ptr<const panel_param> param) {
    assert_ui_thread();
    if (stack_.empty()) {
        stack_.push_front(panel_entry{id, std::move(param)});
    } else {
        stack_.front() = panel_entry{id, std::move(param)};
    }
    post_change();
}

const panel_entry& manager_2::top_panel() const {
    assert_ui_thread();
    static const panel_entry none{};
    return stack_.empty() ? none : stack_.front();
}

int manager_2::has_panel(int id) const {
    assert_ui_thread();
    for (const panel_entry& e : stack_) {
        if (e.id == id) {
            return 1;
        }
    }
    return 0;
}

void manager_2::pop_panel() {
    assert_ui_thread();
    if (stack_.size() > 1) {
        stack_.pop_front();
        post_change();
    }
}

void manager_2::pop_to_first() {
    pop_to_first_quiet();
    post_change();
}

void manager_2::pop_to_first_quiet() {
    assert_ui_thread();
    while (stack_.size() > 1) {
        stack_.pop_front();
    }
}

void manager_2::reset_to_panel(int id, std::shared_ptr<const panel_param> param) {
    pop_to_first_quiet();
    if (stack_.empty()) {
        stack_.push_front(panel_entry{id, std::move(param)});
    } else {
        stack_.front() = panel_entry{id, std::move(param)};
    }
    post_change();
}

int manager_2::raise_panel(int id, std::shared_ptr<const panel_param> param, const std::vector<int>& drop) {
    assert_ui_thread();
    const auto found = std::find_if(stack_.begin(), stack_.end(), [id](const panel_entry& e) { return e.id == id; });
    if (found == stack_.end()) {
        return 0;
    }
    std::deque<panel_entry> above(stack_.begin(), found);
    stack_.erase(stack_.begin(), std::next(found));
    // Pushed back from the lowest up, so the kept ones stay in their order.
    for (auto e = above.rbegin(); e != above.rend(); ++e) {
        if (std::find(drop.begin(), drop.end(), e->id) == drop.end()) {
            stack_.push_front(std::move(*e));
        }
    }
    stack_.push_front(panel_entry{id, std::move(param)});
    post_change();
    return 1;
}

void manager_2::back() {
    assert_ui_thread();
    if (stack_.size() > 1 && current_ && current_->on_back() == 0) {
        stack_.pop_front();
        post_change();
    }
}

// --- screen facts and repaints

float manager_2::get_scale() const {
    if (width_ == 800 && height_ == 480) {
        return 1.0f;
    }
    return static_cast<float>(dpi_) * 0.0052083335f;
}

int manager_2::query_dpi() const {
    HDC dc = GetDC(window_);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window_, dc);
    if (width_ == 800 && height_ == 480) {
        return 192;
    }
    return dpi;
}

skin_images* manager_2::get_skin_images() const {
    return skin_.load(std::memory_order_acquire);
}

void manager_2::repaint() {
    InvalidateRect(window_, nullptr, FALSE);
    PostMessageW(window_, WM_PAINT, 0, 0);
}

void manager_2::post_paint() {
    PostMessageW(window_, WM_PAINT, 0, 0);
}

void manager_2::invalidate_rect(const rect& r) {
    const RECT area = r.to_RECT();
    InvalidateRect(window_, &area, FALSE);
}

// --- load thread

void manager_2::f_load() {
    try {
        skin_owned_ = std::make_unique<skin_images>(width_, height_, dpi_);
        skin_.store(skin_owned_.get(), std::memory_order_release);
        layout_panels();
        laid_out_.store(true, std::memory_order_release);
        if (controller* c = controller::instance()) {
            c->login_reg(false);
        }
    } catch (...) {
        MessageBoxW(nullptr, L"Error in manager_2::f_load", L"manager_2::f_load", MB_OK);
    }
}

void manager_2::layout_panels() {
    const rect screen{0, 0, width_, height_};
    const double bar = 54.0 * get_scale();
    status_->set_rects(rect{0, 0, width_, static_cast<int>(bar)}, screen);
    const rect work{0, static_cast<int>(bar), width_, static_cast<int>(height_ - bar)};
    for (const auto& row : panels_) {
        row.second->set_rects(work, screen);
    }
    lock_panel_->set_rects(screen, screen);
}

// --- switching and painting

void manager_2::switch_panel() {
    assert_ui_thread();
    laid_out_.load(std::memory_order_acquire);
    if (stack_.empty()) {
        return;
    }
    const panel_entry top = stack_.front();
    if (current_) {
        current_->hide();
        current_->clear_controls();
    }
    current_ = panel_for(top.id);
    // The previous parameter is released only now that its panel is hidden.
    shown_param_ = top.param;
    current_->show(shown_param_.get());
    status_->show(nullptr);
    repaint();
}

void manager_2::paint(HDC dc, const rect& update) {
    if (update.w == 0 || update.h == 0 || !current_) {
        return;
    }
    try {
        Graphics& g = *back_buffer_;
        if (current_->panel_id() != logo_id) {
            current_->paint_layer1(g, update);
            status_->paint_layer1(g, update);
            current_->paint_layer2(g, update);
            status_->paint_layer2(g, update);
        } else {
            current_->paint_layer1(g, update);
        }
        if (lock_count_ > 0) {
            lock_panel_->paint_layer1(g, update);
            lock_panel_->paint_layer2(g, update);
        }
        g.blit_to_dc(dc, rect{0, 0, width_, height_});
    } catch (...) {
        // Dropped as designed: the next paint draws the screen again.
    }
}

// --- commands

void manager_2::post_command(const zel_api::update_mask& mask) {
    std::lock_guard<std::recursive_mutex> hold(queue_lock_);
    queue_.push_back(mask);
    PostMessageW(window_, NEW_DATA, 0, 0);
    if (mask.result_of(zel_api::key::login)) {
        repaint();
    }
}

void manager_2::command_pump() {
    std::lock_guard<std::recursive_mutex> hold(queue_lock_);
    if (queue_.empty()) {
        return;
    }
    // Off the queue before any panel sees it: a panel that throws would otherwise leave it at the front, to be
    // handled again by every later NEW_DATA while nothing behind it gets through.
    const zel_api::update_mask mask = std::move(queue_.front());
    queue_.pop_front();
    current_->on_command(mask);
    status_->on_command(mask);
    workflow_->on_command(mask);
    // A request whose answer will not come no longer blocks the screen.
    if (mask.test(zel_api::key::disconnect_local)) {
        unlock();
    }
}

// --- messages and preliminary orders

void manager_2::show_next_message() {
    workflow_->show_next_message();
}

void manager_2::check_preorders() {
    workflow_->check_preorders();
}

int manager_2::preorder_timer() const {
    return workflow_->preorder_timer();
}

// --- input

void manager_2::on_pen_down(int x, int y) {
    if (!current_ || current_->panel_id() == logo_id || lock_count_ != 0) {
        return;
    }
    status_->on_pen_down(x, y);
    if (status_->hit_test(x, y) == 0) {
        current_->on_pen_down(x, y);
    }
    post_paint();
}

void manager_2::on_pen_up(int x, int y) {
    if (!current_ || current_->panel_id() == logo_id || lock_count_ != 0) {
        return;
    }
    status_->on_pen_up(x, y);
    if (status_->hit_test(x, y) == 0) {
        current_->on_pen_up(x, y);
    }
    post_paint();
}

void manager_2::on_key_down(UINT key) {
    if (!current_ || current_->panel_id() == logo_id || lock_count_ != 0) {
        return;
    }
    if (key == VK_DOWN) {
        current_->on_key_down_arrow();
    }
}

void manager_2::on_key_up(UINT key) {
    if (!current_ || current_->panel_id() == logo_id || lock_count_ != 0) {
        return;
    }
    if (key == VK_UP) {
        current_->on_key_up_arrow();
    } else if (key == VK_RETURN) {
        pop_panel();
    }
}

// --- lock

void manager_2::lock() {
    assert_ui_thread();
    if (lock_count_ == 0) {
        repaint();
        lock_panel_->show(nullptr);
    }
    ++lock_count_;
}

void manager_2::unlock() {
    assert_ui_thread();
    if (lock_count_ > 0) {
        if (lock_count_ == 1) {
            lock_panel_->hide();
            lock_panel_->clear_controls();
        }
        --lock_count_;
    }
    if (lock_count_ == 0) {
        repaint();
    }
}

// --- timers

int manager_2::set_timer(unsigned seconds, std::function<void()> callback) {
    assert_ui_thread();
    const int id = timers_.empty() ? 1 : timers_.rbegin()->first + 1;
    timers_[id] = std::move(callback);
    SetTimer(window_, static_cast<UINT_PTR>(id), seconds * 1000, nullptr);
    return id;
}

void manager_2::kill_timer(int id) {
    assert_ui_thread();
    auto it = timers_.find(id);
    if (it != timers_.end()) {
        KillTimer(window_, static_cast<UINT_PTR>(id));
        timers_.erase(it);
    }
}

void manager_2::on_timer(int id) {
    assert_ui_thread();
    auto it = timers_.find(id);
    if (it != timers_.end() && it->second) {
        // A copy: the callback may kill its own timer.
        const std::function<void()> callback = it->second;
        callback();
    }
}

// --- calls of other threads

void manager_2::post_to_ui(std::function<void()> call) {
    {
        std::lock_guard<std::mutex> hold(calls_lock_);
        calls_.push_back(std::move(call));
    }
    PostMessageW(window_, UI_CALL, 0, 0);
}

void manager_2::run_ui_call() {
    std::function<void()> call;
    {
        std::lock_guard<std::mutex> hold(calls_lock_);
        if (calls_.empty()) {
            return;
        }
        call = std::move(calls_.front());
        calls_.pop_front();
    }
    if (call) {
        call();
    }
}

std::shared_ptr<Image> form_image(const manager_2* form, int id) {
    return skin_images::image_of(form ? form->get_skin_images() : nullptr, id);
}

} // namespace zel::form
