#include "foundation/logger.h"

#include "foundation/app_paths.h"
#include "foundation/clock.h"
#include "foundation/text_utils.h"


#include <atomic>

namespace zel {
namespace {

std::atomic<logger*> the_logger{nullptr};
std::once_flag create_once;

const wchar_t* prefix(int level) {
    switch (level) {
    case logger::info:
        return L"[INFO] : ";
    case logger::warning:
        return L"[WARNING] : ";
    case logger::error:
        return L"[ERROR] : ";
    case logger::fatal:
        return L"[FATAL] : ";
    default:
        return L"";
    }
}

} // namespace

void logger::create(int min_level) {
    std::call_once(create_once, [min_level] { the_logger.store(new logger(min_level)); });
}

logger* logger::instance() {
    return the_logger.load();
}

std::wstring logger::format_line(int hour, int minute, int second, int millisecond, int level,
                                 const std::wstring& text) {
    return itow_wstring(hour) + L":" + itow_wstring(minute) + L":" + itow_wstring(second) + L":" +
           itow_wstring(millisecond) + L" " + prefix(level) + text + L"\n";
}

void logger::write(int level, const std::wstring& text) {
    std::lock_guard guard(lock_);
    if (level < min_level_) {
        return;
    }
    const utc_time now = clock::utc_now();
    write_all(fd_, wide_to_utf8(format_line(now.hour, now.minute, now.second, now.millisecond, level, text)));
}

void logger::set_output_fd(int fd) {
    std::lock_guard guard(lock_);
    fd_ = fd < 0 ? 2 : fd;
}

void log(int level, const std::wstring& text) {
    logger::create(0);
    logger::instance()->write(level, text);
}

} // namespace zel
