// The track recorder and the two uploaders, which the controller owns: it hands every position to the
// recorder and starts the track upload with the first one.
//
// SEAM: the recorder and the uploaders are built in gps/ on their own branch; until they are merged this
// class keeps nothing, and add does nothing. Wiring them in changes only this pair of files.
#pragma once

#include "gps/location.h"

#include <string>

namespace zel::controller_ {

class controller_tracks {
public:
    // The recorder (100 points, interval 30, "\track"), the track uploader ("\track", the local API host,
    // "/generate-uuid", port 8200, the phone's serial number) and the trip-data uploader ("\order_close_inf",
    // started at once).
    explicit controller_tracks(const std::wstring& serial);
    ~controller_tracks();
    controller_tracks(const controller_tracks&) = delete;
    controller_tracks& operator=(const controller_tracks&) = delete;

    // Records the position and starts the track upload (the first call only).
    void add(const gps::location& position);
};

} // namespace zel::controller_
