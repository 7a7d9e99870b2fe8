#include "gps/track_recorder.h"

#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "gps/track_file_writer.h"

namespace zel::gps {

track_recorder::track_recorder(uint32_t max_points, uint32_t interval, std::filesystem::path folder)
    : max_points_(max_points), interval_(interval), folder_(std::move(folder)) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) {
        zel::log(logger::warning, L"track: cannot create " + utf8_to_wide(folder_.string()));
    }
}

void track_recorder::add(const location& point) {
    if (!(point.accuracy < accuracy_limit)) {
        return;
    }
    std::lock_guard guard(points_lock_);
    points_.push_back(point);
    if (points_.size() >= max_points_) {
        write_locked();
    }
}

void track_recorder::flush() {
    std::lock_guard guard(points_lock_);
    if (!points_.empty()) {
        write_locked();
    }
}

size_t track_recorder::pending() const {
    std::lock_guard guard(points_lock_);
    return points_.size();
}

void track_recorder::write_locked() {
    track_file_writer(folder_).write(points_);
    points_.clear();
}

} // namespace zel::gps
