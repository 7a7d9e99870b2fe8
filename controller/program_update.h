// The program update over FTP. A run logs in anonymously, compares each listed file in the "update" folder
// under the program folder with the server's MD5 digest ("SITE MD5"), downloads what differs (resuming a
// ".t" file left by a broken transfer), checks the digests again and reports its stages:
//
//   1  the run starts              4  total size known
//   2  connected                   5  download starts
//   3  logged in, before a comparison (again after the download)
//   6  every file matches its remote digest
//  -1  failure: connect, login, an unreadable remote digest, the download, or a file that still differs
//
// The run blocks the calling thread and calls the callbacks on it. The server's port is 21, or
// MORVIK_FTP_PORT. Every run ends its control connection with QUIT.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zel::controller_ {

class program_update {
public:
    using state_callback = std::function<void(int32_t state)>;
    // Bytes done and sizes are 64-bit: an update file of 4 GiB or more must not read as a small one.
    using progress_callback = std::function<void(int64_t bytes_done)>;

    static constexpr int32_t chunk_size = 32768;
    static constexpr int pause_ms = 300;

    explicit program_update(int32_t owner);

    void set_state_callback(state_callback callback) {
        on_state_ = std::move(callback);
    }
    void set_progress_callback(progress_callback callback) {
        on_progress_ = std::move(callback);
    }
    // Stores the files, the host, the remote folder (an empty one means "public/pdaupdate/"; a given one
    // stands as it is) and the version text (kept only), then runs. 1 or 0.
    int start(const std::vector<std::wstring>& files, const std::wstring& host, const std::wstring& remote_folder,
              const std::wstring& version);
    int run();
    // The sum of the remote sizes of the files, known from state 4 (-1 when a size could not be read).
    int64_t total_size() const {
        return total_.load();
    }
    int32_t owner() const {
        return owner_;
    }
    // The pause after each downloaded piece (tests shorten it).
    void set_pause_ms(int ms) {
        pause_ms_ = ms;
    }

private:
    void report(int32_t state) const;

    state_callback on_state_;
    progress_callback on_progress_;
    int32_t owner_;
    std::wstring host_;
    std::wstring remote_folder_;
    std::wstring version_;
    std::vector<std::wstring> files_;
    std::atomic<int64_t> total_{0};
    int pause_ms_ = pause_ms;
};

// MD5 of a file as 32 lower-case hexadecimal characters; empty when the file cannot be read.
std::string file_md5_hex(const std::filesystem::path& file);

// The digest in an FTP reply "ddd <32 hex>...": the 32 characters after the code; empty when fewer follow or
// they are not hexadecimal. Text after them is ignored.
std::string digest_of_reply(const std::string& reply);

} // namespace zel::controller_
