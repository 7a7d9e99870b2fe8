#include "controller/ftp_session.h"

#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <mutex>

namespace zel::controller_ {
namespace {

constexpr long connect_timeout_seconds = 15;
constexpr long reply_timeout_seconds = 30;
// A transfer slower than one byte a second for a minute is given up.
constexpr long stall_seconds = 60;

CURL* handle(void* curl) {
    return static_cast<CURL*>(curl);
}

bool is_connect_failure(CURLcode code) {
    return code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_CONNECT || code == CURLE_OPERATION_TIMEDOUT ||
           code == CURLE_URL_MALFORMAT || code == CURLE_FTP_WEIRD_SERVER_REPLY || code == CURLE_GOT_NOTHING ||
           code == CURLE_RECV_ERROR || code == CURLE_SEND_ERROR;
}

} // namespace

ftp_session::ftp_session() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    curl_ = curl_easy_init();
    if (!curl_) {
        return;
    }
    CURL* curl = handle(curl_);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connect_timeout_seconds);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, reply_timeout_seconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stall_seconds);
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &ftp_session::on_reply_line);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
}

ftp_session::~ftp_session() {
    if (curl_) {
        curl_easy_cleanup(handle(curl_)); // sends QUIT on the open control connection
    }
}

size_t ftp_session::on_reply_line(char* data, size_t size, size_t count, void* self) {
    std::string line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    static_cast<ftp_session*>(self)->reply_lines_.push_back(std::move(line));
    return size * count;
}

size_t ftp_session::on_data(char* data, size_t size, size_t count, void* self) {
    const sink* take = static_cast<ftp_session*>(self)->take_;
    return take && (*take)(data, size * count) ? size * count : 0;
}

size_t ftp_session::discard(char*, size_t size, size_t count, void*) {
    return size * count;
}

std::string ftp_session::url_of(const std::string& path) const {
    // Each part of the path is escaped; the separators stay.
    std::string url = base_url_;
    size_t from = 0;
    while (from <= path.size()) {
        const size_t slash = std::min(path.find('/', from), path.size());
        char* part = curl_easy_escape(handle(curl_), path.data() + from, static_cast<int>(slash - from));
        url += part ? part : "";
        curl_free(part);
        if (slash < path.size()) {
            url += '/';
        }
        from = slash + 1;
    }
    return url;
}

int ftp_session::perform(const std::string& path, const std::string& what) {
    CURL* curl = handle(curl_);
    const std::string url = url_of(path);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    reply_lines_.clear();
    const CURLcode result = curl_easy_perform(curl);
    if (result != CURLE_OK) {
        zel::log(logger::warning,
                 L"ftp: " + utf8_to_wide(what) + L" failed: " + utf8_to_wide(curl_easy_strerror(result)));
    }
    return result;
}

// A body-less request: nothing may reach the download's callback (libcurl writes header-like lines there).
void ftp_session::set_no_body() {
    CURL* curl = handle(curl_);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(0));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &ftp_session::discard);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
}

ftp_session::login_result ftp_session::login(const std::string& host, int port, const std::string& user,
                                             const std::string& password) {
    if (!curl_) {
        return login_result::no_connection;
    }
    CURL* curl = handle(curl_);
    // An IPv6 address goes into the URL between brackets; bare, its colons would read as a port.
    const bool bare_v6 = host.find(':') != std::string::npos && host.front() != '[';
    base_url_ = "ftp://" + (bare_v6 ? "[" + host + "]" : host) + ":" + std::to_string(port) + "/";
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
    set_no_body();
    const int result = perform("", "login to " + host);
    if (result == CURLE_OK) {
        return login_result::ok;
    }
    return is_connect_failure(static_cast<CURLcode>(result)) ? login_result::no_connection : login_result::refused;
}

std::string ftp_session::site(const std::string& command) {
    if (!curl_) {
        return {};
    }
    CURL* curl = handle(curl_);
    const std::string line = "SITE " + command;
    curl_slist* quote = curl_slist_append(nullptr, line.c_str());
    curl_easy_setopt(curl, CURLOPT_QUOTE, quote);
    set_no_body();
    const int result = perform("", line);
    curl_easy_setopt(curl, CURLOPT_QUOTE, nullptr);
    curl_slist_free_all(quote);
    if (result != CURLE_OK) {
        return {};
    }
    // The reply to the quoted command is the last complete reply line ("ddd text") of this step.
    for (auto it = reply_lines_.rbegin(); it != reply_lines_.rend(); ++it) {
        if (it->size() >= 4 && std::isdigit(static_cast<unsigned char>((*it)[0])) && (*it)[3] == ' ') {
            return (*it)[0] == '2' ? *it : std::string();
        }
    }
    return {};
}

int64_t ftp_session::size(const std::string& path) {
    if (!curl_) {
        return -1;
    }
    CURL* curl = handle(curl_);
    set_no_body();
    if (perform(path, "SIZE " + path) != CURLE_OK) {
        return -1;
    }
    curl_off_t length = -1;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK) {
        return -1;
    }
    return length;
}

ftp_session::retrieve_result ftp_session::retrieve(const std::string& path, int64_t offset, size_t piece_size,
                                                   const sink& take) {
    if (!curl_) {
        return retrieve_result::failed;
    }
    CURL* curl = handle(curl_);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(offset));
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(piece_size));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &ftp_session::on_data);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    take_ = &take;
    const int result = perform(path, "RETR " + path + " from " + std::to_string(offset));
    take_ = nullptr;
    set_no_body();
    if (result == CURLE_FTP_COULDNT_USE_REST) {
        return retrieve_result::resume_refused;
    }
    return result == CURLE_OK ? retrieve_result::done : retrieve_result::failed;
}

} // namespace zel::controller_
