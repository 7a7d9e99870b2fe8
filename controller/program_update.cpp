#include "controller/program_update.h"

#include "controller/ftp_session.h"
#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/md5.h"
#include "foundation/text_utils.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

#ifndef MORVIK_FTP_PASSWORD
#define MORVIK_FTP_PASSWORD "pda@example.com"
#endif

namespace zel::controller_ {
namespace {

namespace fs = std::filesystem;

constexpr int default_port = 21;
constexpr char default_remote_folder[] = "public/pdaupdate/";

// Port 21, or MORVIK_FTP_PORT when it names a valid port.
int ftp_port() {
    const char* text = std::getenv("MORVIK_FTP_PORT");
    if (!text || !*text) {
        return default_port;
    }
    char* end = nullptr;
    const long port = std::strtol(text, &end, 10);
    if (*end != '\0' || port < 1 || port > 65535) {
        zel::log(logger::warning, L"MORVIK_FTP_PORT is not a port number, using 21");
        return default_port;
    }
    return static_cast<int>(port);
}

int64_t file_size_or_zero(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? 0 : static_cast<int64_t>(size);
}

bool replace_file(const fs::path& temporary, const fs::path& target) {
    std::error_code error;
    fs::remove(target, error);
    fs::rename(temporary, target, error);
    if (error) {
        zel::log(logger::error, L"program_update: cannot move " + temporary.wstring() + L" to " + target.wstring());
        return false;
    }
    return true;
}

// One run's download: bytes done, the progress callback and the pacing.
class transfer {
public:
    transfer(ftp_session& session, const program_update::progress_callback& progress, int pause_ms)
        : session_(session), progress_(progress), pause_ms_(pause_ms) {}

    // Downloads every remote path that the local folder lacks; false on the first failure.
    bool download_all(const std::vector<std::string>& remote_paths, const fs::path& local_folder);

private:
    bool download(const std::string& remote_path, const fs::path& target);
    bool take(std::FILE* file, const char* data, size_t size);
    void add_done(int64_t bytes) {
        done_ += bytes;
    }

    ftp_session& session_;
    const program_update::progress_callback& progress_;
    int pause_ms_;
    int64_t done_ = 0;
    size_t piece_ = 0;
};

std::string name_of(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool transfer::download_all(const std::vector<std::string>& remote_paths, const fs::path& local_folder) {
    std::error_code error;
    fs::create_directories(local_folder, error);
    std::vector<std::string> missing;
    for (const std::string& path : remote_paths) {
        const fs::path target = local_folder / name_of(path);
        if (fs::is_regular_file(target, error)) {
            add_done(file_size_or_zero(target));
        } else {
            missing.push_back(path);
        }
    }
    for (const std::string& path : missing) {
        if (!download(path, local_folder / name_of(path))) {
            return false;
        }
    }
    return true;
}

bool transfer::take(std::FILE* file, const char* data, size_t size) {
    if (std::fwrite(data, 1, size, file) != size) {
        zel::log(logger::error, L"program_update: cannot write the downloaded bytes");
        return false;
    }
    add_done(static_cast<int64_t>(size));
    if (progress_) {
        progress_(done_);
    }
    piece_ += size;
    if (piece_ >= static_cast<size_t>(program_update::chunk_size)) {
        piece_ = 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(pause_ms_));
    }
    return true;
}

bool transfer::download(const std::string& remote_path, const fs::path& target) {
    const fs::path temporary = target.string() + ".t";
    const int64_t remote_size = session_.size(remote_path);
    if (remote_size < 0) {
        return false;
    }
    int64_t offset = file_size_or_zero(temporary);
    // A temporary file that is not smaller than the remote one can't be resumed: it would block every
    // later update. Start it again.
    if (offset > 0 && offset >= remote_size) {
        zel::log(logger::warning, L"program_update: " + temporary.wstring() +
                                      L" is not smaller than the remote file, "
                                      L"downloading it again");
        std::error_code error;
        fs::remove(temporary, error);
        offset = 0;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(temporary.c_str(), "ab"), &std::fclose);
    if (!file) {
        zel::log(logger::error, L"program_update: cannot open " + temporary.wstring());
        return true; // this file is skipped; the second comparison finds it missing
    }
    add_done(offset);
    piece_ = 0;
    const auto append = [&](const char* data, size_t size) { return take(file.get(), data, size); };
    ftp_session::retrieve_result received = session_.retrieve(remote_path, offset, program_update::chunk_size, append);
    if (received == ftp_session::retrieve_result::resume_refused) {
        // Appending the whole file to the kept part would corrupt it: start the file again.
        zel::log(logger::warning, L"program_update: the server refused to resume " + utf8_to_wide(remote_path) +
                                      L", downloading it again");
        file.reset(std::fopen(temporary.c_str(), "wb"));
        if (!file) {
            return false;
        }
        add_done(-offset);
        received = session_.retrieve(remote_path, 0, program_update::chunk_size, append);
    }
    const bool flushed = std::fflush(file.get()) == 0;
    file.reset();
    if (received != ftp_session::retrieve_result::done || !flushed) {
        return false; // the temporary file stays for a later resume
    }
    const int64_t local_size = file_size_or_zero(temporary);
    if (local_size != remote_size) {
        zel::log(logger::error, L"program_update: " + utf8_to_wide(remote_path) + L" arrived with " +
                                    std::to_wstring(local_size) + L" bytes of " + std::to_wstring(remote_size));
        std::error_code error;
        fs::remove(temporary, error);
        return false;
    }
    return replace_file(temporary, target);
}

} // namespace

std::string file_md5_hex(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {};
    }
    md5 digest;
    char piece[1024];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        digest.update(piece, static_cast<size_t>(in.gcount()));
    }
    uint8_t out[16];
    digest.final(out);
    return md5::to_hex(out);
}

