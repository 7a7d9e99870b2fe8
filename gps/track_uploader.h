// Sends the ".trk" files of the track folder to the track server, one file a period (10 s), newest first, each
// prefixed with the device's 32-character upload id. The id is asked once from the id path ("/generate-uuid")
// and kept in folder/"uuid".
//
// A file is read under the track file lock and posted without it, so a slow server never holds up the
// recorder on the GPS thread; after a 2xx the file is deleted under the lock, or, when the recorder appended
// a batch to it meanwhile, cut down to that batch. The upload_queue decides what a failed post does. An
// exception in a pass is logged and the next period runs as usual.
//
// The upload thread runs from the first start until stop (the destructor stops it).
#pragma once

#include "foundation/stoppable_thread.h"
#include "gps/file_listing.h"
#include "gps/upload_queue.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace zel::gps {

class track_uploader {
public:
    static constexpr size_t uuid_length = 32;
    // The id answer is a small JSON object; a longer one is refused.
    static constexpr size_t uuid_answer_cap = 1024;
    // A track file beyond this size is no file of the recorder's: it is moved aside.
    static constexpr size_t track_file_cap = 16u << 20;

    struct options {
        std::chrono::milliseconds period{10000};
    };

    // host and port: the local API host (api_endpoint::local(api_endpoint::track_port) in the program).
    track_uploader(std::filesystem::path folder, std::wstring host, std::wstring id_path, uint32_t port,
                   std::wstring device_text, options settings);
    track_uploader(std::filesystem::path folder, std::wstring host, std::wstring id_path, uint32_t port,
                   std::wstring device_text)
        : track_uploader(std::move(folder), std::move(host), std::move(id_path), port, std::move(device_text),
                         options{}) {}
    virtual ~track_uploader();
    track_uploader(const track_uploader&) = delete;
    track_uploader& operator=(const track_uploader&) = delete;

    // The first call starts the upload thread; later calls do nothing.
    void start();
    // Ends the upload thread (waits for a running pass).
    void stop();

    // One pass: gets the upload id when it is not known, then, with a 32-character id, uploads one file.
    // Virtual so that tests can make a pass fail.
    virtual void tick();
    // The id from folder/"uuid", else from the server (stored in the file); empty when none came.
    std::wstring get_uuid();
    // Posts one file (the newest that has not failed lately) and settles it.
    void upload_one();

    const std::wstring& upload_id() const {
        return upload_id_;
    }

private:
    void run_pass();
    void post(const listed_file& file, const std::string& bytes);
    // After a 2xx: deletes the file, or keeps only what was appended after the sent bytes.
    void drop_sent(const listed_file& file, size_t sent);

    const std::filesystem::path folder_;
    const std::wstring host_;
    const std::wstring id_path_;
    const uint32_t port_;
    const std::wstring device_text_;
    const options settings_;
    std::wstring upload_id_; // the upload thread's
    upload_queue queue_;
    std::atomic<bool> started_{false};
    stoppable_thread thread_; // last: stopped before the rest goes
};

} // namespace zel::gps
