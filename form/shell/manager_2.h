// The panel manager behind the main window: it owns one instance of every panel, the panel stack, the command
// queue, the timers, the GUI lock, the skin images and the back buffer, switches panels and paints them. The
// dialogs it raises by itself (messages, the preliminary-order question) are message_preorder_workflow's.
//
// Threads and locks: post_command, invalidate_rect, repaint, post_paint and post_to_ui may be called on any
// thread; post_command takes the queue lock (re-entrant) and nothing else. Everything else runs on the UI
// thread and takes no lock (stack, timers and lock counter assert it in debug builds). The load thread
// (f_load) makes the skin images and lays the panels out while the UI thread paints the logo; both are
// published with release/acquire before the login exchange, whose answers switch away from the logo, starts.
//
// Panel stack (top at the front; never empty after start):
//   push         -> new entry on top              posts CHANGE_PANEL
//   replace      -> top entry overwritten         posts CHANGE_PANEL
//   pop          -> top removed while > 1 entry   posts CHANGE_PANEL only when it removed one
//   pop_to_first -> down to the bottom entry      always posts CHANGE_PANEL
//   quiet pop    -> down to the bottom entry      posts nothing (a following push decides the panel)
//   reset        -> quiet pop, bottom replaced    posts CHANGE_PANEL
//   raise        -> an entry moved to the top     posts CHANGE_PANEL only when one has the id
// Each CHANGE_PANEL hides the current panel, empties its child list and shows the panel of the top entry (the
// logo for 0, the master panel for an id without a panel). Entries own their parameters; the shown panel's parameter is
// kept until the next switch has hidden that panel, even when its entry left the stack.
//
// GUI lock: 0 --lock--> 1 (overlay shown, input ignored) --lock--> n ... --unlock--> 1 --unlock--> 0 (overlay
// hidden); an unlock at 0 stays at 0 and only repaints.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "api/update_mask.h"
#include "controller/controller_listener.h"
#include "form/drawing/geometry.h"
#include "form/shell/dialog_request.h"
#include "form/shell/panel_ids.h"
#include "form/shell/panel_param.h"
#include "platform/window.h"

namespace zel::form {

class Graphics;
class Image;
class skin_images;
class panel_base;
class panel_logo;
class message_preorder_workflow;

// Private messages of the main window; their names are also their log texts.
inline constexpr UINT NEW_DATA = WM_USER + 1;
inline constexpr UINT CHANGE_PANEL = WM_USER + 2;
// Runs one callable handed to post_to_ui.
inline constexpr UINT UI_CALL = WM_USER + 3;

struct panel_entry {
    int id = 0;
    std::shared_ptr<const panel_param> param;
};

class manager_2 : public controller_::controller_listener {
public:
    using panel_factory = std::function<std::unique_ptr<panel_base>(manager_2&)>;
    // One screen: its id and classes (the landscape class is built when the screen's height is at most its
    // width; none: the portrait class serves both).
    struct panel_row {
        int id;
        panel_factory portrait;
        panel_factory landscape;
    };
    // Every panel the manager builds, in construction order. The status strip and the busy overlay have no id.
    struct panel_table {
        panel_factory status;
        panel_factory lock;
        std::vector<panel_row> rows;
    };
    // The program's screens.
    static panel_table default_table();

    static constexpr int logo_id = panel_ids::logo;
    static constexpr int master_id = panel_ids::main_menu;
    static constexpr int dialog_id = panel_ids::dialog;

    explicit manager_2(HWND window);
    manager_2(HWND window, panel_table table);
    // The program never destroys its manager; tests do, after await_load.
    ~manager_2() override;
    manager_2(const manager_2&) = delete;
    manager_2& operator=(const manager_2&) = delete;

    // --- stack (UI thread)
    virtual void push_panel(int id, std::shared_ptr<const panel_param> param = {});
    virtual void replace_panel(int id, std::shared_ptr<const panel_param> param = {});
    virtual const panel_entry& top_panel() const;
    // 1 when an entry anywhere on the stack has the id.
    virtual int has_panel(int id) const;
    virtual void pop_panel();
    virtual void pop_to_first();
    virtual void pop_to_first_quiet();
    virtual void reset_to_panel(int id, std::shared_ptr<const panel_param> param = {});
    // Brings the topmost entry with the id to the top with a new parameter and posts the change (the panel is
    // shown afresh, also when it was already on top). Entries above it whose ids are listed in `drop` go; the
    // others keep their order below it. 0, and nothing changes, when no entry has the id.
    virtual int raise_panel(int id, std::shared_ptr<const panel_param> param, const std::vector<int>& drop = {});

