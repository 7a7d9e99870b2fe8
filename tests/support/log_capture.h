// Sends the logger's lines to a file of its own while it lives; text() reads what was written so far.
#pragma once

#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "tests/support/temp_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace zel::test {

class log_capture {
public:
    log_capture() {
        log(logger::info, L"log capture begins"); // makes sure the logger exists
        fd_ = ::open((folder_.path() / "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        logger::instance()->set_output_fd(fd_);
    }
    ~log_capture() {
        logger::instance()->set_output_fd(-1);
        ::close(fd_);
    }
    log_capture(const log_capture&) = delete;
    log_capture& operator=(const log_capture&) = delete;

    // The lines as written (UTF-8).
    std::string text() const {
        return folder_.read("log");
    }
    std::wstring wide_text() const {
        return utf8_to_wide(text());
    }

private:
    temp_folder folder_;
    int fd_ = -1;
};

} // namespace zel::test
