// The start-up screen (panel 0): the start-up pictures, the version line and one status line. The manager
// shows it at start while its load thread reads the skin and runs the exchange with the login servers, so it
// takes its pictures straight from the help skin library. When the exchange is over ("disconnect_global") it
// replaces the stack with the main menu; when the login servers offer a newer program ("obj-update") it asks,
// downloads the update over FTP, starts the updater and ends the program.
//
// Threads: everything runs on the UI thread except the update thread, which runs program_update and only
// posts each stage, each progress value and the end of its run to the UI thread (manager_2::post_to_ui); the
// UI thread writes the status text and acts. The posts go through a link that the destructor cuts, and the
// destructor waits for the update thread.
//
// States:
//   waiting      --"disconnect_global"---------------------------> main menu (stack reset)
//   waiting      --"obj-update", offered version newer-------------> asking (question dialog pushed)
//   asking       --"Нет"-------------------------------------------> main menu
//   asking       --"Да"--------------------------------------------> downloading (update thread)
//   asking       --dialog popped by Enter, the exchange over-------> main menu
//   downloading  --stage 6, updater started------------------------> ended (end_program)
//   downloading  --stage -1, a run over without 6 or -1, or an
//                  updater that cannot start-----------------------> failed (one error dialog)
//   failed       --dialog closed: "man" 0--------------------------> ended; otherwise main menu
// Neither "disconnect_global" nor a second offer changes anything while asking or downloading.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "controller/program_update.h"
#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Image;

class panel_logo : public panel_base {
public:
    panel_logo(manager_2& form, std::wstring version_text);
    ~panel_logo() override;

    static constexpr int id = panel_ids::logo;

    int panel_id() const override {
        return id;
    }
    // Stores the rectangles and loads the three pictures.
    void set_rects(const rect& own, const rect& screen) override;
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param* param) override;
    void on_command(const zel_api::update_mask& mask) override;

    // The dialogs' callbacks.
    void on_update_answer(int answer);
    void on_error_closed(int answer);
    // A stage and a progress value of program_update, on the UI thread.
    void on_state(int32_t state, int64_t total);
    void on_progress(int64_t bytes);

    const std::wstring& version_text() const {
        return version_text_;
    }
    // Tests look at these and shorten the download's pauses.
    const std::wstring& status_text() const {
        return status_text_;
    }
    bool update_running() const {
        return running_;
    }
    // True from the start of the update thread until it has posted the end of its run.
    bool update_thread_busy() const {
        return thread_busy_.load();
    }
    controller_::program_update& update() {
        return update_;
    }

private:
    struct ui_link;
    static void post_step(const std::shared_ptr<ui_link>& link, std::function<void(panel_logo&)> step);

    // After "Да": takes the stored offer again and starts the update thread.
    void start_update();
    // The update thread's body: runs program_update, then posts the end of the run.
    void update_thread(std::wstring host, std::wstring remote_folder, int run);
    // The end of a run on the UI thread: without stage 6 or -1 it is a failure.
    void on_run_over();
    void run_updater();
    // Status "Загрузка: ошибка" and the error dialog, once a run.
    void fail();
    void set_status(std::wstring text);
    bool exchange_over() const;

    manager_2& form_;
    std::wstring version_text_;
    std::wstring status_text_ = L"Загрузка...";
    // Help skin pictures 2001 (top band), 2003 (checker strip) and 2002 (emblem).
    std::shared_ptr<Image> top_;
    std::shared_ptr<Image> middle_;
    std::shared_ptr<Image> centre_;
    // The update question is pending.
    bool updating_ = false;
    // From "Да" to the end of the run's handling (updater started or error dialog raised).
    bool running_ = false;
    // This run reported 6 or -1, or failed otherwise; its error dialog is raised.
    bool run_decided_ = false;
    bool failed_ = false;
    // The number of the current run: what an earlier run's thread posted late is dropped.
    int run_ = 0;
    // "disconnect_global" reached this panel.
    bool disconnect_seen_ = false;
    // The download's total from stage 4 (0 before, -1 when a size could not be read).
    int64_t total_ = 0;
    controller_::program_update update_{-1};
    std::shared_ptr<ui_link> link_;
    std::atomic<bool> thread_busy_{false};
    std::thread thread_;
};

} // namespace zel::form
