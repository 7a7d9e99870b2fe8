// The track recorder and the two uploaders, which the controller owns: every position goes to the recorder,
// and the first one starts the track upload; the trip-data uploads run from the start.
#pragma once

#include "gps/location.h"
#include "gps/track_recorder.h"
#include "gps/track_uploader.h"
#include "gps/trip_data_uploader.h"

#include <string>

namespace zel::controller_ {

class controller_tracks {
public:
    // The recorder (100 points, interval 30, "\track"), the track uploader ("\track", the local API host,
    // "/generate-uuid", port 8200, the phone's serial number) and the trip-data uploader ("\order_close_inf"),
    // started at once.
    explicit controller_tracks(const std::wstring& serial);
    controller_tracks(const controller_tracks&) = delete;
    controller_tracks& operator=(const controller_tracks&) = delete;

    // Records the position and starts the track upload (the first call only).
    void add(const gps::location& position);
    // Writes the points not yet in a file.
    void flush();

private:
    gps::track_recorder recorder_;
    gps::track_uploader track_uploader_;
    gps::trip_data_uploader trip_data_uploader_;
};

} // namespace zel::controller_