std::string digest_of_reply(const std::string& reply) {
    if (reply.size() < 4 + 32) {
        return {};
    }
    std::string digest = reply.substr(4, 32);
    for (char c : digest) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return {};
        }
    }
    return digest;
}

program_update::program_update(int32_t owner) : owner_(owner) {}

void program_update::report(int32_t state) const {
    if (on_state_) {
        on_state_(state);
    }
}

int program_update::start(const std::vector<std::wstring>& files, const std::wstring& host,
                          const std::wstring& remote_folder, const std::wstring& version) {
    files_ = files;
    host_ = host;
    remote_folder_ = remote_folder;
    version_ = version;
    return run();
}

int program_update::run() {
    ftp_session session; // its end sends QUIT, whatever way the run ends
    report(1);
    const ftp_session::login_result login =
        session.login(wide_to_utf8(host_), ftp_port(), "anonymous", MORVIK_FTP_PASSWORD);
    if (login == ftp_session::login_result::no_connection) {
        report(-1);
        return 0;
    }
    report(2);
    if (login != ftp_session::login_result::ok) {
        report(-1);
        return 0;
    }
    const std::string remote_folder = remote_folder_.empty() ? default_remote_folder : wide_to_utf8(remote_folder_);
    const fs::path local_folder = app_file(L"\\update");
    report(3);

    // Compares every file with its remote digest and deletes those that differ; -1 when a remote digest is
    // unreadable, else the count of files that differed.
    const auto compare = [&]() -> int {
        int differing = 0;
        for (const std::wstring& name : files_) {
            const fs::path local = local_folder / wide_to_utf8(name);
            const std::string remote_path = remote_folder + wide_to_utf8(name);
            const std::string remote = digest_of_reply(session.site("MD5 " + remote_path));
            if (remote.empty()) {
                zel::log(logger::error, L"program_update: no readable digest of " + utf8_to_wide(remote_path));
                return -1;
            }
            if (file_md5_hex(local) != remote) {
                std::error_code error;
                fs::remove(local, error);
                ++differing;
            }
        }
        return differing;
    };

    const int before = compare();
    if (before < 0) {
        report(-1);
        return 0;
    }
    if (before == 0) {
        report(6);
        return 1;
    }
    std::vector<std::string> remote_paths;
    int64_t total = 0;
    for (const std::wstring& name : files_) {
        remote_paths.push_back(remote_folder + wide_to_utf8(name));
        const int64_t size = total < 0 ? -1 : session.size(remote_paths.back());
        total = size < 0 ? -1 : total + size;
    }
    total_.store(total);
    report(4);
    report(5);
    transfer download(session, on_progress_, pause_ms_);
    if (!download.download_all(remote_paths, local_folder)) {
        report(-1);
        return 0;
    }
    report(3);
    const int after = compare();
    if (after != 0) {
        // A file that still differs was deleted again; reporting nothing would leave the driver waiting.
        zel::log(logger::error, L"program_update: downloaded files do not match the server's digests");
        report(-1);
        return 0;
    }
    report(6);
    return 1;
}

} // namespace zel::controller_
