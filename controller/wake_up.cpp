#include "controller/wake_up.h"

#include "foundation/logger.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace zel::controller_ {

wake_up::wake_up() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (fd_ < 0) {
        zel::log(logger::error, L"wake_up: no eventfd; a connect can't be cut short");
    }
}

wake_up::~wake_up() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void wake_up::signal() {
    if (fd_ >= 0) {
        const uint64_t one = 1;
        // The counter only grows; a failed write (it is full) leaves it readable all the same.
        [[maybe_unused]] const ssize_t written = ::write(fd_, &one, sizeof one);
    }
}

} // namespace zel::controller_
