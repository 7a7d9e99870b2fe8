// The bookkeeping of one kind of upload file, so that no file blocks the ones behind it:
//
//   answer of a post        the file                        its place in the queue
//   2xx                     deleted by the caller           forgotten
//   none, 5xx, other        kept                            moved to the back
//   4xx, 1st and 2nd time   kept                            moved to the back
//   4xx, 3rd time           moved to folder/"rejected"      forgotten (logged)
//   (empty file)            skipped; deleted by the caller once it has stayed empty for the grace period
//
// Used by one upload thread only; it keeps nothing on disk, so a restart tries every file again.
#pragma once

#include "gps/file_listing.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zel::gps {

class upload_queue {
public:
    static constexpr int refusals_before_rejecting = 3;
    static constexpr int64_t empty_grace_seconds = 60;

    // what names the files in log lines ("track", "tax data" ...).
    upload_queue(std::filesystem::path folder, std::wstring what);

    // The files in the order to try them: those that have not failed in the listed order, then those that
    // failed, the one that failed longest ago first. Forgets files that are gone.
    std::vector<listed_file> order(const std::vector<listed_file>& files);
    // Records that the file was found empty; true once it has been empty for the grace period (by now_seconds).
    bool empty_expired(const listed_file& file);
    // Records the answer to a post of the file (posted: the client's success; status: its HTTP status) and
    // sets the file aside after its last refusal. True when the server took it: the caller deletes it.
    bool settle(const listed_file& file, bool posted, long status);
    // Moves the file into the "rejected" subfolder (under a free name) and logs why. False when it could not.
    bool set_aside(const listed_file& file, const std::wstring& why);
    // Deletes the file and forgets it.
    void remove(const listed_file& file);

private:
    struct entry {
        uint64_t failed_at = 0; // failure sequence number, 0 when it has not failed
        int refusals = 0;
        int64_t empty_since = -1;
    };

    std::filesystem::path folder_;
    std::wstring what_;
    std::map<std::string, entry> entries_;
    uint64_t failures_ = 0;
};

} // namespace zel::gps
