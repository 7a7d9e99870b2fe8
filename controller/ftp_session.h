// One FTP control connection over libcurl, kept across the steps of a run (login, SITE commands, SIZE,
// downloads). Paths go to the server as given (no CWD), so a later command never runs in a folder that an
// earlier transfer left. The destructor ends the connection with QUIT.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zel::controller_ {

class ftp_session {
public:
    enum class login_result { ok, no_connection, refused };
    // Takes each piece of a download; false aborts it.
    using sink = std::function<bool(const char* data, size_t size)>;

    ftp_session();
    ~ftp_session();
    ftp_session(const ftp_session&) = delete;
    ftp_session& operator=(const ftp_session&) = delete;

    login_result login(const std::string& host, int port, const std::string& user, const std::string& password);
    // Sends "SITE " + command; the server's last reply line on a 2xx reply, empty otherwise.
    std::string site(const std::string& command);
    // SIZE of a file in binary mode; -1 on failure.
    int64_t size(const std::string& path);
    enum class retrieve_result { done, failed, resume_refused };
    // Downloads path from offset (REST when not 0) in binary mode, in pieces of at most piece_size bytes.
    retrieve_result retrieve(const std::string& path, int64_t offset, size_t piece_size, const sink& take);

private:
    // Runs one step on path (relative to the login folder); what names it in the log.
    int perform(const std::string& path, const std::string& what);
    void set_no_body();
    std::string url_of(const std::string& path) const;
    static size_t on_reply_line(char* data, size_t size, size_t count, void* self);
    static size_t on_data(char* data, size_t size, size_t count, void* self);
    static size_t discard(char* data, size_t size, size_t count, void* self);

    void* curl_; // CURL*
    std::string base_url_;
    std::vector<std::string> reply_lines_; // control-connection lines of the last step
    const sink* take_ = nullptr;
};

} // namespace zel::controller_
