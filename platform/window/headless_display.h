// The display without a screen: nothing is shown, time is virtual and moves only by advance(). Its window has
// the focus from when it opens (and again when raised) until focus() says otherwise.
#pragma once

#include <condition_variable>
#include <mutex>

#include "platform/window/display_backend.h"

namespace platform {

class headless_display : public display_backend {
public:
    std::uint64_t now_ms() override;
    bool open(int, int, const std::wstring&) override;
    void close() override {}
    void present(const surface&, const RECT&) override {}
    void wait(std::optional<std::uint64_t> deadline) override;
    void wake() override;
    void poll() override {}
    void raise() override;
    void minimise() override;
    int minimised() const;
    void set_full_screen(bool on) override {
        full_screen_ = on;
    }
    bool full_screen() const {
        return full_screen_;
    }
    void resize(int, int) override {}
    void user_activity() override {}
    bool message_box(const std::wstring&, const std::wstring&, unsigned) override {
        return false;
    }
    bool can_show_boxes() override {
        return false;
    }
    bool shared() const override {
        return false;
    }

    void advance(std::uint32_t ms);

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t now_ = 1000;
    bool woken_ = false;
    bool full_screen_ = false;
    int minimised_ = 0;
};

} // namespace platform
