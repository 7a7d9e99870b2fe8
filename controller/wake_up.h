// A descriptor that one thread makes readable to wake another out of a poll (an eventfd). It owns the
// descriptor; signal may be called from any thread, any number of times, and the descriptor stays readable
// from the first signal on.
#pragma once

namespace zel::controller_ {

class wake_up {
public:
    wake_up();
    ~wake_up();
    wake_up(const wake_up&) = delete;
    wake_up& operator=(const wake_up&) = delete;

    // The descriptor to poll for reading; -1 when none could be made (nothing then wakes the poll early).
    int fd() const {
        return fd_;
    }
    void signal();

private:
    int fd_;
};

} // namespace zel::controller_
