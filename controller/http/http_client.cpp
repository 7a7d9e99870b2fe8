#include "controller/http/http_client.h"

#include "foundation/logger.h"
#include "foundation/text_utils.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace zel::controller_ {
namespace {

constexpr long connect_timeout_seconds = 15;
constexpr long total_timeout_seconds = 120;
constexpr char user_agent[] = "WindowsMobile";

void init_curl_once() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct header_list {
    curl_slist* list = nullptr;
    ~header_list() {
        curl_slist_free_all(list);
    }
    void add(const char* line) {
        list = curl_slist_append(list, line);
    }
};

} // namespace

http_client::~http_client() {
    close();
}

int http_client::open(const std::wstring& host, int32_t port) {
    close();
    if (host.empty()) {
        return 0;
    }
    init_curl_once();
    curl_ = curl_easy_init();
    if (!curl_) {
        return 0;
    }
    // An IPv6 address goes into the URL between brackets; bare, its colons would read as a port.
    const std::string name = wide_to_utf8(host);
    const bool bare_v6 = name.find(':') != std::string::npos && name.front() != '[';
    base_url_ = "http://" + (bare_v6 ? "[" + name + "]" : name) + ":" + std::to_string(port);
    return 1;
}

void http_client::close() {
    if (curl_) {
        curl_easy_cleanup(static_cast<CURL*>(curl_));
        curl_ = nullptr;
    }
    status_ = 0;
    body_.clear();
    read_offset_ = 0;
    answered_ = false;
    content_length_ = -1;
}

size_t http_client::on_body(char* data, size_t size, size_t count, void* self) {
    auto& client = *static_cast<http_client*>(self);
    const size_t bytes = size * count;
    const size_t room = body_cap - client.body_.size();
    client.body_.append(data, std::min(bytes, room));
    if (bytes > room) {
        client.truncated_ = true;
        return 0; // ends the transfer
    }
    return bytes;
}

int http_client::post(const std::wstring& path, const char* data, size_t size, curl_slist* headers) {
    return perform(path, data != nullptr ? data : "", size, headers, user_agent);
}

int http_client::get(const std::wstring& path, const std::string& agent) {
    return perform(path, nullptr, 0, nullptr, agent.c_str());
}

int http_client::perform(const std::wstring& path, const char* data, size_t size, curl_slist* headers,
                         const char* agent) {
    const std::wstring verb = data != nullptr ? L"POST " : L"GET ";
    if (!curl_) {
        return 0;
    }
    CURL* curl = static_cast<CURL*>(curl_);
    status_ = 0;
    body_.clear();
    read_offset_ = 0;
    truncated_ = false;
    content_length_ = -1;
    const std::string url = base_url_ + wide_to_utf8(path);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, agent);
    if (data != nullptr) {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, data);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(size));
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &http_client::on_body);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connect_timeout_seconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, total_timeout_seconds);
    const CURLcode result = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status_);
    curl_off_t length = -1;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK) {
        content_length_ = length;
    }
    answered_ = status_ != 0;
    if (truncated_) {
        zel::log(logger::warning,
                 L"http_client: answer of " + path + L" cut at " + std::to_wstring(body_cap) + L" bytes");
    } else if (result != CURLE_OK) {
        zel::log(logger::warning,
                 L"http_client: " + verb + path + L" failed: " + utf8_to_wide(curl_easy_strerror(result)));
    }
    if (status_ < 200 || status_ > 299) {
        if (status_ != 0) {
            zel::log(logger::warning,
                     L"http_client: " + verb + path + L" refused with status " + std::to_wstring(status_));
        }
        return 0;
    }
    return 1;
}

int http_client::post_multipart(const std::wstring& path, multipart_writer& writer) {
    const std::string body = multipart_finish(writer);
    header_list headers;
    headers.add((std::string("Content-Type: multipart/form-data; boundary=") + multipart_boundary).c_str());
    headers.add("Accept:"); // this post names no accept types
    headers.add("Expect:");
    return post(path, body.data(), body.size(), headers.list);
}

int http_client::post_octet_stream(const std::wstring& path, const void* data, uint32_t& size) {
    header_list headers;
    headers.add("Accept: Application/Octet-Stream");
    headers.add("Content-Type:"); // libcurl would add a form content type of its own
    headers.add("Expect:");
    return post(path, static_cast<const char*>(data), size, headers.list);
}

uint32_t http_client::content_length() const {
    if (content_length_ < 0 || content_length_ > static_cast<int64_t>(unknown_length)) {
        return unknown_length;
    }
    return static_cast<uint32_t>(content_length_);
}

bool http_client::read(void* buffer, uint32_t& size) {
    if (!answered_) {
        size = 0;
        return false;
    }
    const size_t count = std::min<size_t>(size, body_.size() - read_offset_);
    if (count > 0) {
        std::memcpy(buffer, body_.data() + read_offset_, count);
    }
    read_offset_ += count;
    size = static_cast<uint32_t>(count);
    return true;
}

} // namespace zel::controller_