    // --- screen facts and repaints
    // 1.0 on an 800 x 480 screen, else DPI / 192.
    virtual float get_scale() const;
    // Null until the load thread made them.
    virtual skin_images* get_skin_images() const;
    // Any thread.
    virtual void repaint();
    virtual void post_paint();
    virtual void invalidate_rect(const rect& r);
    virtual HWND get_hwnd() const {
        return window_;
    }

    // --- commands, lock, timers
    // Any thread: queues the mask and posts NEW_DATA.
    void post_command(const zel_api::update_mask& mask) override;
    virtual void lock();
    virtual void unlock();
    // A repeating timer of period seconds; its id is one above the largest in use (1 for the first).
    virtual int set_timer(unsigned seconds, std::function<void()> callback);
    virtual void kill_timer(int id);

    virtual int get_width() const {
        return width_;
    }
    virtual int get_height() const {
        return height_;
    }
    virtual int get_dpi() const {
        return dpi_;
    }
    // Pops the top entry unless the current panel's on_back handles it.
    virtual void back();
    // Shows the logo with the stack {0} and starts the load thread.
    virtual void start();

    // --- the window procedure's calls (UI thread)
    void paint(HDC dc, const rect& update);
    void switch_panel();
    // Handles one queued mask.
    void command_pump();
    void on_timer(int id);
    void on_pen_down(int x, int y);
    void on_pen_up(int x, int y);
    void on_key_down(UINT key);
    void on_key_up(UINT key);
    // Runs one callable of post_to_ui.
    void run_ui_call();

    // Any thread: the callable runs on the UI thread (one UI_CALL message each).
    void post_to_ui(std::function<void()> call);

    // --- message and preliminary-order workflow (UI thread; message_preorder_workflow does the work)
    void show_next_message();
    void check_preorders();

    // --- test seams
    // Sounds (default sound_player::play).
    void set_sound(std::function<void(int)> play) {
        sound_ = std::move(play);
    }
    // Plays a sound through that seam (the panels' sounds).
    void play_sound(int id) {
        if (sound_) {
            sound_(id);
        }
    }
    // Waits until the load thread has ended (nothing when it never started).
    void await_load();
    const std::deque<panel_entry>& stack() const {
        return stack_;
    }
    panel_base* current_panel() const {
        return current_;
    }
    panel_base* status_panel() const {
        return status_;
    }
    panel_base* lock_panel() const {
        return lock_panel_;
    }
    // The panel built for the id: the logo for 0 once started, the master panel for an id without one.
    panel_base* panel_for(int id) const;
    int lock_count() const {
        return lock_count_;
    }
    // The preliminary-order timer's id; -1 while none runs.
    int preorder_timer() const;
    Graphics* back_buffer() const {
        return back_buffer_.get();
    }

private:
    void f_load();
    void layout_panels();
    int query_dpi() const;
    void post_change();
    void assert_ui_thread() const;

    std::unique_ptr<panel_logo> logo_;
    panel_base* status_ = nullptr;
    std::vector<std::pair<int, std::unique_ptr<panel_base>>> panels_;
    std::unique_ptr<panel_base> status_owned_;
    std::unique_ptr<panel_base> lock_owned_;
    panel_base* master_ = nullptr;
    panel_base* current_ = nullptr;
    panel_base* lock_panel_ = nullptr;
    int dpi_ = 192;
    std::deque<zel_api::update_mask> queue_;
    std::deque<panel_entry> stack_;
    std::atomic<skin_images*> skin_{nullptr};
    std::unique_ptr<skin_images> skin_owned_;
    HWND window_;
    int lock_count_ = 0;
    std::map<int, std::function<void()>> timers_;
    std::unique_ptr<message_preorder_workflow> workflow_;
    HDC window_dc_ = nullptr;
    std::unique_ptr<Graphics> back_buffer_;
    std::recursive_mutex queue_lock_;
    int width_;
    int height_;

    // The parameter of the shown panel, kept until the next switch has hidden it.
    std::shared_ptr<const panel_param> shown_param_;
    std::atomic<bool> laid_out_{false};
    std::thread load_thread_;
    std::function<void(int)> sound_;
    std::thread::id ui_thread_;
    std::mutex calls_lock_;
    std::deque<std::function<void()>> calls_;
};

// The skin picture of the form's table; 0 x 0 when the form or its table is missing (the controls skip it).
std::shared_ptr<Image> form_image(const manager_2* form, int id);

} // namespace zel::form
