// Sections: construction | pictures and painting | commands and answers | the update run | the updater.
#include "form/account/panel_logo.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>
#include <system_error>
#include <unistd.h>

#include "api/command_names.h"
#include "controller/controller.h"
#include "form/account/version_number.h"
#include "form/drawing/brush_holder.h"
#include "form/drawing/drawing.h"
#include "form/drawing/font_holder.h"
#include "form/drawing/graphics.h"
#include "form/drawing/image.h"
#include "form/shell/dialog_request.h"
#include "form/shell/main_window.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "platform/gdi.h"
#include "platform/process_control.h"
#include "platform/text.h"

namespace zel::form {

namespace {

using controller_::controller;

// The pictures are drawn for a 480 x 640 area and only ever shrunk to the screen.
constexpr float design_width = 480.0f;
constexpr float design_height = 640.0f;
constexpr int top_picture = 2001;
constexpr int centre_picture = 2002;
constexpr int middle_picture = 2003;
constexpr wchar_t help_library[] = L"/skin/skin_black_help.dll";

constexpr int font_size = 26;
constexpr int status_gap = 16;
constexpr rgb version_colour{211, 211, 211};
constexpr rgb status_colour{240, 217, 62};
// Centred, one line, at the rectangle's bottom.
constexpr UINT line_flags = DT_CENTER | DT_BOTTOM | DT_SINGLELINE;

const std::vector<std::wstring> update_files = {L"update.exe", L"update.zip"};

std::wstring state_text(int32_t state) {
    switch (state) {
    case -1:
        return L"Загрузка: ошибка";
    case 0:
        return L"Загрузка: не известно";
    case 1:
        return L"Загрузка: соединение с сервером";
    case 2:
        return L"Загрузка: аутентификация";
    case 3:
        return L"Загрузка: проверка файлов";
    case 4:
        return L"Загрузка: получение размера";
    case 5:
        return L"Загрузка: загрузка обновления";
    case 6:
        return L"Загрузка: обновление загружено";
    default:
        return {};
    }
}

} // namespace

// --- construction

// What the update thread holds of the panel: the destructor cuts it, so a post made while the panel goes away
// reaches nothing.
struct panel_logo::ui_link {
    std::mutex lock;
    manager_2* form = nullptr;
    panel_logo* owner = nullptr;
};

// Any thread: the step runs on the UI thread while the panel lives.
void panel_logo::post_step(const std::shared_ptr<ui_link>& link, std::function<void(panel_logo&)> step) {
    std::lock_guard<std::mutex> hold(link->lock);
    if (!link->form) {
        return;
    }
    link->form->post_to_ui([link, step = std::move(step)] {
        panel_logo* owner = nullptr;
        {
            std::lock_guard<std::mutex> hold_owner(link->lock);
            owner = link->owner;
        }
        if (owner) {
            step(*owner);
        }
    });
}

panel_logo::panel_logo(manager_2& form, std::wstring version_text)
    : form_(form), version_text_(std::move(version_text)), link_(std::make_shared<ui_link>()) {
    link_->form = &form_;
    link_->owner = this;
}

panel_logo::~panel_logo() {
    {
        std::lock_guard<std::mutex> hold(link_->lock);
        link_->form = nullptr;
        link_->owner = nullptr;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

// --- pictures and painting

void panel_logo::set_rects(const rect& own, const rect& screen) {
    panel_base::set_rects(own, screen);
    const float sx = static_cast<float>(screen.w) / design_width;
    const float sy = static_cast<float>(screen.h) / design_height;
    const std::wstring library = app_folder() + help_library;
    top_ = Image::construct_scaled(top_picture, library, Image::format_png, sx, sy, true);
    middle_ = Image::construct_scaled(middle_picture, library, Image::format_png, sx, sy, true);
    centre_ = Image::construct_scaled(centre_picture, library, Image::format_png, sx, sy, true);
    if (top_->empty() || middle_->empty() || centre_->empty()) {
        log(logger::error, L"panel_logo: a start-up picture is missing from " + library);
    }
}

void panel_logo::paint_background(Graphics& g, const rect&) {
    const int x = own_.x;
    const int y = own_.y;
    const int w = own_.w;
    const int h = own_.h;
    const float s = form_.get_scale();
    brush_holder black(rgb{0, 0, 0});
    // fill_rect covers one pixel more each way.
    g.fill_rect(rect{x, y, w - 1, h - 1}, black);
    if (top_) {
        top_->draw(g, w / 2 - top_->width() / 2, 0);
    }
    if (centre_) {
        centre_->draw(g, w / 2 - centre_->width() / 2, h / 2 - centre_->height() / 2);
    }
    if (middle_) {
        middle_->draw(g, w / 2 - middle_->width() / 2, middle_->height() / 3);
    }
    const font_holder font(scaled(font_size, s), 400);
    g.draw_text(font, rect{x, y, w, h - h / 10}, L"Версия: " + version_text_, line_flags, TRANSPARENT, version_colour);
    const int t = text_extent(form_.get_hwnd(), font, L"Версия").height;
    const int status_top = static_cast<int>(static_cast<float>(status_gap) * s + static_cast<float>(t));
    g.draw_text(font, rect{x, y + status_top, w, h - h / 9}, status_text_, line_flags, TRANSPARENT, status_colour);
}

void panel_logo::set_status(std::wstring text) {
    status_text_ = std::move(text);
    form_.invalidate_rect(own_);
}

// --- commands and answers

void panel_logo::show(const panel_param*) {
    updating_ = false;
    // Enter pops the question without an answer: the logo would wait for an end of the exchange that has
    // already passed, with the pen ignored, for ever.
    if (!running_ && exchange_over()) {
        form_.reset_to_panel(panel_ids::main_menu);
    }
}

bool panel_logo::exchange_over() const {
    if (disconnect_seen_) {
        return true;
    }
    // While a dialog covers the logo, "disconnect_global" goes to the dialog; the controller still knows.
    const controller* c = controller::instance();
    return c && !c->is_registering();
}

void panel_logo::on_command(const zel_api::update_mask& mask) {
    if (mask.test(zel_api::key::obj_update)) {
        const controller* c = controller::instance();
        const auto offer = c ? c->get_update_info() : nullptr;
        if (!offer) {
            log(logger::warning, L"panel_logo: \"obj-update\" without a stored record, nothing offered");
            return;
        }
        if (updating_ || running_) {
            // A second question would start a second download into the same files.
            log(logger::warning, L"panel_logo: an update is already offered, " + offer->version + L" is ignored");
            return;
        }
        if (!is_newer_version(version_number(version_text_), version_number(offer->version))) {
            log(logger::info, L"panel_logo: version " + offer->version + L" is not newer than " + version_text_);
            return;
        }
        updating_ = true;
        form_.push_panel(panel_ids::dialog,
                         std::make_shared<dialog_request>(dialog_request::question, L"Есть новая версия, обновить?",
                                                          [this](int answer) { on_update_answer(answer); }));
        return;
    }
    if (mask.test(zel_api::key::disconnect_global)) {
        disconnect_seen_ = true;
        // While the question is pending or the download runs the driver stays here.
        if (!updating_ && !running_) {
            form_.reset_to_panel(panel_ids::main_menu);
        }
    }
}

void panel_logo::on_update_answer(int answer) {
    if (answer != dialog_request::answer_yes) {
        form_.reset_to_panel(panel_ids::main_menu);
        return;
    }
    form_.pop_panel();
    start_update();
}

void panel_logo::on_error_closed(int) {
    const controller* c = controller::instance();
    const auto offer = c ? c->get_update_info() : nullptr;
    if (offer && offer->man == 0) {
        log(logger::warning, L"panel_logo: the update is mandatory and failed, the program ends");
        end_program();
        return;
    }
    form_.reset_to_panel(panel_ids::main_menu);
}

// --- the update run

void panel_logo::start_update() {
    running_ = true;
    run_decided_ = false;
    failed_ = false;
    total_ = 0;
    ++run_;
    const controller* c = controller::instance();
    const auto offer = c ? c->get_update_info() : nullptr;
    if (!offer) {
        log(logger::error, L"panel_logo: no \"obj-update\" record to download");
        fail();
        return;
    }
    if (thread_.joinable()) {
        thread_.join(); // the last run has ended: it posted its end before this answer could come
    }
    const int run = run_;
    const std::shared_ptr<ui_link> link = link_;
    update_.set_state_callback([this, link, run](int32_t state) {
        // The total is read on the update thread, where the run has just set it.
        const int64_t total = state == 4 ? update_.total_size() : 0;
        post_step(link, [run, state, total](panel_logo& p) {
            if (p.run_ == run) {
                p.on_state(state, total);
            }
        });
    });
    update_.set_progress_callback([link, run](int64_t bytes) {
        post_step(link, [run, bytes](panel_logo& p) {
            if (p.run_ == run) {
                p.on_progress(bytes);
            }
        });
    });
    thread_busy_.store(true);
    try {
        thread_ = std::thread(&panel_logo::update_thread, this, offer->srv_ftp, offer->ftp_path + L"/", run);
    } catch (const std::system_error&) {
        thread_busy_.store(false);
        log(logger::error, L"panel_logo: the update thread cannot start");
        fail();
    }
}

void panel_logo::update_thread(std::wstring host, std::wstring remote_folder, int run) {
    update_.start(update_files, host, remote_folder, L"/update/");
    post_step(link_, [run](panel_logo& p) {
        if (p.run_ == run) {
            p.on_run_over();
        }
    });
    thread_busy_.store(false);
}

void panel_logo::on_state(int32_t state, int64_t total) {
    if (state == 4) {
        total_ = total;
    }
    const std::wstring text = state_text(state);
    if (!text.empty()) {
        status_text_ = text;
    }
    form_.invalidate_rect(own_);
    if (state == -1) {
        run_decided_ = true;
        fail();
    } else if (state == 6) {
        run_decided_ = true;
        run_updater();
    }
}

void panel_logo::on_progress(int64_t bytes) {
    // The total is 0 before stage 4 and -1 when a size could not be read: no percentage of it.
    if (bytes == 0 || total_ <= 0) {
        set_status(L"Загружено: N% из 100%");
        return;
    }
    const float share = static_cast<float>(bytes) / static_cast<float>(total_) * 100.0f;
    const int32_t percent = static_cast<int32_t>(std::clamp(share, 0.0f, 100.0f));
    set_status(L"Загружено: " + int_to_wstring(percent) + L"% из 100%");
}

void panel_logo::on_run_over() {
    if (!run_decided_) {
        // Without a last stage the driver would wait on the logo, where the pen does nothing, for ever.
        log(logger::error, L"panel_logo: the update ended without a result");
        fail();
    }
}

void panel_logo::fail() {
    run_decided_ = true;
    running_ = false;
    if (failed_) {
        return;
    }
    failed_ = true;
    set_status(state_text(-1));
    form_.push_panel(panel_ids::dialog,
                     std::make_shared<dialog_request>(dialog_request::message, L"Ошибка загрузки обновления.",
                                                      [this](int answer) { on_error_closed(answer); }));
}

// --- the updater

void panel_logo::run_updater() {
    namespace fs = std::filesystem;
    const fs::path program = app_file(L"\\update\\update.exe");
    std::error_code error;
    fs::permissions(program, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, error);
    if (error) {
        log(logger::error, L"panel_logo: the updater " + program.wstring() + L" cannot be made executable: " +
                               utf8_to_wide(error.message()));
        fail();
        return;
    }
    if (!process_control::current().start_program(program.wstring(), {std::to_wstring(::getpid())})) {
        log(logger::error, L"panel_logo: the updater " + program.wstring() + L" cannot start");
        fail();
        return;
    }
    log(logger::warning, L"panel_logo: the updater runs, the program ends");
    end_program();
}

} // namespace zel::form
