// Sends the ".tax_data" and ".order_track" files of the trip-data folder to the local API host as multipart
// POSTs, each kind on its own thread once a period (10 s): "/zel-driver/add-tax-data/1.0/" and
// "/zel-driver/add-order-track/1.0/" on port 8359 (trip_data_file.h has the files and the parts).
//
// A pass takes the first file in name order that has not failed lately and is not empty (upload_queue); a
// file that does not parse is deleted with a log line; a 2xx deletes the file. An exception in a pass is
// logged and the next period runs as usual. The two threads share nothing but the folder.
#pragma once

#include "foundation/stoppable_thread.h"
#include "gps/api_endpoint.h"
#include "gps/upload_queue.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace zel::gps {

class trip_data_uploader {
public:
    // A trip file beyond this size is no ride's: it is moved aside.
    static constexpr size_t trip_file_cap = 16u << 20;

    struct options {
        std::chrono::milliseconds period{10000};
        api_endpoint endpoint = api_endpoint::local(api_endpoint::trip_data_port);
    };

    explicit trip_data_uploader(std::filesystem::path folder, options settings);
    explicit trip_data_uploader(std::filesystem::path folder) : trip_data_uploader(std::move(folder), options{}) {}
    virtual ~trip_data_uploader();
    trip_data_uploader(const trip_data_uploader&) = delete;
    trip_data_uploader& operator=(const trip_data_uploader&) = delete;

    // The first call starts both threads; later calls do nothing.
    void start();
    // Ends both threads (waits for running passes).
    void stop();

    // One pass each; virtual so that tests can make a pass fail.
    virtual void upload_tax_data();
    virtual void upload_order_track();

private:
    struct kind;
    void pass(kind& files);
    void run(stoppable_thread& thread, void (trip_data_uploader::*upload)(), const wchar_t* what);

    const std::filesystem::path folder_;
    const options settings_;
    upload_queue tax_data_queue_;    // the tax-data thread's
    upload_queue order_track_queue_; // the order-track thread's
    std::atomic<bool> started_{false};
    stoppable_thread tax_data_thread_; // threads last: stopped before the rest goes
    stoppable_thread order_track_thread_;
};

} // namespace zel::gps
