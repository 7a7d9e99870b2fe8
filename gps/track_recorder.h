// Collects the accurate locations that the controller hands it on the GPS refresh thread and writes them in
// batches of max points to ".trk" files in its folder (track_file_writer). flush writes a batch that is not
// full yet: the program's exit paths call it so the last minutes of track are not lost.
//
// Locks: the points lock guards the pending points, and is taken before the track file lock (inside the
// writer); add and flush may run on different threads.
#pragma once

#include "gps/location.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <vector>

namespace zel::gps {

class track_recorder {
public:
    static constexpr float accuracy_limit = 20.0f;

    // Creates the folder when it is missing. The interval is kept for its callers: batches are written only
    // when full or flushed, since small time-based batches would shorten the track that the newest-100-files
    // rule keeps while the device is offline.
    track_recorder(uint32_t max_points, uint32_t interval, std::filesystem::path folder);

    // Keeps the location when its accuracy is below 20.0; a full batch is written and emptied, written or not.
    void add(const location& point);
    // Writes the pending points, if any, as one batch.
    void flush();

    size_t pending() const;
    uint32_t interval() const {
        return interval_;
    }

private:
    void write_locked();

    const uint32_t max_points_;
    const uint32_t interval_;
    const std::filesystem::path folder_;
    mutable std::mutex points_lock_;
    std::vector<location> points_;
};

} // namespace zel::gps
