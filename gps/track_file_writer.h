// Writes one batch of points as a ".trk" file named by the current second (track_file.h), after pruning the
// folder to its newest 100 track files. The track file lock is held from the pruning to the closing of the
// file; the track uploader takes the same lock whenever it reads, trims or deletes a track file.
#pragma once

#include "gps/location.h"

#include <filesystem>
#include <mutex>
#include <vector>

namespace zel::gps {

// The lock shared by every writer and the uploader of ".trk" files.
std::mutex& track_file_lock();

class track_file_writer {
public:
    static constexpr size_t kept_files = 100;

    explicit track_file_writer(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Prunes the folder, then appends one batch to folder/<now_seconds>.trk. False (logged) when the file
    // cannot be opened or written; the points are not kept anyway.
    bool write(const std::vector<location>& points);

private:
    void prune();

    std::filesystem::path folder_;
};

} // namespace zel::gps
